// The per-format decoders behind decodePictureFile. Each takes the whole file and
// returns a null image on any fault; none reads outside [data, data + size).
#pragma once

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

inline std::uint16_t readU16(const std::uint8_t* p) { return std::uint16_t(p[0] | (p[1] << 8)); }
inline std::uint32_t readU32(const std::uint8_t* p)
{
    return std::uint32_t(p[0]) | (std::uint32_t(p[1]) << 8) | (std::uint32_t(p[2]) << 16) |
           (std::uint32_t(p[3]) << 24);
}
inline std::int32_t readI32(const std::uint8_t* p) { return std::int32_t(readU32(p)); }

QImage decodeBmpFile(const std::uint8_t* data, std::size_t size);
// A device-independent bitmap as icon files hold it: header, colour table, pixels,
// and (when `iconMask`) the height is doubled and an AND mask follows the pixels.
QImage decodeDib(const std::uint8_t* data, std::size_t size, bool iconMask,
                 std::size_t pixelOffset = 0);
QImage decodeJpeg(const std::uint8_t* data, std::size_t size);
QImage decodePng(const std::uint8_t* data, std::size_t size);
QImage decodeIconFile(const std::uint8_t* data, std::size_t size);
QImage decodeGif(const std::uint8_t* data, std::size_t size);

} // namespace qr::forms::image_detail
