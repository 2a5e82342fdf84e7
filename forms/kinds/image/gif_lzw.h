// The variable-length LZW coding of GIF image data.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace qr::forms::image_detail {

enum class LzwResult {
    Complete,  // the end code, or `wanted` indices, was reached
    DataEnded, // the data ran out first (what was decoded is in `out`)
    BadCode,   // a code that the table cannot hold yet
};

// Decodes `data` (the image's sub-blocks already joined) with the given minimum code
// size (1..11) into at most `wanted` palette indices.
LzwResult decodeGifLzw(const std::uint8_t* data, std::size_t size, int minimumCodeSize, std::size_t wanted,
                       std::vector<std::uint8_t>& out);

} // namespace qr::forms::image_detail
