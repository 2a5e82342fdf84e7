// The on-disk layout of a store as the checker reads it: file names, the data file's
// header and field definitions, and the auxiliary file's header. Parsing mirrors the
// validation of a read-only open step by step, so a refusal here carries the same
// result code the engine gives.
#pragma once

#include "store/check/raw_file.h"
#include "store/result_code.h"

#include <cstdint>
#include <string>
#include <vector>

namespace qr::store::check {

inline constexpr std::int64_t kHeaderSize = 112;
inline constexpr std::int64_t kFieldDefOffset = 116;
inline constexpr std::int64_t kFieldDefSize = 72;
inline constexpr std::int64_t kBlockSize = 512;
inline constexpr std::int64_t kBlockHeaderSize = 12;
inline constexpr std::int32_t kBlockDataSize = 500;
inline constexpr std::uint32_t kMaxVersion = 0x10000;
inline constexpr std::uint32_t kTypeText = 10;
inline constexpr std::uint32_t kTypeByteSet = 11;
inline constexpr std::uint32_t kTypeMemo = 12;

// The data file's name with the default extension applied, and its auxiliary file's
// name (extension replaced by "EDT" in that letter case). Byte strings, any encoding.
std::string dataFileName(const std::string& name);
std::string auxFileName(const std::string& dataName);

struct RawField {
    std::string nameGbk;
    std::uint32_t type = 0;
    std::int32_t offset = 0;
    std::int32_t size = 0;
    std::int32_t width = 0; // bytes in the record, from the type
    bool isChain() const { return type == kTypeByteSet || type == kTypeMemo; }
};

struct RawDataHeader {
    std::uint32_t magic = 0;
    std::uint32_t version = 0;
    std::int32_t recordCount = 0;
    std::int32_t nextSerial = 0;
    std::int32_t recordLength = 0;
    std::int64_t dataStart = 0;
    std::int64_t fileLength = 0;
    std::int64_t wholeRecords = 0; // records that fit into the file
    std::vector<RawField> fields;
    bool hasChains() const;
};

struct RawAuxHeader {
    std::uint32_t version = 0;
    std::int32_t blockCount = 0;
    std::int32_t freeCount = 0;
    std::int32_t freeHead = 0;
    std::int64_t fileLength = 0;
};

// Both return 0, or the code a read-only open would fail with. With writable set,
// a data file shorter than its record count is no failure: a writable open corrects it.
ResultCode readDataHeader(const RawFile& file, RawDataHeader& out, bool writable = false);
ResultCode readAuxHeader(const RawFile& file, std::uint32_t dataVersion, RawAuxHeader& out, bool writable = false);

} // namespace qr::store::check
