// The auxiliary file: values of byte-set and memo fields as chains of 512-byte
// blocks, the free list of blocks, and the trimming of free blocks at the end.
//
// Locks: byte 0 while the AuxHeader is read for a change and written back
// (allocation, freeing, trimming); a block's first byte while the block is read as
// part of a value or rewritten whole. They are taken whatever the data file's share
// mode and retried under the lock retry time-out.
#pragma once

#include "store/env.h"

#include <cstdint>
#include <memory>
#include <span>
#include <vector>

namespace qr::store {

struct AuxHeader {
    std::uint32_t magic = 0;
    std::uint32_t version = 0;
    std::int32_t blockCount = 0;
    std::int32_t freeCount = 0;
    std::int32_t freeHead = 0;
};

class AuxFile {
public:
    explicit AuxFile(std::unique_ptr<File> file)
        : file_(std::move(file))
    {}

    File& file() { return *file_; }

    // The checks of open: header, version, block count against the file length
    // (corrected on a writable file, refused on a read-only one).
    ResultCode checkAtOpen(std::uint32_t dataVersion);

    ResultCode readValue(std::int32_t reference, std::vector<std::uint8_t>& value);

    // Writes a value over the chain at oldReference (0: none) and gives the new
    // reference: oldReference when it was not 0 and the value is not empty, 0 for an
    // empty value. Blocks that no chain uses any more are appended to toFree and must
    // be given to freeBlocks() once the record no longer refers to them. When the
    // write fails part-way, newReference is either the intact old chain or 0, and
    // toFree holds every block that the failed attempt took out of use.
    ResultCode writeValue(std::int32_t oldReference, std::span<const std::uint8_t> value, std::int32_t& newReference,
                          std::vector<std::int32_t>& toFree);

    // Puts blocks (one former chain, or the leftovers of a failed write) on the free
    // list, and trims free blocks off the end of the file.
    ResultCode freeBlocks(std::span<const std::int32_t> blocks);
    // Frees the chain starting at the given block.
    ResultCode freeChain(std::int32_t first);

    // The blocks of the chain starting at `first`, checked as freeing checks them.
    ResultCode chainBlocks(std::int32_t first, std::vector<std::int32_t>& blocks);

    // An empty file: block count 1, free list empty, 512 bytes.
    ResultCode clear();

    ResultCode readHeader(AuxHeader& header);

private:
    struct BlockHeader {
        std::int32_t previous = 0;
        std::int32_t next = 0;
        std::int32_t used = 0;
    };

    ResultCode lockByte(std::int64_t position);
    // After the work under the lock: a byte the file keeps locked is released when
    // the store closes, and the work's result is what the caller hears.
    void unlockByte(std::int64_t position) { (void)file_->unlock(position, 1); }
    ResultCode loadHeader(AuxHeader& header); // byte 0 locked by the caller
    ResultCode storeHeader(const AuxHeader& header);
    ResultCode readBlockHeader(std::int32_t block, BlockHeader& header);
    ResultCode writeBlockHeader(std::int32_t block, const BlockHeader& header);
    ResultCode writeBlock(std::int32_t block, const BlockHeader& header, std::span<const std::uint8_t> data);
    ResultCode collectChain(const AuxHeader& header, std::int32_t first, std::vector<std::int32_t>& blocks);
    ResultCode freeLocked(AuxHeader& header, std::span<const std::int32_t> blocks);
    ResultCode trimTail(AuxHeader& header);

    std::unique_ptr<File> file_;
};

} // namespace qr::store
