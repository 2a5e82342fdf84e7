// The lock retry time-out and the one loop that retries refused locks under it.
#pragma once

#include "store/env.h"

#include <cstdint>

namespace qr::store {

// Process-wide, milliseconds: 0 no retry, -1 (any negative value) without end,
// else the longest time since the first attempt during which attempts go on.
std::int32_t lockRetryTimeoutSetting();
void setLockRetryTimeoutSetting(std::int32_t milliseconds);

inline bool isRetryableRefusal(ResultCode code) { return code == rc::kLockViolation || code == rc::kSharingViolation; }

// Runs attempt() until it succeeds, fails for another cause, or the time-out is
// over; between attempts the thread sleeps 20 + (tick mod 20) ms so that two
// waiters do not keep colliding in step.
template <typename Attempt> ResultCode retryRefused(Attempt&& attempt, std::int32_t timeout = lockRetryTimeoutSetting())
{
    Env& env = storeEnv();
    const std::uint32_t first = env.tickMilliseconds();
    for (;;) {
        const ResultCode code = attempt();
        if (!isRetryableRefusal(code) || timeout == 0)
            return code;
        if (timeout > 0 && env.tickMilliseconds() - first > static_cast<std::uint32_t>(timeout))
            return code;
        env.sleepMilliseconds(20 + env.tickMilliseconds() % 20);
    }
}

inline LockMode lockModeFor(const File& file)
{
    // A descriptor opened for reading cannot hold an exclusive lock; a reader only
    // needs to keep writers out, which a shared lock does.
    return file.writable() ? LockMode::Exclusive : LockMode::Shared;
}

} // namespace qr::store
