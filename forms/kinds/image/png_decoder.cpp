// PNG through libpng's simplified reading interface, which catches libpng's own
// faults internally and reports them as a failed call.
#include "forms/kinds/image/decoders.h"

#include <png.h>

namespace qr::forms::image_detail {

QImage decodePng(const std::uint8_t* data, std::size_t size)
{
    png_image png{};
    png.version = PNG_IMAGE_VERSION;
    if (!png_image_begin_read_from_memory(&png, data, size))
        return {};
    if (!sizeAcceptable(png.width, png.height)) {
        png_image_free(&png);
        return {};
    }
    png.format = PNG_FORMAT_RGBA;
    QImage out(int(png.width), int(png.height), QImage::Format_RGBA8888);
    if (out.isNull()) {
        png_image_free(&png);
        return {};
    }
    // finish_read frees the reader in every case.
    if (!png_image_finish_read(&png, nullptr, out.bits(), png_int_32(out.bytesPerLine()), nullptr))
        return {};
    if (PNG_IMAGE_FAILED(png))
        return {};
    return out.convertToFormat(QImage::Format_ARGB32);
}

} // namespace qr::forms::image_detail
