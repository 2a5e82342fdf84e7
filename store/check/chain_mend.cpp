#include "store/check/chain_mend.h"

#include "runtime/coding.h"
#include "store/check/raw_layout.h"

#include <algorithm>
#include <cstring>
#include <set>

namespace qr::store::check {
namespace {

constexpr std::int32_t kNobody = -1;

// One value's chain as pass one found it.
struct Walk {
    std::vector<std::int32_t> blocks;  // the sound blocks in chain order
    std::vector<std::int32_t> shared;  // those of them an earlier value holds
    std::int32_t sharedWith = kNobody; // that earlier value (the first one met)
    std::string broken;                // why the chain ends early; empty: it does not
    std::string misshapen;             // the first layout fault; empty: none
    bool rewrite() const { return !broken.empty() || !shared.empty() || !misshapen.empty(); }
};

std::string num(std::int64_t n) { return std::to_string(n); }

Walk walkChain(const ChainMendInput& in, std::int32_t index, std::int32_t reference, std::vector<std::int32_t>& owner,
               std::vector<std::int32_t>& visitedBy)
{
    Walk w;
    const auto fileBlocks = static_cast<std::int32_t>(in.blocks.size());
    if (reference < 0 || reference >= fileBlocks) {
        w.broken = "its reference to block " + num(reference) + " lies outside the auxiliary file's " +
                   num(fileBlocks) + " blocks";
        return w;
    }
    std::int32_t previous = 0;
    for (std::int32_t b = reference; b != 0;) {
        if (b < 1 || b >= fileBlocks) {
            w.broken = "block " + num(previous) + " links to block " + num(b) + ", outside the file's " +
                       num(fileBlocks) + " blocks";
            break;
        }
        if (visitedBy[static_cast<std::size_t>(b)] == index) {
            w.broken = "block " + num(previous) + " links back to block " + num(b) + ", a loop";
            break;
        }
        const BlockInfo& info = in.blocks[static_cast<std::size_t>(b)];
        if (info.used < 1 || info.used > kBlockDataSize) {
            w.broken = "block " + num(b) + " has used count " + num(info.used) + ", outside 1 to 500";
            break;
        }
        visitedBy[static_cast<std::size_t>(b)] = index;
        std::int32_t& holder = owner[static_cast<std::size_t>(b)];
        if (holder == kNobody) {
            holder = index;
        } else {
            if (w.sharedWith == kNobody)
                w.sharedWith = holder;
            w.shared.push_back(b);
        }
        if (w.misshapen.empty()) {
            if (info.prev != previous)
                w.misshapen = "block " + num(b) + " names block " + num(info.prev) + " as its previous block, not " +
                              num(previous);
            else if (info.dirtyTail)
                w.misshapen = "block " + num(b) + " has stray bytes after its data";
            else if (info.used < kBlockDataSize && info.next != 0)
                w.misshapen = "block " + num(b) + " holds only " + num(info.used) + " bytes but is not the last";
        }
        w.blocks.push_back(b);
        previous = b;
        b = info.next;
    }
    return w;
}

BlockBytes blockImage(std::int32_t prev, std::int32_t next, const std::uint8_t* data, std::int32_t used)
{
    BlockBytes b{};
    runtime::putI32(b.data(), prev);
    runtime::putI32(b.data() + 4, next);
    runtime::putI32(b.data() + 8, used);
    if (used > 0)
        std::memcpy(b.data() + kBlockHeaderSize, data, static_cast<std::size_t>(used));
    return b;
}

// The old free list, walked without trusting it: the blocks it reaches and whether
// it is exactly what a sound list over the given free blocks would be.
struct OldFreeList {
    std::vector<bool> on;
    bool sound = true;
};

OldFreeList walkOldFreeList(const ChainMendInput& in, std::int32_t limit, const std::vector<std::int32_t>& owner)
{
    OldFreeList list;
    list.on.assign(in.blocks.size(), false);
    std::int32_t walked = 0;
    std::int32_t previous = 0;
    for (std::int32_t b = in.freeHead; b != 0;) {
        if (b < 1 || b >= limit || list.on[static_cast<std::size_t>(b)]) {
            list.sound = false;
            break;
        }
        list.on[static_cast<std::size_t>(b)] = true;
        ++walked;
        const BlockInfo& info = in.blocks[static_cast<std::size_t>(b)];
        if (owner[static_cast<std::size_t>(b)] != kNobody || info.used != 0 || info.dirtyTail ||
            (previous != 0 && info.prev != previous))
            list.sound = false;
        previous = b;
        b = info.next;
    }
    if (walked != in.freeCount)
        list.sound = false;
    return list;
}

} // namespace

ChainMendPlan planChainMend(const ChainMendInput& in, const std::vector<ChainRef>& refs, const BlockReader& readBlock)
{
    ChainMendPlan plan;
    const auto fileBlocks = static_cast<std::int32_t>(in.blocks.size());
    const std::int32_t counted = std::clamp(in.headerBlockCount, 1, std::max(fileBlocks, 1));
    plan.references.resize(refs.size());

    // Pass one: every chain in file order; the first value to reach a block keeps it.
    std::vector<std::int32_t> owner(in.blocks.size(), kNobody);
    std::vector<std::int32_t> visitedBy(in.blocks.size(), kNobody);
    std::vector<Walk> walks(refs.size());
    for (std::size_t i = 0; i < refs.size(); ++i) {
        plan.references[i] = refs[i].reference;
        if (refs[i].reference != 0)
            walks[i] = walkChain(in, static_cast<std::int32_t>(i), refs[i].reference, owner, visitedBy);
    }
    // Blocks inside the count that pass one left to nobody and the free list does not hold.
    const OldFreeList oldFree = walkOldFreeList(in, counted, owner);
    std::vector<std::int32_t> lost;
    for (std::int32_t b = 1; b < counted; ++b)
        if (owner[static_cast<std::size_t>(b)] == kNobody && !oldFree.on[static_cast<std::size_t>(b)])
            lost.push_back(b);

    // Pass two: values that need new blocks get them from blocks nobody keeps, then
    // from the end of the file.
    std::set<std::int32_t> spare;
    for (std::int32_t b = 1; b < fileBlocks; ++b)
        if (owner[static_cast<std::size_t>(b)] == kNobody)
            spare.insert(b);
    std::int32_t nextNew = std::max(fileBlocks, 1);
    bool rewroteAny = false;
    for (std::size_t i = 0; i < refs.size(); ++i) {
        const Walk& w = walks[i];
        if (!w.rewrite())
            continue;
        rewroteAny = true;
        std::vector<std::uint8_t> value;
        BlockBytes buffer{};
        for (std::int32_t b : w.blocks) {
            if (!readBlock(b, buffer.data())) {
                plan.result = rc::kAuxAccessFailed;
                return plan;
            }
            const std::int32_t used = in.blocks[static_cast<std::size_t>(b)].used;
            value.insert(value.end(), buffer.begin() + kBlockHeaderSize, buffer.begin() + kBlockHeaderSize + used);
        }
        std::vector<std::int32_t> mine;
        for (std::int32_t b : w.blocks)
            if (owner[static_cast<std::size_t>(b)] == static_cast<std::int32_t>(i))
                mine.push_back(b);
        const std::size_t pieces = (value.size() + kBlockDataSize - 1) / kBlockDataSize;
        std::vector<std::int32_t> target;
        std::vector<std::int32_t> copies;
        for (std::size_t k = 0; k < pieces; ++k) {
            std::int32_t b;
            if (k < mine.size()) {
                b = mine[k];
            } else {
                if (!spare.empty()) {
                    b = *spare.begin();
                    spare.erase(spare.begin());
                } else {
                    b = nextNew++;
                    owner.resize(static_cast<std::size_t>(nextNew), kNobody);
                }
                owner[static_cast<std::size_t>(b)] = static_cast<std::int32_t>(i);
                copies.push_back(b);
            }
            target.push_back(b);
        }
        for (std::size_t k = pieces; k < mine.size(); ++k) {
            owner[static_cast<std::size_t>(mine[k])] = kNobody;
            spare.insert(mine[k]);
        }
        for (std::size_t k = 0; k < target.size(); ++k) {
            const std::size_t from = k * kBlockDataSize;
            const auto used = static_cast<std::int32_t>(std::min<std::size_t>(kBlockDataSize, value.size() - from));
            plan.writes[target[k]] = blockImage(k == 0 ? 0 : target[k - 1], k + 1 < target.size() ? target[k + 1] : 0,
                                                value.data() + from, used);
        }
        plan.references[i] = target.empty() ? 0 : target[0];

        const std::string& who = refs[i].owner;
        if (!w.broken.empty()) {
            if (value.empty())
                plan.fixes.push_back(who + ": the chain is broken (" + w.broken +
                                     "); nothing of it could be kept, the value is now empty");
            else
                plan.fixes.push_back(who + ": the chain is broken (" + w.broken + "); kept the first " +
                                     num(static_cast<std::int64_t>(value.size())) + " bytes (" +
                                     num(static_cast<std::int64_t>(w.blocks.size())) +
                                     " blocks); whatever followed is lost");
        }
        if (!w.shared.empty()) {
            std::vector<std::int32_t> shared = w.shared;
            std::sort(shared.begin(), shared.end());
            std::sort(copies.begin(), copies.end());
            plan.fixes.push_back(who + " shared " + describeBlocks(shared) + " with " +
                                 refs[static_cast<std::size_t>(w.sharedWith)].owner + ": it now has its own copy" +
                                 (copies.empty() ? std::string() : " in " + describeBlocks(copies)));
        }
        if (w.broken.empty() && w.shared.empty())
            plan.fixes.push_back(who + ": the chain was not laid out as it must be (" + w.misshapen +
                                 "); rewritten with the same " + num(static_cast<std::int64_t>(value.size())) +
                                 " bytes");
    }

    std::int32_t highestKept = 0;
    for (std::int32_t b = static_cast<std::int32_t>(owner.size()) - 1; b >= 1; --b) {
        if (owner[static_cast<std::size_t>(b)] != kNobody) {
            highestKept = b;
            break;
        }
    }
    const bool beyondCount = highestKept >= counted;
    const bool countTooHigh = in.headerBlockCount > fileBlocks;
    if (!rewroteAny && lost.empty() && oldFree.sound && !beyondCount && !countTooHigh) {
        // The blocks are sound; at most the file is longer than its count says.
        plan.blockCount = in.headerBlockCount;
        plan.freeCount = in.freeCount;
        plan.freeHead = in.freeHead;
        plan.fileLength = std::int64_t(counted) * kBlockSize;
        if (in.fileLength > plan.fileLength)
            plan.fixes.push_back("the auxiliary file held " + num(in.fileLength - plan.fileLength) +
                                 " bytes after its last counted block (block count " + num(counted) +
                                 "), left by a write that did not finish: dropped");
        else
            plan.fileLength = in.fileLength;
        return plan;
    }

    // Rebuild the free list over every block nobody keeps, in ascending order, and cut
    // the trailing free blocks off the file.
    if (!lost.empty())
        plan.fixes.push_back(describeBlocks(lost, 12) +
                             (lost.size() == 1 ? " was"
                              : lost.back() - lost.front() + 1 == static_cast<std::int32_t>(lost.size())
                                  ? " were"
                                  : " (" + num(std::int64_t(lost.size())) + " blocks) were") +
                             " lost (in no chain and not on the free list): put back on the free list");
    if (!oldFree.sound)
        plan.fixes.push_back("the free list was unsound (wrong count, a bad link, or a block that is in use or "
                             "holds data): rebuilt from the blocks no value uses");
    plan.headerChanged = true;
    plan.blockCount = highestKept + 1;
    std::vector<std::int32_t> free;
    for (std::int32_t b = 1; b < plan.blockCount; ++b)
        if (owner[static_cast<std::size_t>(b)] == kNobody)
            free.push_back(b);
    for (std::size_t k = 0; k < free.size(); ++k) {
        const std::int32_t b = free[k];
        const std::int32_t prev = k == 0 ? 0 : free[k - 1];
        const std::int32_t next = k + 1 < free.size() ? free[k + 1] : 0;
        const bool inFile = b < fileBlocks;
        const BlockInfo* info = inFile ? &in.blocks[static_cast<std::size_t>(b)] : nullptr;
        if (plan.writes.count(b) || !info || info->prev != prev || info->next != next || info->used != 0 ||
            info->dirtyTail)
            plan.writes[b] = blockImage(prev, next, nullptr, 0);
    }
    // A block freed by the rewrite beyond the new end is simply cut off.
    for (auto it = plan.writes.begin(); it != plan.writes.end();)
        it = it->first >= plan.blockCount ? plan.writes.erase(it) : std::next(it);
    plan.freeCount = static_cast<std::int32_t>(free.size());
    plan.freeHead = free.empty() ? 0 : free[0];
    plan.fileLength = std::int64_t(plan.blockCount) * kBlockSize;
    if (plan.blockCount != in.headerBlockCount) {
        std::string why;
        if (plan.blockCount < counted)
            why = "its last blocks were free and are cut off";
        else if (plan.blockCount > fileBlocks)
            why = "room for the copies";
        else if (plan.blockCount > in.headerBlockCount)
            why = "blocks past the old count are in use and kept";
        else
            why = "the file holds only " + num(fileBlocks) + " whole blocks";
        plan.fixes.push_back("the auxiliary block count goes from " + num(in.headerBlockCount) + " to " +
                             num(plan.blockCount) + ": " + why);
    }
    if (in.fileLength > plan.fileLength && plan.blockCount >= counted)
        plan.fixes.push_back("the auxiliary file held " + num(in.fileLength - plan.fileLength) +
                             " bytes after its last block, left by a write that did not finish: dropped");
    return plan;
}

} // namespace qr::store::check
