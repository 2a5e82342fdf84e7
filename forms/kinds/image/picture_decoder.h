// Turns the bytes of a picture file (JPEG, PNG, BMP, GIF, ICO, CUR) into an image of
// the picture's own size. Anything that is not a picture, or does not decode, gives
// a null image: callers show no picture and report nothing.
#pragma once

#include <QImage>

#include <cstddef>
#include <cstdint>
#include <vector>

namespace qr::forms {

enum class PictureFormat { None, Bitmap, Jpeg, Png, Icon, Cursor, Gif, Pcx };

// The format recognised from the first bytes; fewer than 6 bytes are never a picture.
PictureFormat recognisePicture(const std::uint8_t* data, std::size_t size);

// The decoded picture (first frame for GIF), or a null QImage.
QImage decodePictureFile(const std::uint8_t* data, std::size_t size);
inline QImage decodePictureFile(const std::vector<std::uint8_t>& bytes)
{
    return decodePictureFile(bytes.data(), bytes.size());
}

} // namespace qr::forms
