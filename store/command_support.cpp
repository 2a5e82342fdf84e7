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

namespace {

// A hot journal found by a writer that holds the writer lock: rolled back with the
// data file in an exclusive section and the auxiliary file locked whole, so that no
// reader sees the store half restored.
ResultCode rollBackHotJournal(StoreHandle& store)
{
    if (ResultCode code = store.locks.enterExclusive(); code != rc::kOk)
        return code;
    File* aux = store.journal.auxFile();
    ResultCode code = rc::kOk;
    if (aux)
        code = retryRefused([&] { return aux->lock(0, format::kWholeFileLength, LockMode::Exclusive); });
    if (code == rc::kOk) {
        code = rollBackJournal(storeEnv(), store.journal.path(), store.journal.dataFile(), aux);
        if (aux)
            (void)aux->unlock(0, format::kWholeFileLength); // close drops it otherwise
    }
    store.locks.leaveExclusive();
    return code;
}

} // namespace

ResultCode beginWrite(StoreHandle& store)
{
    const bool outermost = !store.journal.active();
    if (ResultCode code = store.journal.begin(); code != rc::kOk)
        return code;
    if (outermost && store.journal.attached() && store.journal.journalExists())
        if (ResultCode code = rollBackHotJournal(store); code != rc::kOk) {
            (void)store.journal.end();
            return code;
        }
    return rc::kOk;
}

ResultCode endWrite(StoreHandle& store, ResultCode result)
{
    const ResultCode committed = store.journal.end();
    return result != rc::kOk ? result : committed;
}

ResultCode preserveForRecord(StoreHandle& store, std::int64_t position, std::int64_t size)
{
    std::vector<JournalWriter::Range> ranges{{JournalWriter::kDataFile, format::kCountOffset, 8},
                                             {JournalWriter::kDataFile, position, size}};
    if (store.aux)
        ranges.push_back({JournalWriter::kAuxFile, 0, format::kAuxHeaderSize});
    return store.journal.preserve(ranges);
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
