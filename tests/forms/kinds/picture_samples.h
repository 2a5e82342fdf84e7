// Picture files built in memory for the decoder tests: each writer produces the
// bytes a drawing program would save for a small image.
#pragma once

#include <QImage>

#include <cstdint>
#include <vector>

namespace qr::forms::test {

using Bytes = std::vector<std::uint8_t>;

// A small image with distinct colours in each corner, so flips and swaps show.
QImage cornerImage(int w, int h);

Bytes encodeWithQt(const QImage& image, const char* format, int quality = -1);

// A bottom-up 24-bit BMP file, or a top-down one when `topDown`.
Bytes bmp24(const QImage& image, bool topDown = false);
// An 8-bit palette BMP of the given indices (row-major, top row first).
Bytes bmp8(int w, int h, const std::vector<QRgb>& palette, const std::vector<std::uint8_t>& indices);

// One directory entry's image of an icon file.
struct IconImage {
    QImage image;                // 32-bit with alpha
    int declaredColourCount = 0; // the directory's colour count byte
    bool asPng = false;
};
Bytes iconFile(const std::vector<IconImage>& images, bool cursor = false);

// A GIF with one image of palette indices (global table), coded by a real LZW coder.
Bytes gifFile(int w, int h, const std::vector<QRgb>& palette, const std::vector<std::uint8_t>& indices,
              int transparentIndex = -1, bool interlaced = false);

} // namespace qr::forms::test
