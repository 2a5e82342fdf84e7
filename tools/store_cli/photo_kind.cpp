#include "tools/store_cli/photo_kind.h"

#include <algorithm>
#include <array>

namespace qr::tools {
namespace {

bool startsWith(std::span<const std::uint8_t> bytes, std::initializer_list<std::uint8_t> magic)
{
    return bytes.size() >= magic.size() && std::equal(magic.begin(), magic.end(), bytes.begin());
}

} // namespace

std::string_view pictureExtension(std::span<const std::uint8_t> bytes)
{
    if (startsWith(bytes, {0xFF, 0xD8, 0xFF}))
        return "jpg";
    if (startsWith(bytes, {0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A}))
        return "png";
    if (startsWith(bytes, {'G', 'I', 'F', '8', '7', 'a'}) || startsWith(bytes, {'G', 'I', 'F', '8', '9', 'a'}))
        return "gif";
    if (startsWith(bytes, {'B', 'M'}) && bytes.size() >= 14)
        return "bmp";
    // Icon and cursor directories: reserved 0, type 1 or 2, at least one image.
    if (bytes.size() >= 6 && bytes[0] == 0 && bytes[1] == 0 && bytes[3] == 0 && (bytes[4] | bytes[5]) != 0) {
        if (bytes[2] == 1)
            return "ico";
        if (bytes[2] == 2)
            return "cur";
    }
    return {};
}

bool isPhotoExtension(std::string_view ext)
{
    static constexpr std::array<std::string_view, 8> known = {"jpg", "jpeg", "png", "bmp", "gif", "ico", "cur", "bin"};
    return std::find(known.begin(), known.end(), ext) != known.end();
}

} // namespace qr::tools
