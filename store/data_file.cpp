#include "store/data_file.h"

#include "store/formats.h"

#include <algorithm>
#include <cstring>

namespace qr::store {

using namespace format;

bool DataLayout::hasChainFields() const
{
    return std::any_of(fields.begin(), fields.end(), [](const FieldDef& f) { return isChainType(f.type); });
}

bool isChainType(FieldType type) { return type == FieldType::ByteSet || type == FieldType::Memo; }

std::int32_t fieldWidth(FieldType type, std::int32_t size)
{
    switch (type) {
    case FieldType::Text: return size;
    case FieldType::Byte:
    case FieldType::Logical: return 1;
    case FieldType::Short: return 2;
    case FieldType::Long:
    case FieldType::Double:
    case FieldType::DateTime: return 8;
    default: return 4;
    }
}

ResultCode readDataLayout(File& file, std::string_view password, DataLayout& layout)
{
    std::int64_t fileLength = 0;
    if (ResultCode code = file.length(fileLength); code != rc::kOk)
        return code;

    std::size_t got = 0;
    if (ResultCode code = file.readAt(0, layout.header.data(), kHeaderSize, got); code != rc::kOk)
        return code;
    if (got < static_cast<std::size_t>(kHeaderSize))
        return rc::kNotADataFile;
    const std::uint8_t* h = layout.header.data();
    layout.magic = getU32(h);
    if (layout.magic == kMagicPlain) {
        if (!password.empty() && password != "?")
            return rc::kWrongPassword;
    } else if (layout.magic == kMagicProtected) {
        // We never write protected stores and hold no key for them; whatever the
        // caller gives cannot be the right password.
        return rc::kWrongPassword;
    } else {
        return rc::kNotADataFile;
    }

    layout.version = getU32(h + 4);
    const std::int32_t count = getI32(h + kCountOffset);
    const std::int32_t serial = getI32(h + kSerialOffset);
    layout.recordLength = getI32(h + kRecordLengthOffset);
    if (layout.recordLength < 1 || count < 0 || serial < 1)
        return rc::kNotADataFile;
    // Refused before anything is sized by it: every buffer of the engine holds
    // whole records.
    if (layout.recordLength > kMaxRecordLength)
        return rc::kNotADataFile;
    if (layout.version > kVersion)
        return rc::kVersionTooHigh;

    std::uint8_t countBytes[4];
    if (ResultCode code = file.readAt(kFieldCountOffset, countBytes, 4, got); code != rc::kOk)
        return code;
    const std::int32_t fieldCount = got == 4 ? getI32(countBytes) : 0;
    // A field count larger than the file could hold is refused before the array for
    // it is allocated.
    if (fieldCount < 1 || kFieldDefsOffset + kFieldDefSize * std::int64_t(fieldCount) > fileLength)
        return rc::kNotADataFile;
    std::vector<std::uint8_t> defs(static_cast<std::size_t>(kFieldDefSize * fieldCount));
    if (ResultCode code = file.readAt(kFieldDefsOffset, defs.data(), defs.size(), got); code != rc::kOk)
        return code;
    if (got < defs.size())
        return rc::kNotADataFile;
    layout.dataStart = kFieldDefsOffset + kFieldDefSize * fieldCount;

    // Record-count correction: the file must end after the last counted record.
    const std::int64_t R = layout.recordLength;
    const std::uint32_t K = static_cast<std::uint32_t>(static_cast<std::uint32_t>(fileLength - layout.dataStart) /
                                                       static_cast<std::uint32_t>(R));
    if (std::int64_t(K) < count) {
        if (!file.writable())
            return rc::kDataFileSize;
        if (ResultCode code = writeCount(file, static_cast<std::int32_t>(K)); code != rc::kOk)
            return code;
        putI32(layout.header.data() + kCountOffset, static_cast<std::int32_t>(K));
        if (ResultCode code = file.truncate(layout.dataStart + std::int64_t(K) * R); code != rc::kOk)
            return code;
    } else if (file.writable()) {
        const std::int64_t wanted = layout.dataStart + std::int64_t(count) * R;
        if (fileLength != wanted)
            if (ResultCode code = file.truncate(wanted); code != rc::kOk)
                return code;
    }

    layout.fields.clear();
    layout.fields.reserve(static_cast<std::size_t>(fieldCount));
    for (std::int32_t i = 0; i < fieldCount; ++i) {
        const std::uint8_t* d = defs.data() + kFieldDefSize * i;
        const auto* terminator = static_cast<const std::uint8_t*>(std::memchr(d, 0, kFieldNameTerminatorWithin));
        const std::uint32_t type = getU32(d + 20);
        const std::int32_t offset = getI32(d + 24);
        const std::int32_t size = getI32(d + 28);
        if (!terminator || offset < 0 || type < 1 || type > 12)
            return rc::kNotADataFile;
        FieldDef field;
        field.name.assign(reinterpret_cast<const char*>(d), static_cast<std::size_t>(terminator - d));
        field.type = static_cast<FieldType>(type);
        if (field.type == FieldType::Text && size < 1)
            return rc::kNotADataFile;
        field.offset = offset;
        field.width = fieldWidth(field.type, size);
        // A field reaching past its record would be read from and written into the
        // next record.
        if (std::int64_t(offset) + field.width > R)
            return rc::kNotADataFile;
        layout.fields.push_back(std::move(field));
    }
    return rc::kOk;
}

ResultCode readCountAndSerial(File& file, std::int32_t& count, std::int32_t& nextSerial)
{
    std::uint8_t bytes[8];
    std::size_t got = 0;
    if (ResultCode code = file.readAt(kCountOffset, bytes, 8, got); code != rc::kOk)
        return code;
    if (got < 8)
        return rc::kRecordCountFailed;
    count = std::max(getI32(bytes), 0);
    nextSerial = std::max(getI32(bytes + 4), 1);
    return rc::kOk;
}

ResultCode readCount(File& file, std::int32_t& count)
{
    std::uint8_t bytes[4];
    std::size_t got = 0;
    if (ResultCode code = file.readAt(kCountOffset, bytes, 4, got); code != rc::kOk)
        return code;
    if (got < 4)
        return rc::kRecordCountFailed;
    count = std::max(getI32(bytes), 0);
    return rc::kOk;
}

ResultCode writeCount(File& file, std::int32_t count)
{
    std::uint8_t bytes[4];
    putI32(bytes, count);
    return file.writeAt(kCountOffset, bytes, 4);
}

ResultCode writeCountAndSerial(File& file, std::int32_t count, std::int32_t nextSerial)
{
    std::uint8_t bytes[8];
    putI32(bytes, count);
    putI32(bytes + 4, nextSerial);
    return file.writeAt(kCountOffset, bytes, 8);
}

std::vector<std::uint8_t> newDataFileImage(const std::vector<FieldDef>& fields, std::int32_t recordLength)
{
    std::vector<std::uint8_t> image(
        static_cast<std::size_t>(kFieldDefsOffset + kFieldDefSize * std::int64_t(fields.size())), 0);
    std::uint8_t* h = image.data();
    putU32(h, kMagicPlain);
    putU32(h + 4, kVersion);
    putI32(h + kCountOffset, 0);
    putI32(h + kSerialOffset, 1);
    putI32(h + kRecordLengthOffset, recordLength);
    putI32(h + kFieldCountOffset, static_cast<std::int32_t>(fields.size()));
    for (std::size_t i = 0; i < fields.size(); ++i) {
        std::uint8_t* d = h + kFieldDefsOffset + kFieldDefSize * std::int64_t(i);
        std::memcpy(d, fields[i].name.data(), std::min(fields[i].name.size(), std::size_t(16)));
        putU32(d + 20, static_cast<std::uint32_t>(fields[i].type));
        putI32(d + 24, fields[i].offset);
        putI32(d + 28, fields[i].width);
    }
    return image;
}

} // namespace qr::store
