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

bool DataLocks::holdsWholeFile()
{
    const Held* whole = find(kWholeFile);
    return whole != nullptr && whole->inFile;
}

void DataLocks::forget(const Held& held) { held_.erase(held_.begin() + (&held - held_.data())); }

void DataLocks::forgetReleased()
{
    std::erase_if(held_, [](const Held& h) { return h.count == 0 && !h.inFile; });
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
    Held* h = find(position);
    // While the whole file is ours a byte is only counted. A byte that is counted but
    // not held (it could not be taken back after the whole file) goes to the file again.
    const bool covered = holdsWholeFile();
    if (!covered && !(h && h->inFile)) {
        const ResultCode code = lockRange(position, 1, timeout);
        if (code != rc::kOk)
            return code;
    }
    if (h == nullptr) {
        held_.push_back({position, 0, false});
        h = &held_.back();
    }
    ++h->count;
    if (!covered)
        h->inFile = true;
    return rc::kOk;
}

bool DataLocks::retakeBytes(std::int32_t timeout)
{
    bool allTaken = true;
    for (Held& h : held_) {
        if (h.position == kWholeFile || h.count == 0 || h.inFile)
            continue;
        h.inFile = lockRange(h.position, 1, timeout) == rc::kOk;
        allTaken = allTaken && h.inFile;
    }
    forgetReleased();
    return allTaken;
}

ResultCode DataLocks::lockWholeFile(std::int32_t timeout)
{
    if (Held* whole = find(kWholeFile); whole != nullptr && whole->inFile) {
        ++whole->count;
        return rc::kOk;
    }
    // The bytes we hold are ours already, but the whole-file lock would merge with
    // them and a later unlock of the whole range would drop them too. So they are
    // given up first and, should the whole file be refused, taken again. A byte the
    // file will not release stays held and needs no taking back.
    for (Held& h : held_)
        if (h.inFile && file_.unlock(h.position, 1) == rc::kOk)
            h.inFile = false;
    const ResultCode code = lockRange(0, format::kWholeFileLength, timeout);
    if (code != rc::kOk) {
        // The refusal is what the caller hears of. A byte that cannot be taken back
        // is no longer ours; the list says so and its next lock asks the file again.
        const bool allTaken = retakeBytes(timeout);
        (void)allTaken;
        return code;
    }
    // Every byte merged into the range now; the range's unlock will drop them.
    for (Held& h : held_)
        h.inFile = false;
    forgetReleased();
    held_.push_back({kWholeFile, 1, true});
    return rc::kOk;
}

ResultCode DataLocks::unlock(std::int64_t position)
{
    if (exclusiveCount_ > 0)
        return rc::kOk;
    Held* h = find(position);
    if (h == nullptr || h->count == 0)
        return rc::kUnlockFailed;
    if (--h->count > 0)
        return rc::kOk;
    if (position == kWholeFile)
        return unlockWholeFile(*h);
    // Still the file's when it refuses: listed, counted by nobody, released at close.
    if (h->inFile && file_.unlock(position, 1) != rc::kOk)
        return rc::kUnlockFailed;
    forget(*h);
    return rc::kOk;
}

void DataLocks::release(std::int64_t position)
{
    // A failed unlock changes nothing about the work already done; reporting it would
    // make a caller undo a record that was written.
    (void)unlock(position);
}

ResultCode DataLocks::unlockWholeFile(Held& whole)
{
    // Still the file's when it refuses: the bytes stay covered, close releases it.
    if (file_.unlock(0, format::kWholeFileLength) != rc::kOk)
        return rc::kUnlockFailed;
    forget(whole);
    // Bytes still counted lost their protection with the range; take them again.
    return retakeBytes(lockRetryTimeoutSetting()) ? rc::kOk : rc::kUnlockFailed;
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
    std::vector<Piece> section;
    std::int64_t start = 0;
    for (const std::int64_t b : bytes) {
        if (b > start)
            section.push_back({false, start, b});
        start = b + 1;
    }
    if (start < format::kWholeFileLength)
        section.push_back({false, start, format::kWholeFileLength});

    ResultCode code = rc::kOk;
    for (auto& piece : section) {
        code = lockRange(piece.start, piece.end - piece.start, lockRetryTimeoutSetting());
        if (code != rc::kOk)
            break;
        piece.locked = true;
    }
    pieces_.insert(pieces_.end(), section.begin(), section.end());
    if (code != rc::kOk) {
        releasePieces();
        return code;
    }
    ++exclusiveCount_;
    return rc::kOk;
}

void DataLocks::releasePieces()
{
    for (Piece& p : pieces_)
        if (p.locked && file_.unlock(p.start, p.end - p.start) == rc::kOk)
            p.locked = false;
    std::erase_if(pieces_, [](const Piece& p) { return !p.locked; });
}

void DataLocks::leaveExclusive()
{
    if (exclusiveCount_ <= 0)
        return;
    if (--exclusiveCount_ > 0)
        return;
    releasePieces();
}

void DataLocks::releaseAll()
{
    // Closing the descriptor would drop these as well; releasing them here keeps the
    // file free also while another reference to the description might linger. What
    // the file refuses to release here, the close that follows releases.
    for (const Held& h : held_) {
        if (!h.inFile)
            continue;
        const ResultCode released =
            h.position == kWholeFile ? file_.unlock(0, format::kWholeFileLength) : file_.unlock(h.position, 1);
        (void)released;
    }
    releasePieces();
    held_.clear();
    pieces_.clear();
}

} // namespace qr::store
