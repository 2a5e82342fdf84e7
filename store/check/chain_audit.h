// Walks the block chains and the free list of an auxiliary file over a table of its
// block headers, and records every block's owner, so that a block in two chains, a
// loop, a broken link or a lost block is found without ever following a link twice.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace qr::store::check {

struct BlockInfo {
    std::int32_t prev = 0;
    std::int32_t next = 0;
    std::int32_t used = 0;
    bool dirtyTail = false; // a non-zero byte after the used data
};

// Collects problem lines; past the limit it only counts them.
class ProblemList {
public:
    explicit ProblemList(std::size_t limit = 1000)
        : limit_(limit)
    {}
    void add(std::string line);
    std::vector<std::string> finish();

private:
    std::size_t limit_;
    std::size_t dropped_ = 0;
    std::vector<std::string> lines_;
};

// "block 4", "blocks 4 to 6", "blocks 2, 4 to 6 and 9"; past maxRuns runs the rest
// is counted ("and 12 more runs").
std::string describeBlocks(const std::vector<std::int32_t>& sortedBlocks, std::size_t maxRuns = SIZE_MAX);

class ChainAudit {
public:
    // blocks[n] describes block n; blocks[0] (the header block) is never used.
    ChainAudit(std::vector<BlockInfo> blocks, ProblemList& problems);

    // One value's chain from its reference; owner names it in problem lines
    // ("record 3 (serial 3) field 照片").
    void walkChain(std::int32_t reference, const std::string& owner);
    void walkFreeList(std::int32_t freeHead, std::int32_t freeCount);
    // Every block 1 .. count-1 must have been reached by exactly one walk.
    void reportLostBlocks();

private:
    static constexpr std::int32_t kNoOwner = -1;
    static constexpr std::int32_t kFreeList = -2;
    std::string ownerName(std::int32_t owner) const;
    std::int32_t blockCount() const { return static_cast<std::int32_t>(blocks_.size()); }

    std::vector<BlockInfo> blocks_;
    std::vector<std::int32_t> owner_;
    std::vector<std::string> owners_;
    ProblemList& problems_;
};

} // namespace qr::store::check
