#include "forms/kinds/image/picture_decoder.h"

#include "forms/kinds/image/decoders.h"

#include <cstring>

namespace qr::forms {

using namespace image_detail;

PictureFormat recognisePicture(const std::uint8_t* data, std::size_t size)
{
    if (data == nullptr || size < 6)
        return PictureFormat::None;
    if (data[0] == 'B' && data[1] == 'M')
        return PictureFormat::Bitmap;
    if (data[0] == 0xFF && data[1] == 0xD8)
        return PictureFormat::Jpeg;
    if (data[0] == 0x89 && data[1] == 'P' && data[2] == 'N' && data[3] == 'G')
        return PictureFormat::Png;
    if (data[0] == 0 && data[1] == 0 && data[3] == 0 && getU16(data + 4) != 0) {
        if (data[2] == 1)
            return PictureFormat::Icon;
        if (data[2] == 2)
            return PictureFormat::Cursor;
    }
    if (std::memcmp(data, "GIF8", 4) == 0 && (data[4] == '7' || data[4] == '9') && data[5] == 'a')
        return PictureFormat::Gif;
    if (size >= 4 && data[0] == 0x0A && data[2] == 1) {
        if (data[1] <= 5 && data[3] == 8)
            return PictureFormat::Pcx;
        if (data[1] == 3 && data[3] == 1)
            return PictureFormat::Pcx;
    }
    return PictureFormat::None;
}

QImage decodePictureFile(const std::uint8_t* data, std::size_t size)
{
    switch (recognisePicture(data, size)) {
    case PictureFormat::Bitmap: return decodeBmpFile(data, size);
    case PictureFormat::Jpeg: return decodeJpeg(data, size);
    case PictureFormat::Png: return decodePng(data, size);
    case PictureFormat::Icon:
    case PictureFormat::Cursor: return decodeIconFile(data, size);
    case PictureFormat::Gif: return decodeGif(data, size);
    // PCX is recognised so that such a file is not mistaken for something else, but
    // nothing in this program shows one: it stays without a picture.
    case PictureFormat::Pcx:
    case PictureFormat::None: break;
    }
    return {};
}

} // namespace qr::forms
