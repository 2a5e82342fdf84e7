#include "store/command_support.h"

#include "runtime/error_report.h"
#include "store/formats.h"
#include "store/lock_retry.h"

#include <algorithm>
#include <new>

namespace qr::store {

namespace {
thread_local ResultCode t_lastError = rc::kOk;
}

ResultCode lastError() { return t_lastError; }

void setLockRetryTimeout(std::int32_t milliseconds) { setLockRetryTimeoutSetting(milliseconds); }
std::int32_t lockRetryTimeout() { return lockRetryTimeoutSetting(); }

namespace detail {

bool finish(ResultCode code)
{
    t_lastError = code;
    return code == rc::kOk;
}

void clearLastError() { t_lastError = rc::kOk; }

ResultCode countRecords(StoreHandle& store, std::int32_t& count)
{
    const std::int32_t setting = lockRetryTimeoutSetting();
    const std::int32_t timeout = setting < 0 ? setting : std::max(setting, 2000); // negative: no end already
    if (ResultCode code = store.locks.lock(format::kCountOffset, timeout); code != rc::kOk)
        return code;
    std::int32_t serial = 0;
    const ResultCode code = readCountAndSerial(*store.data, count, serial);
    const ResultCode unlocked = store.locks.unlock(format::kCountOffset);
    return code != rc::kOk ? code : unlocked;
}

bool evaluateCondition(const Condition& condition)
{
    if (const bool* constant = std::get_if<bool>(&condition))
        return *constant;
    const SubStatement& statement = std::get<SubStatement>(condition);
    const Value result = statement ? statement() : Value();
    if (result.kind() != runtime::Kind::Logical)
        runtime::reportRuntimeError("用作进行条件判断的子语句参数只能接受逻辑型数据");
    return result.asLogical();
}

ResultCode readStatusWordAt(StoreHandle& store, std::int64_t position, std::int32_t& statusWord)
{
    std::uint8_t bytes[4];
    std::size_t got = 0;
    ResultCode code = store.data->readAt(position, bytes, sizeof bytes, got);
    if (code == rc::kOk && got == 0)
        code = rc::kNoCurrentRecord;
    else if (code == rc::kOk && got < sizeof bytes)
        code = rc::kRecordReadFailed;
    if (code == rc::kOk)
        statusWord = format::getI32(bytes);
    return code;
}

ResultCode allocate(std::vector<std::uint8_t>& buffer, std::size_t size)
{
    try {
        buffer.assign(size, 0);
    } catch (const std::bad_alloc&) {
        return rc::kOutOfMemory;
    }
    return rc::kOk;
}

std::int64_t batchRecords(std::int32_t recordLength)
{
    return std::max<std::int64_t>(1, format::kBatchBytes / recordLength);
}

} // namespace detail
} // namespace qr::store
