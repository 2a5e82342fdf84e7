#include "store/aux_file.h"

#include "store/formats.h"
#include "store/lock_retry.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <unordered_set>

namespace qr::store {

using namespace format;

namespace {

std::int64_t blockPosition(std::int32_t block) { return std::int64_t(block) * kBlockSize; }

} // namespace

ResultCode AuxFile::lockByte(std::int64_t position)
{
    const LockMode mode = lockModeFor(*file_);
    return retryRefused([&] { return file_->lock(position, 1, mode); });
}

ResultCode AuxFile::checkAtOpen(std::uint32_t dataVersion)
{
    const LockMode mode = lockModeFor(*file_);
    if (ResultCode code = retryRefused([&] { return file_->lock(0, kWholeFileLength, mode); }); code != rc::kOk)
        return code;
    auto check = [&]() -> ResultCode {
        std::array<std::uint8_t, kAuxHeaderSize> raw{};
        std::size_t got = 0;
        if (file_->readAt(0, raw.data(), raw.size(), got) != rc::kOk || got < raw.size())
            return rc::kAuxReadFailed;
        const std::int32_t blockCount = getI32(raw.data() + 16);
        const std::int32_t freeCount = getI32(raw.data() + 20);
        const std::int32_t freeHead = getI32(raw.data() + 24);
        if (getU32(raw.data()) != kAuxMagic || blockCount < 1 || freeCount < 0 || freeCount >= blockCount ||
            freeHead < 0 || freeHead >= blockCount)
            return rc::kAuxReadFailed;
        if (getU32(raw.data() + 4) != dataVersion)
            return rc::kAuxVersionMismatch;
        std::int64_t length = 0;
        if (ResultCode code = file_->length(length); code != rc::kOk)
            return code;
        const auto blocks = static_cast<std::uint32_t>(static_cast<std::uint64_t>(length) / kBlockSize);
        if (std::int64_t(blocks) < blockCount) {
            // A file shorter than one block cannot be corrected into a sound header.
            if (!file_->writable() || blocks < 1)
                return rc::kAuxDamaged;
            std::uint8_t bytes[4];
            putI32(bytes, static_cast<std::int32_t>(blocks));
            return file_->writeAt(kAuxBlockCountOffset, bytes, 4);
        }
        return rc::kOk;
    };
    const ResultCode result = check();
    // The check's result is the open's; a range the file keeps locked is released
    // when the store closes (at once when the open fails).
    (void)file_->unlock(0, kWholeFileLength);
    return result;
}

ResultCode AuxFile::readHeader(AuxHeader& header)
{
    if (ResultCode code = lockByte(0); code != rc::kOk)
        return code;
    const ResultCode code = loadHeader(header);
    unlockByte(0);
    return code;
}

ResultCode AuxFile::loadHeader(AuxHeader& header)
{
    std::array<std::uint8_t, kAuxHeaderSize> raw{};
    std::size_t got = 0;
    if (ResultCode code = file_->readAt(0, raw.data(), raw.size(), got); code != rc::kOk)
        return code;
    if (got < raw.size())
        return rc::kAuxAccessFailed;
    header.magic = getU32(raw.data());
    header.version = getU32(raw.data() + 4);
    header.blockCount = getI32(raw.data() + 16);
    header.freeCount = getI32(raw.data() + 20);
    header.freeHead = getI32(raw.data() + 24);
    // Allocation and freeing trust these values; a header damaged since open must
    // not lead them to block 0 or beyond the blocks it counts.
    if (header.blockCount < 1 || header.freeCount < 0 || header.freeCount >= header.blockCount || header.freeHead < 0 ||
        header.freeHead >= header.blockCount)
        return rc::kAuxAccessFailed;
    return rc::kOk;
}

ResultCode AuxFile::storeHeader(const AuxHeader& header)
{
    // Magic, version and the reserved words are kept as they are: only the three
    // counters change after the file exists.
    std::uint8_t bytes[12];
    putI32(bytes, header.blockCount);
    putI32(bytes + 4, header.freeCount);
    putI32(bytes + 8, header.freeHead);
    return file_->writeAt(kAuxBlockCountOffset, bytes, sizeof bytes);
}

ResultCode AuxFile::readBlockHeader(std::int32_t block, BlockHeader& header)
{
    std::uint8_t bytes[kBlockHeaderSize];
    std::size_t got = 0;
    if (ResultCode code = file_->readAt(blockPosition(block), bytes, sizeof bytes, got); code != rc::kOk)
        return code;
    if (got < sizeof bytes)
        return rc::kAuxAccessFailed;
    header = {getI32(bytes), getI32(bytes + 4), getI32(bytes + 8)};
    return rc::kOk;
}

ResultCode AuxFile::writeBlockHeader(std::int32_t block, const BlockHeader& header)
{
    std::uint8_t bytes[kBlockHeaderSize];
    putI32(bytes, header.previous);
    putI32(bytes + 4, header.next);
    putI32(bytes + 8, header.used);
    return file_->writeAt(blockPosition(block), bytes, sizeof bytes);
}

ResultCode AuxFile::writeBlock(std::int32_t block, const BlockHeader& header, std::span<const std::uint8_t> data)
{
    std::array<std::uint8_t, kBlockSize> image{};
    putI32(image.data(), header.previous);
    putI32(image.data() + 4, header.next);
    putI32(image.data() + 8, header.used);
    std::memcpy(image.data() + kBlockHeaderSize, data.data(), data.size());
    if (ResultCode code = lockByte(blockPosition(block)); code != rc::kOk)
        return code;
    const ResultCode code = file_->writeAt(blockPosition(block), image.data(), image.size());
    unlockByte(blockPosition(block));
    return code;
}

ResultCode AuxFile::readValue(std::int32_t reference, std::vector<std::uint8_t>& value)
{
    value.clear();
    if (reference <= 0)
        return rc::kOk;
    // No chain has more blocks than the file: a longer walk is a loop, and stopping
    // there keeps a damaged file from hanging us or filling memory.
    std::int64_t length = 0;
    if (ResultCode code = file_->length(length); code != rc::kOk)
        return code;
    const std::int64_t fileBlocks = length / kBlockSize;

    // Every caller holds the lock of the record that refers to this chain (or the
    // data file exclusively), and every writer of a chain holds that record's lock
    // too, so the chain cannot change under us and its blocks need no locks of
    // their own here. Writers still lock the blocks they rewrite, for readers that
    // take block locks only.
    //
    // Chains written in one go lie in consecutive blocks; once the walk is seen to
    // go forward block by block, several blocks are read with one call.
    constexpr std::int64_t kReadAhead = 64;
    std::vector<std::uint8_t> window;
    std::int64_t windowFirst = 0;
    std::int64_t windowBlocks = 0;
    std::int32_t previous = 0;
    std::int32_t current = reference;
    for (std::int64_t steps = 0; current > 0; ++steps) {
        if (steps >= fileBlocks || current >= fileBlocks) {
            value.clear();
            return rc::kAuxAccessFailed;
        }
        if (current < windowFirst || current >= windowFirst + windowBlocks) {
            const std::int64_t want = current == previous + 1 ? std::min(kReadAhead, fileBlocks - current) : 1;
            window.resize(static_cast<std::size_t>(want * kBlockSize));
            std::size_t got = 0;
            if (ResultCode code = file_->readAt(blockPosition(current), window.data(), window.size(), got);
                code != rc::kOk) {
                value.clear();
                return code;
            }
            windowFirst = current;
            windowBlocks = static_cast<std::int64_t>(got) / kBlockSize;
            if (windowBlocks < 1) {
                value.clear();
                return rc::kAuxAccessFailed;
            }
        }
        const std::uint8_t* block = window.data() + (current - windowFirst) * kBlockSize;
        const std::int32_t used = getI32(block + 8);
        if (used < 0 || used > kBlockDataSize) {
            value.clear();
            return rc::kAuxAccessFailed;
        }
        value.insert(value.end(), block + kBlockHeaderSize, block + kBlockHeaderSize + used);
        previous = current;
        current = getI32(block + 4);
    }
    return rc::kOk;
}

ResultCode AuxFile::collectChain(const AuxHeader& header, std::int32_t first, std::vector<std::int32_t>& blocks)
{
    // Called with byte 0 locked and the record that owns the chain locked (or the
    // data file held exclusively), so no one else changes these blocks meanwhile.
    // A chain about to be reused or freed must be sound: reusing a block that is
    // free, or belongs to another chain, would put it in two chains.
    blocks.clear();
    std::int32_t current = first;
    while (current > 0) {
        if (current >= header.blockCount || std::int64_t(blocks.size()) >= header.blockCount - 1)
            return rc::kAuxAccessFailed;
        BlockHeader bh;
        if (ResultCode code = readBlockHeader(current, bh); code != rc::kOk)
            return code;
        // A block that does not name its predecessor belongs to another chain (a
        // reference into the middle of one) or to the free list.
        const std::int32_t predecessor = blocks.empty() ? 0 : blocks.back();
        if (bh.used < 1 || bh.used > kBlockDataSize || bh.previous != predecessor)
            return rc::kAuxAccessFailed;
        blocks.push_back(current);
        current = bh.next;
    }
    std::unordered_set<std::int32_t> seen(blocks.begin(), blocks.end());
    return seen.size() == blocks.size() ? rc::kOk : rc::kAuxAccessFailed;
}

ResultCode AuxFile::writeValue(std::int32_t oldReference, std::span<const std::uint8_t> value,
                               std::int32_t& newReference, std::vector<std::int32_t>& toFree)
{
    newReference = oldReference > 0 ? oldReference : 0;
    if (oldReference <= 0 && value.empty())
        return rc::kOk;
    if (ResultCode code = lockByte(0); code != rc::kOk)
        return code;
    auto finish = [&](ResultCode code) {
        unlockByte(0);
        return code;
    };
    AuxHeader header;
    if (ResultCode code = loadHeader(header); code != rc::kOk)
        return finish(code);
    std::vector<std::int32_t> old;
    if (oldReference > 0)
        if (ResultCode code = collectChain(header, oldReference, old); code != rc::kOk)
            return finish(code);

    // Choose every block before writing any: the old chain's blocks in order, then
    // blocks from the free list, then new blocks at the end of the file.
    const std::size_t pieces = (value.size() + kBlockDataSize - 1) / kBlockDataSize;
    std::vector<std::int32_t> plan(old.begin(), old.begin() + std::min(old.size(), pieces));
    std::vector<std::int32_t> taken;
    std::unordered_set<std::int32_t> inUse(old.begin(), old.end());
    AuxHeader updated = header;
    while (plan.size() < pieces) {
        std::int32_t block;
        if (updated.freeCount >= 1 && updated.freeHead <= 0)
            updated.freeCount = 0; // a count without a list: block 0 is never handed out
        if (updated.freeCount >= 1) {
            block = updated.freeHead;
            BlockHeader bh;
            if (block < 1 || block >= updated.blockCount || inUse.count(block))
                return finish(rc::kAuxAccessFailed);
            if (ResultCode code = readBlockHeader(block, bh); code != rc::kOk)
                return finish(code);
            if (bh.used != 0 || bh.next < 0 || bh.next >= updated.blockCount)
                return finish(rc::kAuxAccessFailed); // the free list is damaged
            updated.freeHead = bh.next;
            --updated.freeCount;
        } else {
            if (updated.blockCount == INT32_MAX)
                return finish(rc::kAuxAccessFailed);
            block = updated.blockCount++;
        }
        inUse.insert(block);
        taken.push_back(block);
        plan.push_back(block);
    }

    // New blocks exist in the file before the header counts them, so the header
    // never claims more blocks than the file holds. The header then goes out before
    // the blocks are filled: should we stop half-way, a block taken from the free
    // list is lost at worst, never listed as free while a chain uses it.
    if (updated.blockCount > header.blockCount) {
        std::int64_t length = 0;
        if (ResultCode code = file_->length(length); code != rc::kOk)
            return finish(code);
        if (length < blockPosition(updated.blockCount))
            if (ResultCode code = file_->truncate(blockPosition(updated.blockCount)); code != rc::kOk)
                return finish(code);
    }
    if (!taken.empty())
        if (ResultCode code = storeHeader(updated); code != rc::kOk)
            return finish(code);

    // Blocks of the old chain are reachable from the record, so each is locked while
    // it is rewritten. Blocks just taken are reachable from nowhere until the
    // record refers to them: they are written unlocked, consecutive ones with one
    // call.
    constexpr std::size_t kMaxRun = 64;
    std::vector<std::uint8_t> run;
    for (std::size_t i = 0; i < pieces;) {
        std::size_t runLength = 1;
        if (i >= old.size())
            while (i + runLength < pieces && runLength < kMaxRun &&
                   plan[i + runLength] == plan[i] + std::int32_t(runLength))
                ++runLength;
        run.assign(runLength * kBlockSize, 0);
        for (std::size_t k = 0; k < runLength; ++k) {
            const std::size_t piece = i + k;
            const std::size_t begin = piece * kBlockDataSize;
            const std::size_t size = std::min<std::size_t>(kBlockDataSize, value.size() - begin);
            std::uint8_t* image = run.data() + k * kBlockSize;
            putI32(image, piece == 0 ? 0 : plan[piece - 1]);
            putI32(image + 4, piece + 1 < pieces ? plan[piece + 1] : 0);
            putI32(image + 8, static_cast<std::int32_t>(size));
            std::memcpy(image + kBlockHeaderSize, value.data() + begin, size);
        }
        ResultCode code;
        if (i < old.size()) {
            code = lockByte(blockPosition(plan[i]));
            if (code == rc::kOk) {
                code = file_->writeAt(blockPosition(plan[i]), run.data(), run.size());
                unlockByte(blockPosition(plan[i]));
            }
        } else {
            code = file_->writeAt(blockPosition(plan[i]), run.data(), run.size());
        }
        if (code != rc::kOk) {
            // Blocks taken for this value belong to no chain now. The old chain is
            // whole only if none of its blocks was rewritten yet.
            toFree.insert(toFree.end(), taken.begin(), taken.end());
            if (i > 0 && !old.empty()) {
                toFree.insert(toFree.end(), old.begin(), old.end());
                newReference = 0;
            }
            return finish(code);
        }
        i += runLength;
    }
    // Blocks of the old chain beyond the new value's end; the new last block no
    // longer leads to them.
    if (old.size() > pieces)
        toFree.insert(toFree.end(), old.begin() + static_cast<std::ptrdiff_t>(pieces), old.end());
    newReference = pieces > 0 ? plan[0] : 0;
    return finish(rc::kOk);
}

ResultCode AuxFile::freeBlocks(std::span<const std::int32_t> blocks)
{
    if (blocks.empty())
        return rc::kOk;
    if (ResultCode code = lockByte(0); code != rc::kOk)
        return code;
    AuxHeader header;
    ResultCode code = loadHeader(header);
    if (code == rc::kOk)
        code = freeLocked(header, blocks);
    unlockByte(0);
    return code;
}

ResultCode AuxFile::freeChain(std::int32_t first)
{
    if (first <= 0)
        return rc::kOk;
    if (ResultCode code = lockByte(0); code != rc::kOk)
        return code;
    AuxHeader header;
    std::vector<std::int32_t> blocks;
    ResultCode code = loadHeader(header);
    if (code == rc::kOk)
        code = collectChain(header, first, blocks);
    if (code == rc::kOk)
        code = freeLocked(header, blocks);
    unlockByte(0);
    return code;
}

ResultCode AuxFile::chainBlocks(std::int32_t first, std::vector<std::int32_t>& blocks)
{
    blocks.clear();
    if (first <= 0)
        return rc::kOk;
    if (ResultCode code = lockByte(0); code != rc::kOk)
        return code;
    AuxHeader header;
    ResultCode code = loadHeader(header);
    if (code == rc::kOk)
        code = collectChain(header, first, blocks);
    unlockByte(0);
    return code;
}

ResultCode AuxFile::freeLocked(AuxHeader& header, std::span<const std::int32_t> blocks)
{
    std::vector<std::int32_t> list;
    std::unordered_set<std::int32_t> seen;
    for (const std::int32_t b : blocks)
        if (b >= 1 && b < header.blockCount && seen.insert(b).second)
            list.push_back(b);
    if (list.empty())
        return rc::kOk;

    // The freed blocks form one run linked in list order, ahead of the old free list.
    static const std::array<std::uint8_t, kBlockDataSize> zeros{};
    bool lastBlockFreed = false;
    for (std::size_t k = 0; k < list.size(); ++k) {
        const BlockHeader bh{k == 0 ? 0 : list[k - 1], k + 1 < list.size() ? list[k + 1] : header.freeHead, 0};
        if (ResultCode code = writeBlock(list[k], bh, zeros); code != rc::kOk)
            return code; // header unchanged: these blocks are lost, not doubly used
        lastBlockFreed = lastBlockFreed || list[k] == header.blockCount - 1;
    }
    if (header.freeHead != 0) {
        BlockHeader head;
        if (ResultCode code = readBlockHeader(header.freeHead, head); code != rc::kOk)
            return code;
        head.previous = list.back();
        if (ResultCode code = writeBlockHeader(header.freeHead, head); code != rc::kOk)
            return code;
    }
    header.freeHead = list.front();
    header.freeCount += static_cast<std::int32_t>(list.size());
    const ResultCode trimmed = lastBlockFreed ? trimTail(header) : rc::kOk;
    const ResultCode stored = storeHeader(header);
    return trimmed != rc::kOk ? trimmed : stored;
}

ResultCode AuxFile::trimTail(AuxHeader& header)
{
    // Each step first points the following free block back past j, then unlinks j
    // from its predecessor (or the head); a step cut short by a failed write leaves
    // j still on the list, and the steps done so far are kept in the header.
    ResultCode result = rc::kOk;
    std::int32_t newCount = header.blockCount;
    for (std::int32_t j = header.blockCount - 1; j >= 1; --j) {
        BlockHeader bj;
        if (result = readBlockHeader(j, bj); result != rc::kOk)
            break;
        if (bj.used > 0)
            break;
        const bool isHead = j == header.freeHead;
        BlockHeader bp;
        if (!isHead) {
            // Unlink only a block that its predecessor really links to: a zeroed
            // block that is not on the list (lost after a failed write) would
            // otherwise cut the list.
            if (bj.previous < 1 || bj.previous >= header.blockCount)
                break;
            if (result = readBlockHeader(bj.previous, bp); result != rc::kOk)
                break;
            if (bp.next != j || bp.used != 0)
                break;
        }
        if (bj.next > 0 && bj.next < header.blockCount) {
            BlockHeader bn;
            if (result = readBlockHeader(bj.next, bn); result != rc::kOk)
                break;
            bn.previous = isHead ? 0 : bj.previous;
            if (result = writeBlockHeader(bj.next, bn); result != rc::kOk)
                break;
        }
        if (isHead) {
            header.freeHead = bj.next;
        } else {
            bp.next = bj.next;
            if (result = writeBlockHeader(bj.previous, bp); result != rc::kOk)
                break;
        }
        header.freeCount = std::max(header.freeCount - 1, 0);
        newCount = j;
    }
    if (newCount < header.blockCount) {
        header.blockCount = newCount;
        if (header.freeCount == 0)
            header.freeHead = 0;
        // A file longer than its block count is sound, so a failed cut is harmless.
        (void)file_->truncate(blockPosition(newCount));
    }
    return result;
}

ResultCode AuxFile::clear()
{
    if (ResultCode code = lockByte(0); code != rc::kOk)
        return code;
    ResultCode code = storeHeader(AuxHeader{0, 0, 1, 0, 0});
    if (code == rc::kOk)
        code = file_->truncate(kBlockSize);
    unlockByte(0);
    return code;
}

} // namespace qr::store
