// Byte positions and constants of the data file and the auxiliary file, and the
// little-endian helpers that read and write them.
#pragma once

#include <cstdint>
#include <cstring>

namespace qr::store::format {

// Data file.
inline constexpr std::uint32_t kMagicPlain = 0x42444557;      // "WEDB"
inline constexpr std::uint32_t kMagicProtected = 0x42444357;  // "WCDB"
inline constexpr std::uint32_t kVersion = 0x00010000;
inline constexpr std::int64_t kHeaderSize = 112;
inline constexpr std::int64_t kCountOffset = 16;  // record count, then next serial
inline constexpr std::int64_t kSerialOffset = 20;
inline constexpr std::int64_t kRecordLengthOffset = 24;
inline constexpr std::int64_t kFieldCountOffset = 112;
inline constexpr std::int64_t kFieldDefsOffset = 116;
inline constexpr std::int64_t kFieldDefSize = 72;
inline constexpr std::size_t kFieldNameBytes = 20;
inline constexpr std::size_t kFieldNameTerminatorWithin = 17;
inline constexpr std::int64_t kStatusWordSize = 4;
// Our own ceiling: no record of a sane store comes near it, and it keeps a damaged
// header from making us allocate gigabytes for one record.
inline constexpr std::int32_t kMaxRecordLength = 16 * 1024 * 1024;
// The records that pack and conditional delete move through one buffer at a time.
inline constexpr std::int64_t kBatchBytes = 163840;

// Locks: whole file and the positions inside it.
inline constexpr std::int64_t kWholeFileLength = 0x7FFFFFFF;

// Auxiliary file.
inline constexpr std::uint32_t kAuxMagic = 0x54444557;  // "WEDT"
inline constexpr std::int64_t kBlockSize = 512;
inline constexpr std::int64_t kBlockHeaderSize = 12;
inline constexpr std::int64_t kBlockDataSize = 500;
inline constexpr std::int64_t kAuxHeaderSize = 32;
inline constexpr std::int64_t kAuxBlockCountOffset = 16;

inline std::uint32_t getU32(const std::uint8_t* p)
{
    return std::uint32_t(p[0]) | (std::uint32_t(p[1]) << 8) | (std::uint32_t(p[2]) << 16) |
           (std::uint32_t(p[3]) << 24);
}
inline std::int32_t getI32(const std::uint8_t* p) { return static_cast<std::int32_t>(getU32(p)); }
inline void putU32(std::uint8_t* p, std::uint32_t v)
{
    p[0] = static_cast<std::uint8_t>(v);
    p[1] = static_cast<std::uint8_t>(v >> 8);
    p[2] = static_cast<std::uint8_t>(v >> 16);
    p[3] = static_cast<std::uint8_t>(v >> 24);
}
inline void putI32(std::uint8_t* p, std::int32_t v) { putU32(p, static_cast<std::uint32_t>(v)); }
inline std::uint64_t getU64(const std::uint8_t* p) { return std::uint64_t(getU32(p)) | (std::uint64_t(getU32(p + 4)) << 32); }
inline void putU64(std::uint8_t* p, std::uint64_t v)
{
    putU32(p, static_cast<std::uint32_t>(v));
    putU32(p + 4, static_cast<std::uint32_t>(v >> 32));
}

} // namespace qr::store::format
