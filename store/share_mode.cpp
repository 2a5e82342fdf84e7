#include "store/share_mode.h"

#include <array>

namespace qr::store {
namespace {

// How share modes are realised. Each open File publishes what it does and what it
// forbids as shared (read) locks on four marker bytes at 2^62, outside the
// [0, 0x7FFFFFFF) range that whole-file locks and exclusive sections cover and
// beyond the lock byte of any record a file could hold:
//   kReading  every handle (all handles read)
//   kWriting  handles opened for writing
//   kNoRead   handles that deny reading to others
//   kNoWrite  handles that deny writing to others
// A new handle first publishes its own markers, then asks whether another File
// holds the marker opposite to each of its own (reading vs kNoRead, writing vs
// kNoWrite, kNoRead vs kReading, kNoWrite vs kWriting); any such marker refuses it.
//
// Hazard: check and claim cannot be one step, and a descriptor opened for reading
// cannot take the exclusive lock a guard byte would need. Publishing before
// checking closes the gap instead: of two handles opening at the same moment with
// conflicting modes, at least one sees the other's markers, so both may be refused
// (and retried under the lock retry time-out) but never both admitted.
//
// The markers are OFD locks, so they hold between two handles of one process as
// between processes, and they vanish with the File: a crashed process leaves none.
constexpr std::int64_t kMarkerBase = std::int64_t(1) << 62;
constexpr std::int64_t kReading = kMarkerBase + 0;
constexpr std::int64_t kWriting = kMarkerBase + 1;
constexpr std::int64_t kNoRead = kMarkerBase + 2;
constexpr std::int64_t kNoWrite = kMarkerBase + 3;

} // namespace

ShareMode shareModeFromArgument(bool given, std::int32_t value)
{
    if (!given || value == 1)
        return ShareMode::None;
    if (value == 2)
        return ShareMode::DenyRead;
    if (value == 3)
        return ShareMode::DenyWrite;
    return ShareMode::DenyReadWrite;
}

ResultCode claimShareMode(File& file, ShareMode mode)
{
    const bool denyRead = mode == ShareMode::DenyRead || mode == ShareMode::DenyReadWrite;
    const bool denyWrite = mode == ShareMode::DenyWrite || mode == ShareMode::DenyReadWrite;

    struct Claim {
        std::int64_t mine;
        std::int64_t conflicting;
    };
    std::array<Claim, 4> claims{};
    std::size_t n = 0;
    claims[n++] = {kReading, kNoRead};
    if (file.writable())
        claims[n++] = {kWriting, kNoWrite};
    if (denyRead)
        claims[n++] = {kNoRead, kReading};
    if (denyWrite)
        claims[n++] = {kNoWrite, kWriting};

    // Only on the way to a refusal, after which the caller drops the File: closing
    // it releases any claim the file would not unlock here.
    auto releaseMine = [&] {
        for (std::size_t i = 0; i < n; ++i)
            (void)file.unlock(claims[i].mine, 1);
    };
    for (std::size_t i = 0; i < n; ++i) {
        const ResultCode code = file.lock(claims[i].mine, 1, LockMode::Shared);
        if (code != rc::kOk) {
            releaseMine();
            return code == rc::kLockViolation ? rc::kSharingViolation : code;
        }
    }
    for (std::size_t i = 0; i < n; ++i) {
        bool taken = false;
        const ResultCode code = file.lockedByOther(claims[i].conflicting, 1, taken);
        if (code != rc::kOk || taken) {
            releaseMine();
            return code != rc::kOk ? code : rc::kSharingViolation;
        }
    }
    return rc::kOk;
}

} // namespace qr::store
