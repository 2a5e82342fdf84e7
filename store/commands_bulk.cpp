// Commands that walk the whole store: delete (with and without condition), pack,
// clear and find.
#include "store/command_support.h"
#include "store/formats.h"

#include <algorithm>
#include <cstring>

namespace qr::store {

using detail::finish;
using namespace format;

namespace {

// Runs a writing body inside an exclusive section of the store's data file, in one
// transaction that commits before the section is left.
template <typename Body> ResultCode exclusively(StoreHandle& store, Body&& body)
{
    if (ResultCode code = detail::beginWrite(store); code != rc::kOk)
        return code;
    if (ResultCode code = store.locks.enterExclusive(); code != rc::kOk)
        return detail::endWrite(store, code);
    const ResultCode result = detail::endWrite(store, body());
    store.locks.leaveExclusive();
    return result;
}

ResultCode readBatch(File& file, std::int64_t position, std::uint8_t* buffer, std::size_t size)
{
    std::size_t got = 0;
    if (ResultCode code = file.readAt(position, buffer, size, got); code != rc::kOk)
        return code;
    return got < size ? rc::kRecordReadFailed : rc::kOk;
}

ResultCode markDeleted(File& file, std::int64_t position, std::uint8_t* statusWord)
{
    putI32(statusWord, -getI32(statusWord));
    return file.writeAt(position, statusWord, 4);
}

// Scan state of find and conditional delete: the record under test is both the
// scan buffer and the current record while the condition runs.
class ScanScope {
public:
    explicit ScanScope(StoreHandle& store)
        : store_(store)
        , saved_(store.current)
    {}
    ~ScanScope()
    {
        store_.scan = nullptr;
        store_.current = saved_;
    }
    ScanScope(const ScanScope&) = delete;
    ScanScope& operator=(const ScanScope&) = delete;
    void test(std::int64_t index, const std::uint8_t* image)
    {
        store_.scan = image;
        store_.current = static_cast<std::int32_t>(index);
    }

private:
    StoreHandle& store_;
    std::int32_t saved_;
};

ResultCode deleteWhere(StoreHandle& store, const Condition& condition)
{
    std::int32_t count = 0;
    if (ResultCode code = readCount(*store.data, count); code != rc::kOk)
        return code;
    const std::int64_t R = store.layout.recordLength;
    const std::int64_t batch = detail::batchRecords(store.layout.recordLength);
    std::vector<std::uint8_t> buffer;
    if (ResultCode code =
            detail::allocate(buffer, static_cast<std::size_t>(std::min<std::int64_t>(batch, std::max(count, 1)) * R));
        code != rc::kOk)
        return code;
    ScanScope scan(store);
    for (std::int64_t first = 0; first < count; first += batch) {
        const std::int64_t n = std::min<std::int64_t>(batch, count - first);
        if (ResultCode code =
                readBatch(*store.data, store.recordPosition(first), buffer.data(), static_cast<std::size_t>(n * R));
            code != rc::kOk)
            return code;
        for (std::int64_t j = 0; j < n; ++j) {
            std::uint8_t* record = buffer.data() + j * R;
            scan.test(first + j, record);
            if (detail::evaluateCondition(condition) && getI32(record) > 0)
                if (ResultCode code = markDeleted(*store.data, store.recordPosition(first + j), record);
                    code != rc::kOk)
                    return code;
        }
    }
    return rc::kOk;
}

// Moves the bytes from `from` to the end of the file down to `to`, front to back,
// so that no byte is overwritten before it has been copied.
ResultCode slideDown(File& file, std::int64_t from, std::int64_t to, std::vector<std::uint8_t>& buffer,
                     std::int64_t& moved)
{
    std::int64_t length = 0;
    if (ResultCode code = file.length(length); code != rc::kOk)
        return code;
    moved = std::max<std::int64_t>(length - from, 0);
    if (from == to)
        return rc::kOk;
    for (std::int64_t done = 0; done < moved;) {
        const std::int64_t chunk = std::min<std::int64_t>(static_cast<std::int64_t>(buffer.size()), moved - done);
        if (ResultCode code = readBatch(file, from + done, buffer.data(), static_cast<std::size_t>(chunk));
            code != rc::kOk)
            return code;
        if (ResultCode code = file.writeAt(to + done, buffer.data(), static_cast<std::size_t>(chunk)); code != rc::kOk)
            return code;
        done += chunk;
    }
    return rc::kOk;
}

ResultCode packStore(StoreHandle& store)
{
    std::int32_t count = 0;
    if (ResultCode code = readCount(*store.data, count); code != rc::kOk)
        return code;
    const std::int64_t R = store.layout.recordLength;
    const std::int64_t batch = detail::batchRecords(store.layout.recordLength);
    std::vector<std::uint8_t> buffer;
    if (ResultCode code =
            detail::allocate(buffer, static_cast<std::size_t>(std::min<std::int64_t>(batch, std::max(count, 1)) * R));
        code != rc::kOk)
        return code;

    // Chains of removed records are freed only once the store no longer holds those
    // records (count written, file cut). Freed earlier, a pack that stops half-way
    // would leave records that still refer to free blocks, and a later pack would
    // free them a second time.
    std::vector<std::int32_t> chainsToFree;
    std::int64_t readPos = store.layout.dataStart;
    std::int64_t writePos = store.layout.dataStart;
    std::int64_t walked = 0;
    std::int64_t kept = 0;
    bool removed = false;
    ResultCode walkResult = rc::kOk;
    while (walked < count) {
        const std::int64_t n = std::min<std::int64_t>(batch, count - walked);
        if (walkResult = readBatch(*store.data, readPos, buffer.data(), static_cast<std::size_t>(n * R));
            walkResult != rc::kOk)
            break;
        std::int64_t keptHere = 0;
        std::vector<std::int32_t> chainsHere;
        for (std::int64_t j = 0; j < n; ++j) {
            std::uint8_t* record = buffer.data() + j * R;
            if (getI32(record) < 0) {
                for (const FieldDef& field : store.layout.fields)
                    if (isChainType(field.type) && getI32(record + field.offset) > 0)
                        chainsHere.push_back(getI32(record + field.offset));
                continue;
            }
            if (keptHere != j)
                std::memmove(buffer.data() + keptHere * R, record, static_cast<std::size_t>(R));
            ++keptHere;
        }
        const bool removesHere = keptHere < n;
        if ((removed || removesHere) && keptHere > 0)
            if (walkResult = store.data->writeAt(writePos, buffer.data(), static_cast<std::size_t>(keptHere * R));
                walkResult != rc::kOk)
                break; // this batch stays where it was, not walked
        removed = removed || removesHere;
        chainsToFree.insert(chainsToFree.end(), chainsHere.begin(), chainsHere.end());
        writePos += keptHere * R;
        readPos += n * R;
        walked += n;
        kept += keptHere;
    }
    if (!removed)
        return walkResult;

    std::int64_t newCount = kept;
    std::int64_t newLength = writePos;
    if (walked < count) {
        // The walk stopped early: the file became shorter than its count, or a
        // batch could not be written. The records not walked are kept: whatever of
        // them is there moves down to the end of the compacted part, and the count
        // drops only by the records removed. Should the move fail too, the count
        // stays as it was and no chain is freed.
        std::int64_t rest = 0;
        if (ResultCode code = slideDown(*store.data, readPos, writePos, buffer, rest); code != rc::kOk)
            return walkResult;
        newCount = kept + (count - walked);
        newLength = writePos + rest;
    }
    if (ResultCode code = writeCount(*store.data, static_cast<std::int32_t>(newCount)); code != rc::kOk)
        return walkResult != rc::kOk ? walkResult : code;
    ResultCode result = store.data->truncate(newLength);
    if (store.aux) {
        // The blocks about to be freed are kept in the journal at once, not chain
        // by chain as each is freed.
        std::vector<JournalWriter::Range> ranges{{JournalWriter::kAuxFile, 0, kAuxHeaderSize}};
        std::vector<std::int32_t> blocks;
        for (const std::int32_t first : chainsToFree)
            if (store.aux->chainBlocks(first, blocks) == rc::kOk)
                for (const std::int32_t b : blocks)
                    ranges.push_back({JournalWriter::kAuxFile, std::int64_t(b) * kBlockSize, kBlockSize});
        // Unkept, each write keeps its own pages.
        (void)store.journal.preserve(ranges);
    }
    if (store.aux)
        for (const std::int32_t first : chainsToFree)
            if (ResultCode code = store.aux->freeChain(first); code != rc::kOk)
                result = code;
    return walkResult != rc::kOk ? walkResult : result;
}

ResultCode clearAll(StoreHandle& store)
{
    if (ResultCode code = writeCount(*store.data, 0); code != rc::kOk)
        return code;
    if (ResultCode code = store.data->truncate(store.layout.dataStart); code != rc::kOk)
        return code;
    return store.aux ? store.aux->clear() : rc::kOk;
}

} // namespace

bool deleteRecord()
{
    detail::clearLastError();
    StoreHandle* store = StoreTable::instance().current();
    if (!store)
        return finish(rc::kNoCurrentStore);
    if (store->current < 0)
        return finish(rc::kNoCurrentRecord);
    const std::int64_t position = store->recordPosition(store->current);
    if (ResultCode code = detail::beginWrite(*store); code != rc::kOk)
        return finish(code);
    if (ResultCode code = store->locks.lock(position); code != rc::kOk)
        return finish(detail::endWrite(*store, code));
    std::int32_t status = 0;
    ResultCode code = detail::readStatusWordAt(*store, position, status);
    if (code == rc::kOk && status > 0) {
        std::uint8_t bytes[4];
        putI32(bytes, status);
        code = markDeleted(*store->data, position, bytes);
    }
    code = detail::endWrite(*store, code);
    store->locks.release(position);
    return finish(code);
}

bool deleteRecord(const Condition& condition)
{
    detail::clearLastError();
    StoreHandle* store = StoreTable::instance().current();
    if (!store)
        return finish(rc::kNoCurrentStore);
    return finish(exclusively(*store, [&] { return deleteWhere(*store, condition); }));
}

namespace {

// Pack and clear: the whole operation in an exclusive section, the current record
// back at the first afterwards.
bool rewriteExclusively(ResultCode (*operation)(StoreHandle&))
{
    detail::clearLastError();
    StoreHandle* store = StoreTable::instance().current();
    if (!store)
        return finish(rc::kNoCurrentStore);
    const ResultCode code = exclusively(*store, [&] {
        const ResultCode result = operation(*store);
        store->current = 0;
        return result;
    });
    return finish(code);
}

} // namespace

bool pack() { return rewriteExclusively(packStore); }

bool clearStore() { return rewriteExclusively(clearAll); }

bool find(const Condition& condition)
{
    detail::clearLastError();
    StoreHandle* store = StoreTable::instance().current();
    if (!store)
        return finish(rc::kNoCurrentStore);
    if (ResultCode code = store->locks.lock(kCountOffset); code != rc::kOk)
        return finish(code);
    std::int32_t count = 0;
    ResultCode code = readCount(*store->data, count);
    const std::int64_t start = std::max(store->current, 0);
    std::int64_t found = -1;
    if (code == rc::kOk && count >= 1 && start < count) {
        std::vector<std::uint8_t> record;
        code = detail::allocate(record, static_cast<std::size_t>(store->layout.recordLength));
        ScanScope scan(*store);
        for (std::int64_t i = start; code == rc::kOk && i < count; ++i) {
            const std::int64_t position = store->recordPosition(i);
            if (code = store->locks.lock(position); code != rc::kOk)
                break;
            code = readBatch(*store->data, position, record.data(), record.size());
            if (code == rc::kOk) {
                scan.test(i, record.data());
                if (detail::evaluateCondition(condition)) {
                    found = i;
                    break; // stays locked until the scan ends
                }
            }
            store->locks.release(position);
        }
    }
    if (found >= 0) {
        store->locks.release(store->recordPosition(found));
        store->current = static_cast<std::int32_t>(found);
    }
    store->locks.release(kCountOffset);
    if (code != rc::kOk)
        return finish(code);
    finish(rc::kOk);
    return found >= 0;
}

} // namespace qr::store
