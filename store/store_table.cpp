#include "store/store_table.h"

#include "store/names.h"

#include <algorithm>

namespace qr::store {

void StoreHandle::attachAux(std::unique_ptr<File> file)
{
    auto journaled = std::make_unique<JournaledFile>(std::move(file), journal, JournalWriter::kAuxFile);
    journal.attachAux(&journaled->inner());
    aux = std::make_unique<AuxFile>(std::move(journaled));
}

StoreTable& StoreTable::instance()
{
    static StoreTable table;
    return table;
}

StoreHandle* StoreTable::current()
{
    if (current_ < 0 || current_ >= static_cast<std::int32_t>(handles_.size()))
        return nullptr;
    return handles_[static_cast<std::size_t>(current_)].get();
}

void StoreTable::makeCurrent(const StoreHandle* handle)
{
    const auto it = std::find_if(handles_.begin(), handles_.end(), [&](const auto& h) { return h.get() == handle; });
    current_ = handle != nullptr && it != handles_.end() ? static_cast<std::int32_t>(it - handles_.begin()) : -1;
}

bool StoreTable::isOpen(const FileIdentity* identity, std::string_view fullPath) const
{
    return findOpen(identity, fullPath) != nullptr;
}

StoreHandle* StoreTable::findOpen(const FileIdentity* identity, std::string_view fullPath) const
{
    const auto it = std::find_if(handles_.begin(), handles_.end(), [&](const auto& h) {
        return (identity && h->identity == *identity) || namesEqual(h->fullPath, fullPath);
    });
    return it != handles_.end() ? it->get() : nullptr;
}

void StoreTable::add(std::unique_ptr<StoreHandle> handle)
{
    handles_.push_back(std::move(handle));
    current_ = static_cast<std::int32_t>(handles_.size()) - 1;
}

StoreHandle* StoreTable::findByName(std::string_view name)
{
    auto lastMatch = [&](auto&& matches) -> StoreHandle* {
        for (auto it = handles_.rbegin(); it != handles_.rend(); ++it)
            if (matches(**it))
                return it->get();
        return nullptr;
    };
    if (StoreHandle* h = lastMatch([&](const StoreHandle& s) { return !s.alias.empty() && namesEqual(s.alias, name); }))
        return h;
    if (StoreHandle* h = lastMatch([&](const StoreHandle& s) { return namesEqual(s.title, name); }))
        return h;
    return lastMatch([&](const StoreHandle& s) { return namesEqual(s.fullPath, name); });
}

void StoreTable::close(StoreHandle* handle)
{
    const auto it = std::find_if(handles_.begin(), handles_.end(), [&](const auto& h) { return h.get() == handle; });
    if (it == handles_.end())
        return;
    const auto index = static_cast<std::int32_t>(it - handles_.begin());
    // A unit still open when its store closes is committed: the commands in it are
    // done, and close is where the application's piece of work ends.
    (void)handle->journal.endAll();
    handle->locks.releaseAll();
    // Closing our descriptors drops only this handle's locks: another handle of this
    // process on another file keeps its own.
    handles_.erase(it); // closes the data and auxiliary files
    if (index == current_)
        current_ = -1;
    else if (index < current_)
        --current_;
}

} // namespace qr::store
