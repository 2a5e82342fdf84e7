#include "store/check/block_table.h"

#include "runtime/coding.h"
#include "store/check/raw_layout.h"

#include <algorithm>
#include <cerrno>

namespace qr::store::check {

ResultCode readBlockTable(const RawFile& aux, std::int32_t blockCount, std::vector<BlockInfo>& blocks)
{
    blocks.assign(static_cast<std::size_t>(std::max(blockCount, 0)), BlockInfo{});
    constexpr std::int32_t kBlocksPerRead = 128;
    std::vector<unsigned char> buffer(static_cast<std::size_t>(kBlocksPerRead * kBlockSize));
    for (std::int32_t first = 1; first < blockCount; first += kBlocksPerRead) {
        const std::int32_t n = std::min(kBlocksPerRead, blockCount - first);
        const std::int64_t want = n * kBlockSize;
        const std::int64_t got = aux.readAt(first * kBlockSize, buffer.data(), static_cast<std::size_t>(want));
        if (got < 0)
            return codeOfErrno(errno);
        if (got != want)
            return rc::kAuxAccessFailed;
        for (std::int32_t k = 0; k < n; ++k) {
            const unsigned char* b = buffer.data() + k * kBlockSize;
            BlockInfo& info = blocks[static_cast<std::size_t>(first + k)];
            info.prev = runtime::getI32(b);
            info.next = runtime::getI32(b + 4);
            info.used = runtime::getI32(b + 8);
            const std::int32_t from = std::clamp(info.used, 0, kBlockDataSize);
            const unsigned char* data = b + kBlockHeaderSize;
            info.dirtyTail = std::any_of(data + from, data + kBlockDataSize, [](unsigned char c) { return c != 0; });
        }
    }
    return rc::kOk;
}

} // namespace qr::store::check
