// Byte positions and constants of the data file and the auxiliary file, and the
// little-endian helpers that read and write them.
#pragma once

#include "runtime/coding.h"

#include <cstdint>
#include <cstring>

namespace qr::store::format {

// Data file.
inline constexpr std::uint32_t kMagicPlain = 0x42444557;     // "WEDB"
inline constexpr std::uint32_t kMagicProtected = 0x42444357; // "WCDB"
inline constexpr std::uint32_t kVersion = 0x00010000;
inline constexpr std::int64_t kHeaderSize = 112;
inline constexpr std::int64_t kCountOffset = 16; // record count, then next serial
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
// The writer lock of the rollback journal: one byte far beyond any data, the
// whole-file lock and the exclusive sections, and apart from the share-mode markers
// at 2^62 to 2^62 + 3 (store/share_mode.cpp).
inline constexpr std::int64_t kWriterLockPosition = (std::int64_t(1) << 62) + 16;

// Auxiliary file.
inline constexpr std::uint32_t kAuxMagic = 0x54444557; // "WEDT"
inline constexpr std::int64_t kBlockSize = 512;
inline constexpr std::int64_t kBlockHeaderSize = 12;
inline constexpr std::int64_t kBlockDataSize = 500;
inline constexpr std::int64_t kAuxHeaderSize = 32;
inline constexpr std::int64_t kAuxBlockCountOffset = 16;

// The store's files are little-endian throughout.
using runtime::getI32;
using runtime::getU32;
using runtime::getU64;
using runtime::putI32;
using runtime::putU32;
using runtime::putU64;

} // namespace qr::store::format
