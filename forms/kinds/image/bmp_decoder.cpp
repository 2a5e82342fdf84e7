// Windows bitmaps, and the device-independent bitmaps inside icon and cursor files.
#include "forms/kinds/image/decoders.h"

#include <array>
#include <bit>
#include <vector>

namespace qr::forms::image_detail {
namespace {

enum Compression : std::uint32_t { kRgb = 0, kRle8 = 1, kRle4 = 2, kBitFields = 3, kAlphaBitFields = 6 };

// One channel of a bit-field pixel, scaled to 0..255.
struct Channel {
    std::uint32_t mask = 0;
    int shift = 0;
    int bits = 0;
    explicit Channel(std::uint32_t m = 0)
        : mask(m)
    {
        if (m != 0) {
            shift = std::countr_zero(m);
            bits = std::popcount(m >> shift);
        }
    }
    std::uint8_t extract(std::uint32_t pixel) const
    {
        if (mask == 0)
            return 0;
        std::uint32_t v = (pixel & mask) >> shift;
        std::uint32_t max = bits >= 32 ? 0xFFFFFFFFu : ((1u << bits) - 1);
        return std::uint8_t((std::uint64_t(v) * 255 + max / 2) / max);
    }
};

struct DibHeader {
    std::int64_t width = 0;
    std::int64_t height = 0; // rows of the picture itself (icon masks excluded)
    bool topDown = false;
    int bitCount = 0;
    std::uint32_t compression = kRgb;
    std::uint32_t headerSize = 0;
    std::uint32_t coloursUsed = 0;
    std::array<std::uint32_t, 4> masks{}; // red, green, blue, alpha
    bool hasAlphaMask = false;
    std::size_t paletteEntrySize = 4;
};

// Expands run-length coded rows into one palette index per pixel (bottom-up rows as
// stored). Pixels the stream skips stay at index 0.
bool expandRle(const std::uint8_t* p, const std::uint8_t* end, bool fourBit, std::int64_t w, std::int64_t h,
               std::vector<std::uint8_t>& indices)
{
    indices.assign(std::size_t(w * h), 0);
    std::int64_t x = 0, y = 0;
    auto put = [&](std::uint8_t index) {
        if (x < w && y < h)
            indices[std::size_t(y * w + x)] = index;
        ++x;
    };
    while (p + 1 < end) {
        std::uint8_t count = p[0], value = p[1];
        p += 2;
        if (count > 0) {
            for (int i = 0; i < count; ++i)
                put(fourBit ? std::uint8_t((i & 1) ? (value & 0x0F) : (value >> 4)) : value);
            continue;
        }
        if (value == 0) { // end of line
            x = 0;
            ++y;
        } else if (value == 1) { // end of bitmap
            return true;
        } else if (value == 2) { // delta
            if (p + 1 >= end)
                return false;
            x += p[0];
            y += p[1];
            p += 2;
        } else { // literal run of `value` pixels, padded to a 16-bit boundary
            std::size_t bytes = fourBit ? (value + 1) / 2 : value;
            if (std::size_t(end - p) < bytes)
                return false;
            for (int i = 0; i < value; ++i)
                put(fourBit ? std::uint8_t((i & 1) ? (p[i / 2] & 0x0F) : (p[i / 2] >> 4)) : p[i]);
            p += bytes + (bytes & 1);
        }
        if (y >= h)
            return true;
    }
    // A stream without its end marker still shows what it coded.
    return true;
}

bool readHeader(const std::uint8_t* data, std::size_t size, bool iconMask, DibHeader& h)
{
    if (size < 12)
        return false;
    h.headerSize = getU32(data);
    std::int64_t rawHeight = 0;
    if (h.headerSize == 12) {
        h.width = getU16(data + 4);
        rawHeight = getU16(data + 6);
        h.bitCount = getU16(data + 10);
        h.paletteEntrySize = 3;
    } else if (h.headerSize >= 40 && h.headerSize <= size) {
        h.width = getI32(data + 4);
        rawHeight = getI32(data + 8);
        h.bitCount = getU16(data + 14);
        h.compression = getU32(data + 16);
        h.coloursUsed = getU32(data + 32);
        if (h.headerSize >= 52)
            for (int i = 0; i < 3; ++i)
                h.masks[i] = getU32(data + 40 + 4 * i);
        if (h.headerSize >= 56) {
            h.masks[3] = getU32(data + 52);
            h.hasAlphaMask = true;
        }
    } else {
        return false;
    }
    h.topDown = rawHeight < 0;
    h.height = rawHeight < 0 ? -rawHeight : rawHeight;
    if (iconMask)
        h.height /= 2;
    return sizeAcceptable(h.width, h.height);
}

} // namespace

QImage decodeDib(const std::uint8_t* data, std::size_t size, bool iconMask, std::size_t pixelOffset)
{
    DibHeader h;
    if (!readHeader(data, size, iconMask, h))
        return {};
    const int bpp = h.bitCount;
    if (bpp != 1 && bpp != 4 && bpp != 8 && bpp != 16 && bpp != 24 && bpp != 32)
        return {};
    std::size_t pos = h.headerSize;
    if ((h.compression == kBitFields || h.compression == kAlphaBitFields) && h.headerSize == 40) {
        std::size_t count = h.compression == kAlphaBitFields ? 4 : 3;
        if (size < pos + 4 * count)
            return {};
        for (std::size_t i = 0; i < count; ++i)
            h.masks[i] = getU32(data + pos + 4 * i);
        h.hasAlphaMask = count == 4;
        pos += 4 * count;
    }
    switch (h.compression) {
    case kRgb:
        if (bpp == 16)
            h.masks = {0x7C00, 0x03E0, 0x001F, 0};
        else if (bpp == 24 || bpp == 32)
            h.masks = {0x00FF0000, 0x0000FF00, 0x000000FF, iconMask && bpp == 32 ? 0xFF000000u : 0u};
        if (iconMask && bpp == 32)
            h.hasAlphaMask = true;
        break;
    case kRle8:
        if (bpp != 8)
            return {};
        break;
    case kRle4:
        if (bpp != 4)
            return {};
        break;
    case kBitFields:
    case kAlphaBitFields:
        if (bpp != 16 && bpp != 32)
            return {};
        break;
    default: return {}; // embedded JPEG/PNG and unknown codings
    }

    std::vector<QRgb> palette;
    if (bpp <= 8) {
        std::size_t count = h.coloursUsed != 0 ? h.coloursUsed : (std::size_t(1) << bpp);
        if (count > 256)
            count = 256;
        if (size < pos || (size - pos) / h.paletteEntrySize < count)
            return {};
        palette.resize(std::size_t(1) << bpp, qRgb(0, 0, 0));
        for (std::size_t i = 0; i < count && i < palette.size(); ++i) {
            const std::uint8_t* e = data + pos + i * h.paletteEntrySize;
            palette[i] = qRgb(e[2], e[1], e[0]);
        }
        pos += count * h.paletteEntrySize;
    }
    if (pixelOffset != 0)
        pos = pixelOffset;
    if (pos > size)
        return {};

    const std::int64_t w = h.width, ht = h.height;
    const std::size_t stride = std::size_t(((w * bpp + 31) / 32) * 4);
    const std::uint8_t* pixels = data + pos;
    const std::size_t available = size - pos;

    QImage out(int(w), int(ht), QImage::Format_ARGB32);
    if (out.isNull())
        return {};
    // Row `r` of the stored order lands on image line `line(r)`.
    auto line = [&](std::int64_t r) { return int(h.topDown ? r : ht - 1 - r); };

    if (h.compression == kRle8 || h.compression == kRle4) {
        std::vector<std::uint8_t> indices;
        if (!expandRle(pixels, pixels + available, h.compression == kRle4, w, ht, indices))
            return {};
        for (std::int64_t r = 0; r < ht; ++r) {
            auto* dst = reinterpret_cast<QRgb*>(out.scanLine(line(r)));
            for (std::int64_t x = 0; x < w; ++x)
                dst[x] = palette[indices[std::size_t(r * w + x)] % palette.size()];
        }
        return out;
    }

    if (available / stride < std::size_t(ht))
        return {};
    const Channel red(h.masks[0]), green(h.masks[1]), blue(h.masks[2]), alpha(h.masks[3]);
    bool anyAlpha = false;
    for (std::int64_t r = 0; r < ht; ++r) {
        const std::uint8_t* src = pixels + std::size_t(r) * stride;
        auto* dst = reinterpret_cast<QRgb*>(out.scanLine(line(r)));
        for (std::int64_t x = 0; x < w; ++x) {
            switch (bpp) {
            case 1: dst[x] = palette[(src[x >> 3] >> (7 - (x & 7))) & 1]; break;
            case 4: dst[x] = palette[(x & 1) ? (src[x >> 1] & 0x0F) : (src[x >> 1] >> 4)]; break;
            case 8: dst[x] = palette[src[x]]; break;
            case 24: dst[x] = qRgb(src[3 * x + 2], src[3 * x + 1], src[3 * x]); break;
            default: {
                std::uint32_t v = bpp == 16 ? getU16(src + 2 * x) : getU32(src + 4 * x);
                std::uint8_t a = h.hasAlphaMask && alpha.mask != 0 ? alpha.extract(v) : 255;
                anyAlpha = anyAlpha || (h.hasAlphaMask && a != 0);
                dst[x] = qRgba(red.extract(v), green.extract(v), blue.extract(v), a);
            }
            }
        }
    }
    // An alpha channel that is zero everywhere is no alpha channel at all.
    if (h.hasAlphaMask && !anyAlpha)
        for (int y = 0; y < out.height(); ++y) {
            auto* row = reinterpret_cast<QRgb*>(out.scanLine(y));
            for (int x = 0; x < out.width(); ++x)
                row[x] |= 0xFF000000u;
        }

    if (iconMask && !(bpp == 32 && anyAlpha)) {
        const std::size_t maskStride = std::size_t(((w + 31) / 32) * 4);
        const std::size_t maskStart = stride * std::size_t(ht);
        // Icons whose mask was cut off stay opaque rather than vanish.
        if (available - maskStart >= maskStride * std::size_t(ht)) {
            for (std::int64_t r = 0; r < ht; ++r) {
                const std::uint8_t* m = pixels + maskStart + std::size_t(r) * maskStride;
                auto* dst = reinterpret_cast<QRgb*>(out.scanLine(line(r)));
                for (std::int64_t x = 0; x < w; ++x)
                    if ((m[x >> 3] >> (7 - (x & 7))) & 1)
                        dst[x] = 0;
            }
        }
    }
    return out;
}

QImage decodeBmpFile(const std::uint8_t* data, std::size_t size)
{
    if (size < 14 + 12)
        return {};
    std::uint32_t pixelOffset = getU32(data + 10);
    std::size_t offsetInDib = pixelOffset > 14 && pixelOffset < size ? pixelOffset - 14 : 0;
    return decodeDib(data + 14, size - 14, false, offsetInDib);
}

} // namespace qr::forms::image_detail
