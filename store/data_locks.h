// The locks one handle holds on its data file: single bytes (the header byte at 16,
// a record's first byte), the whole file, and exclusive sections.
//
// Contract: nested locks of one position are counted and only the first lock and
// the last unlock reach the file; while the whole-file lock is held byte locks are
// only counted; while the exclusive count is above 0 (a deny-read open, or inside
// an exclusive section) no data-file lock is taken at all. Refused locks are
// retried under the lock retry time-out; a final refusal gives kLockViolation,
// another failure kLockFailed (locking) or kUnlockFailed (unlocking).
#pragma once

#include "store/env.h"

#include <cstdint>
#include <vector>

namespace qr::store {

class DataLocks {
public:
    static constexpr std::int64_t kWholeFile = -1;

    explicit DataLocks(File& file) : file_(file) {}
    DataLocks(const DataLocks&) = delete;
    DataLocks& operator=(const DataLocks&) = delete;

    ResultCode lock(std::int64_t position, std::int32_t timeout);
    ResultCode lock(std::int64_t position);
    ResultCode unlock(std::int64_t position);

    ResultCode enterExclusive();
    void leaveExclusive();

    // The deny-read share modes start the count at 1: nobody else can read, so the
    // handle never needs a data-file lock.
    void setExclusiveCount(std::int32_t count) { exclusiveCount_ = count; }
    std::int32_t exclusiveCount() const { return exclusiveCount_; }

    // Drops every lock this handle holds, for close.
    void releaseAll();

private:
    struct Held {
        std::int64_t position;
        std::int32_t count;
    };
    struct Piece {
        bool locked;
        std::int64_t start;
        std::int64_t end;  // exclusive
    };

    Held* find(std::int64_t position);
    bool holdsWholeFile() { return find(kWholeFile) != nullptr; }
    ResultCode lockRange(std::int64_t start, std::int64_t size, std::int32_t timeout);
    ResultCode lockWholeFile(std::int32_t timeout);
    ResultCode unlockWholeFile();

    File& file_;
    std::int32_t exclusiveCount_ = 0;
    std::vector<Held> held_;
    std::vector<Piece> pieces_;
};

} // namespace qr::store
