#include "store/check/chain_audit.h"

#include "store/check/raw_layout.h"

namespace qr::store::check {

void ProblemList::add(std::string line)
{
    if (lines_.size() < limit_)
        lines_.push_back(std::move(line));
    else
        ++dropped_;
}

std::vector<std::string> ProblemList::finish()
{
    if (dropped_ > 0)
        lines_.push_back(std::to_string(dropped_) + " further problems not listed");
    dropped_ = 0;
    return std::move(lines_);
}

std::string describeBlocks(const std::vector<std::int32_t>& blocks, std::size_t maxRuns)
{
    std::vector<std::string> runs;
    std::size_t more = 0;
    for (std::size_t i = 0; i < blocks.size();) {
        std::size_t j = i;
        while (j + 1 < blocks.size() && blocks[j + 1] == blocks[j] + 1)
            ++j;
        if (runs.size() < maxRuns)
            runs.push_back(j == i ? std::to_string(blocks[i])
                                  : std::to_string(blocks[i]) + " to " + std::to_string(blocks[j]));
        else
            ++more;
        i = j + 1;
    }
    if (more > 0)
        runs.push_back(std::to_string(more) + " more runs");
    std::string out = blocks.size() == 1 ? "block " : "blocks ";
    for (std::size_t k = 0; k < runs.size(); ++k) {
        if (k > 0)
            out += k + 1 == runs.size() ? " and " : ", ";
        out += runs[k];
    }
    return out;
}

ChainAudit::ChainAudit(std::vector<BlockInfo> blocks, ProblemList& problems)
    : blocks_(std::move(blocks))
    , owner_(blocks_.size(), kNoOwner)
    , problems_(problems)
{}

std::string ChainAudit::ownerName(std::int32_t owner) const
{
    if (owner == kFreeList)
        return "the free list";
    return "the chain of " + owners_[static_cast<std::size_t>(owner)];
}

void ChainAudit::walkChain(std::int32_t reference, const std::string& owner)
{
    if (reference == 0)
        return;
    const std::string where = owner + " (first block " + std::to_string(reference) + ")";
    if (reference < 0) {
        problems_.add(owner + " holds the negative block reference " + std::to_string(reference));
        return;
    }
    if (reference >= blockCount()) {
        problems_.add(owner + " refers to block " + std::to_string(reference) + ", beyond the auxiliary file's " +
                      std::to_string(blockCount()) + " blocks");
        return;
    }
    const auto id = static_cast<std::int32_t>(owners_.size());
    owners_.push_back(owner);
    std::int32_t previous = 0;
    std::int32_t block = reference;
    while (true) {
        const std::int32_t holder = owner_[static_cast<std::size_t>(block)];
        if (holder == id) {
            problems_.add("the chain of " + where + " loops back to block " + std::to_string(block));
            return;
        }
        if (holder != kNoOwner) {
            problems_.add("block " + std::to_string(block) + " is in the chain of " + where + " and in " +
                          ownerName(holder) +
                          ": two values share it, so deleting and packing one frees bytes the other still reads");
            return;
        }
        owner_[static_cast<std::size_t>(block)] = id;
        const BlockInfo& info = blocks_[static_cast<std::size_t>(block)];
        const std::string at = "block " + std::to_string(block) + " of the chain of " + where;
        if (info.prev != previous)
            problems_.add(at + " names block " + std::to_string(info.prev) + " as its previous block, not " +
                          std::to_string(previous));
        if (info.used < 1 || info.used > kBlockDataSize)
            problems_.add(at + " has used count " + std::to_string(info.used) + ", outside 1 to 500");
        else if (info.used < kBlockDataSize && info.next != 0)
            problems_.add(at + " holds only " + std::to_string(info.used) + " bytes but is not the last block");
        if (info.dirtyTail)
            problems_.add(at + " has non-zero bytes after its used data");
        if (info.next == 0)
            return;
        if (info.next < 0 || info.next >= blockCount()) {
            problems_.add(at + " links to block " + std::to_string(info.next) + ", outside the file's " +
                          std::to_string(blockCount()) + " blocks");
            return;
        }
        previous = block;
        block = info.next;
    }
}

void ChainAudit::walkFreeList(std::int32_t freeHead, std::int32_t freeCount)
{
    std::int32_t walked = 0;
    std::int32_t previous = 0;
    std::int32_t block = freeHead;
    while (block != 0) {
        if (block < 0 || block >= blockCount()) {
            problems_.add("the free list links to block " + std::to_string(block) + ", outside the file's " +
                          std::to_string(blockCount()) + " blocks");
            break;
        }
        const std::int32_t holder = owner_[static_cast<std::size_t>(block)];
        if (holder == kFreeList) {
            problems_.add("the free list loops back to block " + std::to_string(block));
            break;
        }
        if (holder != kNoOwner) {
            problems_.add("block " + std::to_string(block) + " is on the free list and in " + ownerName(holder) +
                          ": the next value written would overwrite it");
            break;
        }
        owner_[static_cast<std::size_t>(block)] = kFreeList;
        ++walked;
        const BlockInfo& info = blocks_[static_cast<std::size_t>(block)];
        const std::string at = "free block " + std::to_string(block);
        // The head's previous link may still name the block it was last taken after.
        if (previous != 0 && info.prev != previous)
            problems_.add(at + " names block " + std::to_string(info.prev) + " as its previous block, not " +
                          std::to_string(previous));
        if (info.used != 0)
            problems_.add(at + " has used count " + std::to_string(info.used) + ", not 0");
        if (info.dirtyTail)
            problems_.add(at + " holds non-zero data");
        previous = block;
        block = info.next;
    }
    if (walked != freeCount)
        problems_.add("the free list holds " + std::to_string(walked) + " blocks, the auxiliary header counts " +
                      std::to_string(freeCount));
}

void ChainAudit::reportLostBlocks()
{
    std::vector<std::int32_t> lost;
    for (std::int32_t b = 1; b < blockCount(); ++b)
        if (owner_[static_cast<std::size_t>(b)] == kNoOwner)
            lost.push_back(b);
    if (lost.empty())
        return;
    const bool one = lost.size() == 1;
    // The total is worth saying only when the runs do not show it at a glance.
    const bool oneRun = lost.back() - lost.front() + 1 == static_cast<std::int32_t>(lost.size());
    const std::string count = oneRun ? "" : " (" + std::to_string(lost.size()) + " blocks)";
    problems_.add(describeBlocks(lost, 12) + count + (one ? " is" : " are") +
                  " lost: in no chain and not on the free list, so the space is never used again");
}

} // namespace qr::store::check
