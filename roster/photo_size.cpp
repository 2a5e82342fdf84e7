#include "roster/photo_size.h"

#include <algorithm>

namespace qr::roster {

bool photoIsLarge(std::uint64_t fileBytes) { return fileBytes > kLargePhotoBytes; }

PixelSize shrunkPhotoSize(PixelSize picture)
{
    const std::int64_t longer = std::max(picture.width, picture.height);
    if (picture.width <= 0 || picture.height <= 0 || longer <= kShrunkPhotoLongerSide)
        return picture;
    const auto scaled = [longer](std::int64_t side) {
        const std::int64_t rounded = (side * kShrunkPhotoLongerSide + longer / 2) / longer;
        return int(std::max<std::int64_t>(rounded, 1));
    };
    return {scaled(picture.width), scaled(picture.height)};
}

std::string megabytesText(std::uint64_t bytes)
{
    const std::uint64_t tenths = (bytes * 10 + kLargePhotoBytes / 2) / kLargePhotoBytes;
    return std::to_string(tenths / 10) + "." + std::to_string(tenths % 10);
}

} // namespace qr::roster
