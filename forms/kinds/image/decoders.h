// The per-format decoders behind decodePictureFile. Each takes the whole file and
// returns a null image on any fault; none reads outside [data, data + size).
#pragma once

#include "runtime/coding.h"

#include <QImage>

#include <cstddef>
#include <cstdint>

namespace qr::forms::image_detail {

// Largest picture we agree to decode; a damaged header must not make us allocate
// gigabytes.
inline constexpr std::int64_t kMaxSide = 16384;
inline constexpr std::int64_t kMaxPixels = 40'000'000;
inline bool sizeAcceptable(std::int64_t w, std::int64_t h)
{
    return w > 0 && h > 0 && w <= kMaxSide && h <= kMaxSide && w * h <= kMaxPixels;
}

using runtime::getI32;
using runtime::getU16;
using runtime::getU32;

QImage decodeBmpFile(const std::uint8_t* data, std::size_t size);
// A device-independent bitmap as icon files hold it: header, colour table, pixels,
// and (when `iconMask`) the height is doubled and an AND mask follows the pixels.
QImage decodeDib(const std::uint8_t* data, std::size_t size, bool iconMask, std::size_t pixelOffset = 0);
QImage decodeJpeg(const std::uint8_t* data, std::size_t size);
QImage decodePng(const std::uint8_t* data, std::size_t size);
QImage decodeIconFile(const std::uint8_t* data, std::size_t size);
QImage decodeGif(const std::uint8_t* data, std::size_t size);

} // namespace qr::forms::image_detail
