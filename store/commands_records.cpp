// Commands on single records: count, go to, read field, add, change, and the
// status word. Each goes straight to the file; nothing is cached between commands.
#include "runtime/error_report.h"
#include "store/command_support.h"
#include "store/field_codec.h"
#include "store/formats.h"
#include "store/names.h"

#include <algorithm>
#include <cstring>

namespace qr::store {

using detail::finish;
using namespace format;

namespace {

// Bytes of a chain value: a memo holds its text without terminator.
std::span<const std::uint8_t> chainBytes(const Value& value)
{
    if (value.kind() == runtime::Kind::Text)
        return {reinterpret_cast<const std::uint8_t*>(value.asText().data()), value.asText().size()};
    return value.asByteSet();
}

ResultCode checkValues(const StoreHandle& store, std::span<const Value> values)
{
    const std::size_t n = std::min(values.size(), store.layout.fields.size());
    for (std::size_t i = 0; i < n; ++i)
        if (!values[i].isNone() && !valueFitsField(store.layout.fields[i].type, values[i]))
            return rc::kTypeMismatch;
    return rc::kOk;
}

// Applies the given values to a record image. Chain values are written to the
// auxiliary file (over the chain the image refers to); the first failure is
// returned but does not stop the others.
ResultCode applyValues(StoreHandle& store, std::span<const Value> values, std::uint8_t* image,
                       std::vector<std::int32_t>& toFree)
{
    ResultCode result = rc::kOk;
    const std::size_t n = std::min(values.size(), store.layout.fields.size());
    for (std::size_t i = 0; i < n; ++i) {
        const Value& value = values[i];
        if (value.isNone())
            continue;
        const FieldDef& field = store.layout.fields[i];
        std::uint8_t* at = image + field.offset;
        if (!isChainType(field.type)) {
            encodeField(field.type, field.width, value, at);
            continue;
        }
        if (!store.aux) {
            result = result != rc::kOk ? result : rc::kFieldReadFailed;
            continue;
        }
        std::int32_t reference = 0;
        const ResultCode code = store.aux->writeValue(getI32(at), chainBytes(value), reference, toFree);
        putI32(at, reference);
        if (code != rc::kOk && result == rc::kOk)
            result = code;
    }
    return result;
}

std::size_t fieldIndexOrReport(const StoreHandle& store, const Value& field)
{
    const auto& fields = store.layout.fields;
    if (field.kind() == runtime::Kind::Text) {
        for (std::size_t i = 0; i < fields.size(); ++i)
            if (namesEqual(fields[i].name, field.asText()))
                return i;
    } else if (field.isNumeric()) {
        const std::int64_t number = field.numericAsInt64();
        if (number >= 1 && number <= static_cast<std::int64_t>(fields.size()))
            return static_cast<std::size_t>(number - 1);
    } else {
        runtime::reportRuntimeError("所提供参数的数据类型不符合要求");
    }
    runtime::reportRuntimeError("指定字段不存在");
}

ResultCode readFieldValue(StoreHandle& store, const FieldDef& field, Value& result)
{
    // Most fields fit the stack buffer; only wide text fields need the heap.
    std::uint8_t bytes[256] = {};
    std::vector<std::uint8_t> wide;
    std::uint8_t* raw = bytes;
    if (field.width > static_cast<std::int32_t>(sizeof bytes)) {
        if (ResultCode code = detail::allocate(wide, static_cast<std::size_t>(field.width)); code != rc::kOk)
            return code;
        raw = wide.data();
    }
    const std::size_t width = static_cast<std::size_t>(field.width);
    auto decode = [&]() -> ResultCode {
        if (!isChainType(field.type)) {
            result = decodeField(field.type, field.width, raw);
            return rc::kOk;
        }
        if (!store.aux)
            return rc::kFieldReadFailed;
        std::vector<std::uint8_t> value;
        if (ResultCode code = store.aux->readValue(getI32(raw), value); code != rc::kOk)
            return code;
        if (field.type == FieldType::Memo) {
            // A memo is text: it ends at its first zero byte, like a text field.
            const auto end = std::find(value.begin(), value.end(), std::uint8_t{0});
            result = Value::text(std::string(value.begin(), end));
        } else {
            result = Value::byteSet(std::move(value));
        }
        return rc::kOk;
    };

    if (store.scan) {
        std::memcpy(raw, store.scan + field.offset, width);
        return decode();
    }
    if (store.current < 0)
        return rc::kNoCurrentRecord;
    const std::int64_t position = store.recordPosition(store.current);
    if (ResultCode code = store.locks.lock(position); code != rc::kOk)
        return code;
    std::size_t got = 0;
    ResultCode code = store.data->readAt(position + field.offset, raw, width, got);
    if (code == rc::kOk && got == 0)
        code = rc::kBadSeek; // at or beyond the end of the file
    else if (code == rc::kOk && got < width)
        code = rc::kFieldReadFailed;
    // The record stays locked while its chain is read, so a change of the same
    // record in another process cannot swap the chain under us.
    if (code == rc::kOk)
        code = decode();
    const ResultCode unlocked = store.locks.unlock(position);
    return code != rc::kOk ? code : unlocked;
}

} // namespace

std::int32_t recordCount()
{
    detail::clearLastError();
    StoreHandle* store = StoreTable::instance().current();
    if (!store) {
        finish(rc::kNoCurrentStore);
        return 0;
    }
    std::int32_t count = 0;
    return finish(detail::countRecords(*store, count)) ? count : 0;
}

bool goToRecord(std::int32_t recordNumber)
{
    detail::clearLastError();
    StoreHandle* store = StoreTable::instance().current();
    if (!store)
        return finish(rc::kNoCurrentStore);
    std::int32_t count = 0;
    if (ResultCode code = detail::countRecords(*store, count); code != rc::kOk)
        return finish(code);
    const std::int64_t index = std::min<std::int64_t>(count - 1, std::int64_t(recordNumber) - 1);
    store->current = static_cast<std::int32_t>(std::max<std::int64_t>(index, 0));
    return finish(rc::kOk);
}

Value readField(const Value& field)
{
    detail::clearLastError();
    StoreHandle* store = StoreTable::instance().current();
    if (!store)
        runtime::reportRuntimeError("未指定当前数据库或者指定数据库未打开");
    const FieldDef& def = store->layout.fields[fieldIndexOrReport(*store, field)];
    Value result;
    const ResultCode code = readFieldValue(*store, def, result);
    if (!finish(code))
        return emptyValueOf(def.type);
    return result;
}

Value readField(std::int32_t fieldNumber) { return readField(Value::integer(fieldNumber)); }

bool addRecord(std::span<const Value> values)
{
    detail::clearLastError();
    StoreHandle* store = StoreTable::instance().current();
    if (!store)
        return finish(rc::kNoCurrentStore);
    if (ResultCode code = checkValues(*store, values); code != rc::kOk)
        return finish(code);
    std::vector<std::uint8_t> image;
    if (ResultCode code = detail::allocate(image, static_cast<std::size_t>(store->layout.recordLength));
        code != rc::kOk)
        return finish(code);

    // The header byte is held from reading the count to writing the new one, which
    // makes appends of several handles and processes follow one another. Locks are
    // always taken in the same order, writer lock, header byte, then record byte,
    // then bytes of the auxiliary file, so two handles never wait for each other in
    // a circle.
    if (ResultCode code = detail::beginWrite(*store); code != rc::kOk)
        return finish(code);
    if (ResultCode code = store->locks.lock(kCountOffset); code != rc::kOk)
        return finish(detail::endWrite(*store, code));
    std::int32_t count = 0;
    std::int32_t serial = 0;
    if (ResultCode code = readCountAndSerial(*store->data, count, serial); code != rc::kOk) {
        store->locks.release(kCountOffset);
        return finish(detail::endWrite(*store, code));
    }
    const std::int64_t position = store->recordPosition(count);
    if (ResultCode code = store->locks.lock(position); code != rc::kOk) {
        store->locks.release(kCountOffset);
        return finish(detail::endWrite(*store, code));
    }

    if (ResultCode code = detail::preserveForRecord(*store, position, 0); code != rc::kOk) {
        store->locks.release(position);
        store->locks.release(kCountOffset);
        return finish(detail::endWrite(*store, code));
    }
    std::vector<std::int32_t> toFree;
    const ResultCode auxResult = applyValues(*store, values, image.data(), toFree);
    putI32(image.data(), serial);
    const auto nextSerial = static_cast<std::int32_t>(static_cast<std::uint32_t>(serial) + 1u);
    ResultCode written = store->data->writeAt(position, image.data(), image.size());
    if (written == rc::kOk)
        written = writeCountAndSerial(*store->data, count + 1, nextSerial);
    if (written == rc::kOk) {
        store->current = count;
    } else if (store->aux) {
        // The record is not in the store, so its chains belong to no one: give
        // their blocks back rather than lose them. A free that fails loses the
        // blocks, never lists a used one as free; the failed write is the result.
        for (const FieldDef& field : store->layout.fields)
            if (isChainType(field.type) && getI32(image.data() + field.offset) > 0)
                (void)store->aux->freeChain(getI32(image.data() + field.offset));
    }
    // The record's result stands whatever happens to blocks it no longer uses: a
    // failed free leaves them lost space, which the consistency check reports.
    if (store->aux)
        (void)store->aux->freeBlocks(toFree);
    // Committed while the header and record bytes still keep readers off the new
    // record and count.
    const ResultCode result = detail::endWrite(*store, written != rc::kOk ? written : auxResult);
    store->locks.release(position);
    store->locks.release(kCountOffset);
    return finish(result);
}

bool changeRecord(std::span<const Value> values)
{
    detail::clearLastError();
    StoreHandle* store = StoreTable::instance().current();
    if (!store)
        return finish(rc::kNoCurrentStore);
    if (store->current < 0)
        return finish(rc::kNoCurrentRecord);
    if (ResultCode code = checkValues(*store, values); code != rc::kOk)
        return finish(code);
    std::vector<std::uint8_t> image;
    if (ResultCode code = detail::allocate(image, static_cast<std::size_t>(store->layout.recordLength));
        code != rc::kOk)
        return finish(code);

    const std::int64_t position = store->recordPosition(store->current);
    if (ResultCode code = detail::beginWrite(*store); code != rc::kOk)
        return finish(code);
    if (ResultCode code = store->locks.lock(position); code != rc::kOk)
        return finish(detail::endWrite(*store, code));
    std::size_t got = 0;
    ResultCode result = store->data->readAt(position, image.data(), image.size(), got);
    if (result == rc::kOk && got == 0)
        result = rc::kNoCurrentRecord;
    else if (result == rc::kOk && got < image.size())
        result = rc::kRecordReadFailed;
    if (result != rc::kOk) {
        store->locks.release(position);
        return finish(detail::endWrite(*store, result));
    }

    if (result = detail::preserveForRecord(*store, position, store->layout.recordLength); result != rc::kOk) {
        store->locks.release(position);
        return finish(detail::endWrite(*store, result));
    }
    std::vector<std::int32_t> toFree;
    result = applyValues(*store, values, image.data(), toFree);
    // The status word is never rewritten by a change.
    const ResultCode written = store->data->writeAt(position + kStatusWordSize, image.data() + kStatusWordSize,
                                                    image.size() - kStatusWordSize);
    // Blocks the record no longer uses go to the free list only once the record
    // that referred to them is rewritten; if that failed, they stay out of use
    // instead of being free and referenced at once. A failed free leaves them lost
    // space as well; the change itself is done.
    if (written == rc::kOk && store->aux)
        (void)store->aux->freeBlocks(toFree);
    result = detail::endWrite(*store, result != rc::kOk ? result : written);
    store->locks.release(position);
    return finish(result);
}

bool readStatusWord(std::int32_t& statusWord)
{
    detail::clearLastError();
    StoreHandle* store = StoreTable::instance().current();
    if (!store)
        return finish(rc::kNoCurrentStore);
    if (store->current < 0)
        return finish(rc::kNoCurrentRecord);
    const std::int64_t position = store->recordPosition(store->current);
    if (ResultCode code = store->locks.lock(position); code != rc::kOk)
        return finish(code);
    const ResultCode code = detail::readStatusWordAt(*store, position, statusWord);
    store->locks.release(position);
    return finish(code);
}

bool currentStoreInfo(StoreInfo& info)
{
    detail::clearLastError();
    StoreHandle* store = StoreTable::instance().current();
    if (!store)
        return finish(rc::kNoCurrentStore);
    const DataLayout& layout = store->layout;
    info = StoreInfo{};
    info.magic = layout.magic;
    info.version = layout.version;
    info.recordLength = layout.recordLength;
    info.dataStart = static_cast<std::int32_t>(layout.dataStart);
    info.fullPath = store->fullPath;
    for (const FieldDef& f : layout.fields)
        info.fields.push_back({f.name, f.type, f.offset, f.width});
    if (ResultCode code = store->locks.lock(kCountOffset); code != rc::kOk)
        return finish(code);
    const ResultCode code = readCountAndSerial(*store->data, info.recordCount, info.nextSerial);
    store->locks.release(kCountOffset);
    if (code != rc::kOk)
        return finish(code);
    if (store->aux) {
        AuxHeader header;
        if (ResultCode auxCode = store->aux->readHeader(header); auxCode != rc::kOk)
            return finish(auxCode);
        info.hasAuxiliaryFile = true;
        info.auxBlockCount = header.blockCount;
        info.auxFreeCount = header.freeCount;
        info.auxFreeHead = header.freeHead;
    }
    return finish(rc::kOk);
}

} // namespace qr::store
