// Turning picture file bytes into an image for window backgrounds, window and
// tray icons. The kinds library installs its decoder (JPEG, PNG, BMP, ICO/CUR with
// the entry choice rule, GIF first frame); until then Qt's own readers are used.
#pragma once

#include <QImage>

#include <cstdint>
#include <span>

namespace qr::forms {

// Returns a null image when the bytes are not a picture or cannot be decoded.
using PictureDecoder = QImage (*)(std::span<const std::uint8_t> bytes);

void setPictureDecoder(PictureDecoder decoder);

QImage decodePicture(std::span<const std::uint8_t> bytes);

} // namespace qr::forms
