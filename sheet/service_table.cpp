#include "sheet/service_table.h"

#include <algorithm>

namespace qr::sheet {

std::uint32_t ServiceTable::hashName(std::string_view name)
{
    std::uint32_t hash = 2166136261u;
    for (unsigned char c : name) {
        hash ^= c;
        hash *= 16777619u;
    }
    return hash;
}

void ServiceTable::add(std::string_view name, ServiceEntryPoint entry)
{
    const std::uint32_t hash = hashName(name);
    for (auto& e : entries_) {
        if (e.nameHash == hash && e.name == name) {
            e.entry = entry;
            return;
        }
    }
    entries_.push_back(ServiceEntry{std::string(name), hash, entry});
}

void ServiceTable::remove(std::string_view name)
{
    const std::uint32_t hash = hashName(name);
    std::erase_if(entries_, [&](const ServiceEntry& e) { return e.nameHash == hash && e.name == name; });
}

ServiceEntryPoint ServiceTable::find(std::string_view name) const
{
    const std::uint32_t hash = hashName(name);
    for (const auto& e : entries_) {
        if (e.nameHash == hash && e.name == name)
            return e.entry;
    }
    return nullptr;
}

} // namespace qr::sheet
