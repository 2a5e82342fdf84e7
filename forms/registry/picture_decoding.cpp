#include "forms/registry/picture_decoding.h"

namespace qr::forms {
namespace {

PictureDecoder installedDecoder = nullptr;

} // namespace

void setPictureDecoder(PictureDecoder decoder) { installedDecoder = decoder; }

QImage decodePicture(std::span<const std::uint8_t> bytes)
{
    if (bytes.empty())
        return {};
    if (installedDecoder != nullptr)
        return installedDecoder(bytes);
    QImage image;
    image.loadFromData(bytes.data(), int(bytes.size()));
    return image;
}

} // namespace qr::forms
