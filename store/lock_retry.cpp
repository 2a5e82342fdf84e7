#include "store/lock_retry.h"

#include <atomic>

namespace qr::store {
namespace {
std::atomic<std::int32_t> g_timeout{0};
}

std::int32_t lockRetryTimeoutSetting() { return g_timeout.load(std::memory_order_relaxed); }
void setLockRetryTimeoutSetting(std::int32_t milliseconds) { g_timeout.store(milliseconds, std::memory_order_relaxed); }

} // namespace qr::store
