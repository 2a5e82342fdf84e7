// The data file: header and field definitions, their validation at open with the
// record-count correction, and the record count and next serial number.
#pragma once

#include "store/commands.h"
#include "store/env.h"

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace qr::store {

struct FieldDef {
    std::string name; // GBK, up to the terminator
    FieldType type = FieldType::Text;
    std::int32_t offset = 0;
    std::int32_t width = 0; // bytes in the record
};

struct DataLayout {
    std::array<std::uint8_t, 112> header{}; // as read at open
    std::uint32_t magic = 0;
    std::uint32_t version = 0;
    std::int32_t recordLength = 0;
    std::int64_t dataStart = 0;
    std::vector<FieldDef> fields;

    bool hasChainFields() const;
    std::int64_t recordPosition(std::int64_t index) const { return dataStart + index * recordLength; }
};

// Bytes a field of this type takes in the record (size only matters for text).
std::int32_t fieldWidth(FieldType type, std::int32_t size);
bool isChainType(FieldType type);

// Reads and validates header and field definitions in the order the format fixes,
// with the record-count correction (written on a writable file).
ResultCode readDataLayout(File& file, std::string_view password, DataLayout& layout);

// Reads the record count and next serial number at offset 16; a negative count
// reads as 0 and a serial below 1 as 1. A short read is kRecordCountFailed.
ResultCode readCountAndSerial(File& file, std::int32_t& count, std::int32_t& nextSerial);
ResultCode readCount(File& file, std::int32_t& count);
ResultCode writeCount(File& file, std::int32_t count);
ResultCode writeCountAndSerial(File& file, std::int32_t count, std::int32_t nextSerial);

// A new data file image: header, field count and field definitions.
std::vector<std::uint8_t> newDataFileImage(const std::vector<FieldDef>& fields, std::int32_t recordLength);

} // namespace qr::store
