// The locks one handle holds on its data file: single bytes (the header byte at 16,
// a record's first byte), the whole file, and exclusive sections.
//
// Contract: nested locks of one position are counted and only the first lock and
// the last unlock reach the file; while the whole-file lock is held byte locks are
// only counted; while the exclusive count is above 0 (a deny-read open, or inside
// an exclusive section) no data-file lock is taken at all. Refused locks are
// retried under the lock retry time-out; a final refusal gives kLockViolation,
// another failure kLockFailed (locking) or kUnlockFailed (unlocking).
//
// The held list always tells what the file really holds for this handle: a lock
// that could not be released stays listed (and close releases it), and a byte
// that could not be taken back after the whole-file lock is listed as counted but
// not held, so the next lock of it goes to the file again.
#pragma once

#include "store/env.h"

#include <cstdint>
#include <vector>

namespace qr::store {

class DataLocks {
public:
    static constexpr std::int64_t kWholeFile = -1;

    explicit DataLocks(File& file)
        : file_(file)
    {}
    DataLocks(const DataLocks&) = delete;
    DataLocks& operator=(const DataLocks&) = delete;

    ResultCode lock(std::int64_t position, std::int32_t timeout);
    ResultCode lock(std::int64_t position);
    ResultCode unlock(std::int64_t position);
    // Unlocks once the work under the lock is done, when the work's result is what
    // the caller reports: a lock the file keeps stays listed, and close releases it.
    void release(std::int64_t position);

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
        std::int32_t count; // nested locks callers still count on; 0 only for a lock
                            // that could not be released
        bool inFile;        // the file holds this lock for us (a byte: only while the
                            // whole-file lock does not cover it)
    };
    struct Piece {
        bool locked;
        std::int64_t start;
        std::int64_t end; // exclusive
    };

    Held* find(std::int64_t position);
    bool holdsWholeFile();
    void forget(const Held& held);
    void forgetReleased(); // drops entries nobody counts on and the file does not hold
    ResultCode lockRange(std::int64_t start, std::int64_t size, std::int32_t timeout);
    ResultCode lockWholeFile(std::int32_t timeout);
    ResultCode unlockWholeFile(Held& whole);
    // Takes back every counted byte the file does not hold for us; false when one
    // could not be taken (it stays counted, not held).
    bool retakeBytes(std::int32_t timeout);
    // Unlocks the pieces of an exclusive section; those the file would not release
    // stay listed for close.
    void releasePieces();

    File& file_;
    std::int32_t exclusiveCount_ = 0;
    std::vector<Held> held_;
    std::vector<Piece> pieces_;
};

} // namespace qr::store
