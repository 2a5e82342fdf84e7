#include "store/data_locks.h"

#include "store/formats.h"
#include "store/lock_retry.h"

#include <algorithm>

namespace qr::store {

DataLocks::Held* DataLocks::find(std::int64_t position)
{
    for (auto& h : held_)
        if (h.position == position)
            return &h;
    return nullptr;
}

ResultCode DataLocks::lockRange(std::int64_t start, std::int64_t size, std::int32_t timeout)
{
    const LockMode mode = lockModeFor(file_);
    const ResultCode code = retryRefused([&] { return file_.lock(start, size, mode); }, timeout);
    if (code == rc::kOk || isRetryableRefusal(code))
        return code;
    return rc::kLockFailed;
}

ResultCode DataLocks::lock(std::int64_t position) { return lock(position, lockRetryTimeoutSetting()); }

ResultCode DataLocks::lock(std::int64_t position, std::int32_t timeout)
{
    if (exclusiveCount_ > 0)
        return rc::kOk;
    if (position == kWholeFile)
        return lockWholeFile(timeout);
    if (Held* h = find(position)) {
        ++h->count;
        return rc::kOk;
    }
    if (!holdsWholeFile()) {
        const ResultCode code = lockRange(position, 1, timeout);
        if (code != rc::kOk)
            return code;
    }
    held_.push_back({position, 1});
    return rc::kOk;
}

ResultCode DataLocks::lockWholeFile(std::int32_t timeout)
{
    if (Held* h = find(kWholeFile)) {
        ++h->count;
        return rc::kOk;
    }
    // The bytes we hold are ours already, but the whole-file lock would merge with
    // them and a later unlock of the whole range would drop them too. So they are
    // given up first and, should the whole file be refused, taken again.
    for (const auto& h : held_)
        file_.unlock(h.position, 1);
    const ResultCode code = lockRange(0, format::kWholeFileLength, timeout);
    if (code != rc::kOk) {
        for (const auto& h : held_)
            lockRange(h.position, 1, timeout);
        return code;
    }
    held_.push_back({kWholeFile, 1});
    return rc::kOk;
}

ResultCode DataLocks::unlock(std::int64_t position)
{
    if (exclusiveCount_ > 0)
        return rc::kOk;
    Held* h = find(position);
    if (!h)
        return rc::kUnlockFailed;
    if (--h->count > 0)
        return rc::kOk;
    held_.erase(held_.begin() + (h - held_.data()));
    if (position == kWholeFile)
        return unlockWholeFile();
    if (holdsWholeFile())
        return rc::kOk;  // only counted while the whole file is ours
    return file_.unlock(position, 1) == rc::kOk ? rc::kOk : rc::kUnlockFailed;
}

ResultCode DataLocks::unlockWholeFile()
{
    if (file_.unlock(0, format::kWholeFileLength) != rc::kOk)
        return rc::kUnlockFailed;
    // Bytes still counted lost their protection with the range; take them again.
    ResultCode result = rc::kOk;
    for (const auto& h : held_)
        if (lockRange(h.position, 1, lockRetryTimeoutSetting()) != rc::kOk)
            result = rc::kUnlockFailed;
    return result;
}

ResultCode DataLocks::enterExclusive()
{
    if (exclusiveCount_ > 0 || holdsWholeFile()) {
        ++exclusiveCount_;
        return rc::kOk;
    }
    // Lock [0, 0x7FFFFFFF) in pieces around the single bytes this handle already
    // holds: one big lock would merge with them, and unlocking it at the end would
    // silently drop locks that their owners still count on.
    std::vector<std::int64_t> bytes;
    for (const auto& h : held_)
        if (h.position >= 0 && h.position < format::kWholeFileLength)
            bytes.push_back(h.position);
    std::sort(bytes.begin(), bytes.end());
    pieces_.clear();
    std::int64_t start = 0;
    for (const std::int64_t b : bytes) {
        if (b > start)
            pieces_.push_back({false, start, b});
        start = b + 1;
    }
    if (start < format::kWholeFileLength)
        pieces_.push_back({false, start, format::kWholeFileLength});

    for (auto& piece : pieces_) {
        const ResultCode code = lockRange(piece.start, piece.end - piece.start, lockRetryTimeoutSetting());
        if (code != rc::kOk) {
            for (auto& p : pieces_)
                if (p.locked)
                    file_.unlock(p.start, p.end - p.start);
            pieces_.clear();
            return code;
        }
        piece.locked = true;
    }
    ++exclusiveCount_;
    return rc::kOk;
}

void DataLocks::leaveExclusive()
{
    if (exclusiveCount_ <= 0)
        return;
    if (--exclusiveCount_ > 0)
        return;
    for (const auto& p : pieces_)
        if (p.locked)
            file_.unlock(p.start, p.end - p.start);
    pieces_.clear();
}

void DataLocks::releaseAll()
{
    // Closing the descriptor would drop these as well; releasing them here keeps the
    // file free also while another reference to the description might linger.
    if (holdsWholeFile())
        file_.unlock(0, format::kWholeFileLength);
    else
        for (const auto& h : held_)
            file_.unlock(h.position, 1);
    for (const auto& p : pieces_)
        if (p.locked)
            file_.unlock(p.start, p.end - p.start);
    held_.clear();
    pieces_.clear();
}

} // namespace qr::store
