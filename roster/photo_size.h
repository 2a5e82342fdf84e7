// When a chosen photo file is large enough to offer keeping it smaller, and the
// size a smaller copy gets. Qt-free.
#pragma once

#include <cstdint>
#include <string>

namespace qr::roster {

// Files above this many bytes (1 MiB) are offered shrinking; exactly 1 MiB is not.
inline constexpr std::uint64_t kLargePhotoBytes = 1024 * 1024;
// A shrunk photo's longer side at most, in pixels, and its JPEG quality.
inline constexpr int kShrunkPhotoLongerSide = 600;
inline constexpr int kShrunkPhotoQuality = 90;

bool photoIsLarge(std::uint64_t fileBytes);

struct PixelSize {
    int width = 0;
    int height = 0;
    friend bool operator==(const PixelSize&, const PixelSize&) = default;
};

// The picture's size brought down to at most kShrunkPhotoLongerSide on its longer
// side, with its aspect ratio (the shorter side rounded to the nearest pixel, at
// least 1). A picture that already fits keeps its size: nothing is enlarged. A
// size without pixels gives itself back.
PixelSize shrunkPhotoSize(PixelSize picture);

// The byte count in MiB with one decimal, rounded half up: "3.2", "1.0".
std::string megabytesText(std::uint64_t bytes);

} // namespace qr::roster
