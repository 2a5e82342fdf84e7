// A store file whose changes the handle's rollback journal sees first: before a
// write or a truncation reaches the file, the journal keeps what it would destroy
// (store/journal.h). Outside a transaction, and for everything else (reads, locks),
// it is the file itself.
#pragma once

#include "store/env.h"
#include "store/journal.h"

#include <memory>

namespace qr::store {

class JournaledFile final : public File {
public:
    JournaledFile(std::unique_ptr<File> inner, JournalWriter& journal, int index)
        : inner_(std::move(inner))
        , journal_(journal)
        , index_(index)
    {}

    File& inner() { return *inner_; }

    ResultCode readAt(std::int64_t offset, void* buffer, std::size_t size, std::size_t& got) override
    {
        return inner_->readAt(offset, buffer, size, got);
    }
    ResultCode writeAt(std::int64_t offset, const void* buffer, std::size_t size) override
    {
        if (ResultCode code = journal_.beforeWrite(index_, offset, static_cast<std::int64_t>(size)); code != rc::kOk)
            return code;
        return inner_->writeAt(offset, buffer, size);
    }
    ResultCode length(std::int64_t& length) override { return inner_->length(length); }
    ResultCode truncate(std::int64_t length) override
    {
        if (ResultCode code = journal_.beforeTruncate(index_, length); code != rc::kOk)
            return code;
        return inner_->truncate(length);
    }
    ResultCode sync() override { return inner_->sync(); }
    ResultCode lock(std::int64_t start, std::int64_t size, LockMode mode) override
    {
        return inner_->lock(start, size, mode);
    }
    ResultCode unlock(std::int64_t start, std::int64_t size) override { return inner_->unlock(start, size); }
    ResultCode lockedByOther(std::int64_t start, std::int64_t size, bool& locked) override
    {
        return inner_->lockedByOther(start, size, locked);
    }
    bool writable() const override { return inner_->writable(); }
    FileIdentity identity() const override { return inner_->identity(); }

private:
    std::unique_ptr<File> inner_;
    JournalWriter& journal_;
    int index_;
};

} // namespace qr::store
