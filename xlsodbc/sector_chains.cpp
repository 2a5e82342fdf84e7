#include "xlsodbc/sector_chains.h"

#include "runtime/coding.h"

#include <algorithm>
#include <vector>

namespace qr::xls {
namespace {

using runtime::getU16;
using runtime::getU32;

constexpr std::uint32_t kMaxRegular = 0xFFFFFFFA; // above: free, end of chain and markers
constexpr std::size_t kHeaderSize = 512;
constexpr std::size_t kDirEntrySize = 128;

struct Container {
    std::span<const std::uint8_t> file;
    std::size_t sectorSize = 512;
    std::vector<std::uint32_t> fat;

    // Byte offset of a sector, or SIZE_MAX when it lies beyond the file.
    std::size_t offsetOf(std::uint32_t sector) const
    {
        const std::uint64_t at = (std::uint64_t(sector) + 1) * sectorSize;
        return at + sectorSize <= file.size() ? static_cast<std::size_t>(at) : SIZE_MAX;
    }
};

// Walks the chains of one allocation table. Each sector is passed at most once over
// all walks: a chain that joins one already known to end ends too.
class ChainWalker {
public:
    explicit ChainWalker(const std::vector<std::uint32_t>& table)
        : table_(table)
        , mark_(table.size(), 0)
    {}

    // False when the chain from `start` reaches a link it has passed. `sectors`
    // receives the chain up to where it ends, leaves the table or joins a known one.
    bool walk(std::uint32_t start, std::vector<std::uint32_t>* sectors = nullptr)
    {
        ++walk_;
        std::vector<std::uint32_t> passed;
        std::uint32_t s = start;
        for (; s < kMaxRegular && s < table_.size() && mark_[s] != kEnds; s = table_[s]) {
            if (mark_[s] == walk_)
                return false;
            mark_[s] = walk_;
            passed.push_back(s);
        }
        for (std::uint32_t p : passed)
            mark_[p] = kEnds;
        if (sectors)
            *sectors = std::move(passed);
        return true;
    }

private:
    static constexpr std::uint32_t kEnds = 0xFFFFFFFF;
    const std::vector<std::uint32_t>& table_;
    std::vector<std::uint32_t> mark_; // kEnds, or the walk that passed the sector
    std::uint32_t walk_ = 0;
};

// The bytes of a chain's sectors that lie in the file, in chain order.
std::vector<std::uint8_t> chainBytes(const Container& c, const std::vector<std::uint32_t>& sectors)
{
    std::vector<std::uint8_t> bytes;
    for (std::uint32_t s : sectors) {
        const std::size_t at = c.offsetOf(s);
        if (at == SIZE_MAX)
            break;
        bytes.insert(bytes.end(), c.file.begin() + static_cast<std::ptrdiff_t>(at),
                     c.file.begin() + static_cast<std::ptrdiff_t>(at + c.sectorSize));
    }
    return bytes;
}

// The allocation table from the sectors the header and the DIFAT chain name.
bool readFat(Container& c)
{
    const std::uint8_t* h = c.file.data();
    const std::uint32_t fatSectors = getU32(h + 0x2C);
    // A table of more sectors than the file holds is no table to walk.
    if (fatSectors > c.file.size() / c.sectorSize)
        return false;
    std::uint32_t difat = getU32(h + 0x44);
    const std::size_t perSector = c.sectorSize / 4;
    std::vector<std::uint32_t> fatSectorList;
    for (std::size_t i = 0; i < 109 && fatSectorList.size() < fatSectors; ++i)
        fatSectorList.push_back(getU32(h + 0x4C + 4 * i));
    // The DIFAT chain: the last entry of each of its sectors names the next one.
    std::vector<bool> seen(c.file.size() / c.sectorSize + 1, false);
    while (difat < kMaxRegular && fatSectorList.size() < fatSectors) {
        const std::size_t at = c.offsetOf(difat);
        if (at == SIZE_MAX || seen[difat])
            return false;
        seen[difat] = true;
        for (std::size_t i = 0; i + 1 < perSector && fatSectorList.size() < fatSectors; ++i)
            fatSectorList.push_back(getU32(c.file.data() + at + 4 * i));
        difat = getU32(c.file.data() + at + 4 * (perSector - 1));
    }
    for (std::uint32_t s : fatSectorList) {
        const std::size_t at = c.offsetOf(s);
        if (at == SIZE_MAX)
            return false;
        for (std::size_t i = 0; i < perSector; ++i)
            c.fat.push_back(getU32(c.file.data() + at + 4 * i));
    }
    return true;
}

} // namespace

bool sectorChainsEnd(std::span<const std::uint8_t> file, std::string& error)
{
    static constexpr std::uint8_t kSignature[8] = {0xD0, 0xCF, 0x11, 0xE0, 0xA1, 0xB1, 0x1A, 0xE1};
    if (file.size() < kHeaderSize || !std::equal(kSignature, kSignature + 8, file.data()))
        return true;
    Container c;
    c.file = file;
    const std::uint16_t shift = getU16(file.data() + 0x1E);
    if (shift != 9 && shift != 12)
        return true;
    c.sectorSize = std::size_t(1) << shift;
    if (file.size() < c.sectorSize || !readFat(c))
        return true;
    const auto loops = [&](const char* what) {
        error = std::string("the sector chain of ") + what + " runs in a loop";
        return false;
    };

    ChainWalker sectors(c.fat);
    std::vector<std::uint32_t> directorySectors;
    if (!sectors.walk(getU32(file.data() + 0x30), &directorySectors))
        return loops("the directory");
    std::vector<std::uint32_t> miniFatSectors;
    if (!sectors.walk(getU32(file.data() + 0x3C), &miniFatSectors))
        return loops("the mini allocation table");
    const std::vector<std::uint8_t> miniFatBytes = chainBytes(c, miniFatSectors);
    std::vector<std::uint32_t> miniFat(miniFatBytes.size() / 4);
    for (std::size_t i = 0; i < miniFat.size(); ++i)
        miniFat[i] = getU32(miniFatBytes.data() + 4 * i);

    ChainWalker miniSectors(miniFat);
    const std::uint32_t cutoff = getU32(file.data() + 0x38);
    const std::vector<std::uint8_t> directory = chainBytes(c, directorySectors);
    for (std::size_t at = 0; at + kDirEntrySize <= directory.size(); at += kDirEntrySize) {
        const std::uint8_t* entry = directory.data() + at;
        const std::uint8_t type = entry[0x42];
        const std::uint32_t start = getU32(entry + 0x74);
        const std::uint32_t size = getU32(entry + 0x78);
        if (type == 5) { // the root: its stream holds the mini sectors
            if (!sectors.walk(start))
                return loops("the mini stream");
        } else if (type == 2) {
            const bool mini = size < cutoff;
            if (!(mini ? miniSectors : sectors).walk(start))
                return loops(mini ? "a small stream" : "a stream");
        }
    }
    return true;
}

} // namespace qr::xls
