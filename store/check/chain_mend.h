// Plans the mending of an auxiliary file from its block table and the chain
// references of every record: each value ends up in a well-formed chain of blocks
// that no other value shares, and every other block on one free list.
//
// What happens to a value whose chain is unsound:
//   - broken (a link outside the file, a loop, a block whose used count is outside
//     1 to 500): the value keeps the bytes of the blocks before the fault, or
//     becomes empty when the first block is already unsound;
//   - sharing blocks with a value met earlier in file order: the later value gets
//     copies of the shared blocks, so each survives the other being freed;
//   - laid out against the format's rules (wrong previous links, short blocks
//     before the last, stray bytes after the data): rewritten with the same bytes.
// Blocks that no value keeps go on the free list; trailing free blocks are cut off.
// Blocks past the header's block count but inside the file that a sound chain
// uses are kept, the count raised to cover them.
//
// Nothing here touches a file: reading block contents goes through the caller's
// reader, and the result lists the blocks to write.
#pragma once

#include "store/check/chain_audit.h"
#include "store/result_code.h"

#include <array>
#include <cstdint>
#include <functional>
#include <map>
#include <string>
#include <vector>

namespace qr::store::check {

struct ChainRef {
    std::int32_t reference = 0;
    std::string owner; // "record 3 (serial 3) field 9 (照片)", for the report
};

// Reads the 512 bytes of block n; false when it cannot.
using BlockReader = std::function<bool(std::int32_t block, std::uint8_t* out)>;

struct ChainMendInput {
    std::vector<BlockInfo> blocks;     // every whole block in the file, by number
    std::int32_t headerBlockCount = 1; // the auxiliary header's count
    std::int32_t freeHead = 0;
    std::int32_t freeCount = 0;
    std::int64_t fileLength = 0;
};

using BlockBytes = std::array<std::uint8_t, 512>;

struct ChainMendPlan {
    ResultCode result = rc::kOk;          // a block could not be read: plan unusable
    std::vector<std::int32_t> references; // new reference of each ChainRef
    std::map<std::int32_t, BlockBytes> writes;
    bool headerChanged = false; // blockCount, freeCount, freeHead to write
    std::int32_t blockCount = 1;
    std::int32_t freeCount = 0;
    std::int32_t freeHead = 0;
    std::int64_t fileLength = 0;    // the file's length afterwards
    std::vector<std::string> fixes; // one line per fix, in English
};

ChainMendPlan planChainMend(const ChainMendInput& input, const std::vector<ChainRef>& refs,
                            const BlockReader& readBlock);

} // namespace qr::store::check
