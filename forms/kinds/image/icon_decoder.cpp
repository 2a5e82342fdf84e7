// Icon and cursor files: a directory of images, each a PNG file or a DIB with mask.
#include "forms/kinds/image/decoders.h"

#include <algorithm>

namespace qr::forms::image_detail {
namespace {

constexpr std::size_t kDirectoryHeader = 6;
constexpr std::size_t kEntrySize = 16;

struct Entry {
    int width = 0;       // 0 in the file means 256
    int colourCount = 0; // 0 in the file means 256 or more colours
    std::uint32_t bytes = 0;
    std::uint32_t offset = 0;
};

Entry readEntry(const std::uint8_t* e) { return Entry{e[0] == 0 ? 256 : e[0], e[2], getU32(e + 8), getU32(e + 12)}; }

} // namespace

QImage decodeIconFile(const std::uint8_t* data, std::size_t size)
{
    // The content dispatch only sends files of a whole header here; the decoder keeps
    // to its own bounds all the same.
    if (data == nullptr || size < kDirectoryHeader)
        return {};
    const std::size_t count = getU16(data + 4);
    if (count == 0 || size < kDirectoryHeader + count * kEntrySize)
        return {};
    // The first 32-pixel entry with more than 16 colours, else the last entry.
    std::size_t chosen = count - 1;
    for (std::size_t i = 0; i < count; ++i) {
        Entry e = readEntry(data + kDirectoryHeader + i * kEntrySize);
        if (e.width == 32 && (e.colourCount == 0 || e.colourCount > 15)) {
            chosen = i;
            break;
        }
    }
    const Entry e = readEntry(data + kDirectoryHeader + chosen * kEntrySize);
    if (e.offset >= size || e.bytes == 0)
        return {};
    // A length running past the file is taken as far as the file goes.
    const std::size_t length = std::min<std::size_t>(e.bytes, size - e.offset);
    const std::uint8_t* image = data + e.offset;
    if (length >= 8 && image[0] == 0x89 && image[1] == 'P' && image[2] == 'N' && image[3] == 'G')
        return decodePng(image, length);
    return decodeDib(image, length, true);
}

} // namespace qr::forms::image_detail
