// Encoders for the picture files the program carries: baseline JPEG (libjpeg) and a
// single-image 32-bit icon file.
#pragma once

#include "tools/formgen/canvas.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace qr::formgen {

// Empty on failure, with `error` filled.
std::vector<std::uint8_t> encodeJpeg(const Canvas& canvas, int quality, std::string& error);

// Brings a JPEG file to exactly `size` bytes with a comment segment (COM) after its
// JFIF header; the picture stays as it was. False, with `error` filled, when the
// file is not a JPEG, is already larger, or the gap is too small or too large for
// one segment (4 to 65,537 bytes).
bool padJpegWithComment(std::vector<std::uint8_t>& jpeg, std::size_t size, std::string_view comment,
                        std::string& error);

// An icon file with one image of canvas size (at most 256 x 256), 32 bits per pixel
// with alpha, plus the 1-bit mask that older readers expect.
std::vector<std::uint8_t> encodeIcon(const Canvas& canvas);

} // namespace qr::formgen
