// Picture kinds by their first bytes, for naming exported photo files.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>

namespace qr::tools {

// "jpg", "png", "bmp", "gif", "ico" or "cur"; empty when the bytes are none of these.
std::string_view pictureExtension(std::span<const std::uint8_t> bytes);

// Extensions a photo file may carry on import: the picture kinds above (and "jpeg"),
// and "bin" for stored bytes that are no known picture, which export writes as such.
bool isPhotoExtension(std::string_view lowerCaseExtension);

} // namespace qr::tools
