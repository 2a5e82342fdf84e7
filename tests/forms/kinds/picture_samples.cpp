#include "tests/forms/kinds/picture_samples.h"

#include "runtime/coding.h"

#include <QBuffer>

#include <map>
#include <utility>

namespace qr::forms::test {
namespace {

using runtime::appendU16;
using runtime::appendU32;

// A BITMAPINFOHEADER for `w` x `h` rows.
void infoHeader(Bytes& out, int w, int h, int bpp, std::uint32_t paletteCount = 0)
{
    appendU32(out, 40);
    appendU32(out, std::uint32_t(w));
    appendU32(out, std::uint32_t(h));
    appendU16(out, 1);
    appendU16(out, std::uint32_t(bpp));
    appendU32(out, 0); // BI_RGB
    appendU32(out, 0);
    appendU32(out, 2835);
    appendU32(out, 2835);
    appendU32(out, paletteCount);
    appendU32(out, 0);
}

class BitWriter {
public:
    void write(int code, int bits)
    {
        buffer_ |= std::uint32_t(code) << held_;
        held_ += bits;
        while (held_ >= 8) {
            bytes.push_back(std::uint8_t(buffer_));
            buffer_ >>= 8;
            held_ -= 8;
        }
    }
    void flush()
    {
        if (held_ > 0)
            bytes.push_back(std::uint8_t(buffer_));
        held_ = 0;
    }
    Bytes bytes;

private:
    std::uint32_t buffer_ = 0;
    int held_ = 0;
};

Bytes lzwEncode(const std::vector<std::uint8_t>& indices, int minimumCodeSize)
{
    const int clearCode = 1 << minimumCodeSize, endCode = clearCode + 1;
    BitWriter out;
    std::map<std::pair<int, int>, int> table;
    int bits = minimumCodeSize + 1, next = clearCode + 2;
    out.write(clearCode, bits);
    int current = -1;
    for (std::uint8_t k : indices) {
        if (current < 0) {
            current = k;
            continue;
        }
        auto found = table.find({current, k});
        if (found != table.end()) {
            current = found->second;
            continue;
        }
        out.write(current, bits);
        table[{current, k}] = next++;
        if (next == (1 << bits) + 1 && bits < 12)
            ++bits;
        if (next == 4096) {
            out.write(clearCode, bits);
            table.clear();
            bits = minimumCodeSize + 1;
            next = clearCode + 2;
        }
        current = k;
    }
    if (current >= 0) {
        out.write(current, bits);
        // The reader adds an entry for this code too, and may widen its codes.
        if (++next == (1 << bits) + 1 && bits < 12)
            ++bits;
    }
    out.write(endCode, bits);
    out.flush();
    return out.bytes;
}

} // namespace

QImage cornerImage(int w, int h)
{
    QImage image(w, h, QImage::Format_ARGB32);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            bool right = x >= w / 2, bottom = y >= h / 2;
            QRgb c = !right && !bottom  ? qRgb(255, 0, 0)
                     : right && !bottom ? qRgb(0, 255, 0)
                     : !right && bottom ? qRgb(0, 0, 255)
                                        : qRgb(255, 255, 0);
            image.setPixel(x, y, c);
        }
    return image;
}

Bytes encodeWithQt(const QImage& image, const char* format, int quality)
{
    QByteArray data;
    QBuffer buffer(&data);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, format, quality);
    return Bytes(data.begin(), data.end());
}

Bytes bmp24(const QImage& image, bool topDown)
{
    const int w = image.width(), h = image.height();
    const int stride = (w * 3 + 3) / 4 * 4;
    Bytes out{'B', 'M'};
    appendU32(out, std::uint32_t(54 + stride * h));
    appendU32(out, 0);
    appendU32(out, 54);
    infoHeader(out, w, topDown ? -h : h, 24);
    for (int r = 0; r < h; ++r) {
        int y = topDown ? r : h - 1 - r;
        for (int x = 0; x < w; ++x) {
            QRgb c = image.pixel(x, y);
            out.push_back(std::uint8_t(qBlue(c)));
            out.push_back(std::uint8_t(qGreen(c)));
            out.push_back(std::uint8_t(qRed(c)));
        }
        out.resize(out.size() + std::size_t(stride - w * 3), 0);
    }
    return out;
}

Bytes bmp8(int w, int h, const std::vector<QRgb>& palette, const std::vector<std::uint8_t>& indices)
{
    const int stride = (w + 3) / 4 * 4;
    const std::uint32_t offset = 54 + 4 * std::uint32_t(palette.size());
    Bytes out{'B', 'M'};
    appendU32(out, offset + std::uint32_t(stride * h));
    appendU32(out, 0);
    appendU32(out, offset);
    infoHeader(out, w, h, 8, std::uint32_t(palette.size()));
    for (QRgb c : palette) {
        out.push_back(std::uint8_t(qBlue(c)));
        out.push_back(std::uint8_t(qGreen(c)));
        out.push_back(std::uint8_t(qRed(c)));
        out.push_back(0);
    }
    for (int r = h - 1; r >= 0; --r) {
        for (int x = 0; x < w; ++x)
            out.push_back(indices[std::size_t(r * w + x)]);
        out.resize(out.size() + std::size_t(stride - w), 0);
    }
    return out;
}

Bytes iconFile(const std::vector<IconImage>& images, bool cursor)
{
    std::vector<Bytes> bodies;
    for (const IconImage& entry : images) {
        if (entry.asPng) {
            bodies.push_back(encodeWithQt(entry.image, "PNG"));
            continue;
        }
        const QImage& img = entry.image;
        const int w = img.width(), h = img.height();
        Bytes body;
        infoHeader(body, w, 2 * h, 32);
        for (int y = h - 1; y >= 0; --y)
            for (int x = 0; x < w; ++x) {
                QRgb c = img.pixel(x, y);
                body.push_back(std::uint8_t(qBlue(c)));
                body.push_back(std::uint8_t(qGreen(c)));
                body.push_back(std::uint8_t(qRed(c)));
                body.push_back(std::uint8_t(qAlpha(c)));
            }
        body.resize(body.size() + std::size_t((w + 31) / 32 * 4 * h), 0); // AND mask: all shown
        bodies.push_back(std::move(body));
    }
    Bytes out;
    appendU16(out, 0);
    appendU16(out, cursor ? 2 : 1);
    appendU16(out, std::uint32_t(images.size()));
    std::uint32_t offset = 6 + 16 * std::uint32_t(images.size());
    for (std::size_t i = 0; i < images.size(); ++i) {
        out.push_back(std::uint8_t(images[i].image.width() >= 256 ? 0 : images[i].image.width()));
        out.push_back(std::uint8_t(images[i].image.height() >= 256 ? 0 : images[i].image.height()));
        out.push_back(std::uint8_t(images[i].declaredColourCount));
        out.push_back(0);
        appendU16(out, 1);
        appendU16(out, 32);
        appendU32(out, std::uint32_t(bodies[i].size()));
        appendU32(out, offset);
        offset += std::uint32_t(bodies[i].size());
    }
    for (const Bytes& body : bodies)
        out.insert(out.end(), body.begin(), body.end());
    return out;
}

Bytes gifFile(int w, int h, const std::vector<QRgb>& palette, const std::vector<std::uint8_t>& indices,
              int transparentIndex, bool interlaced)
{
    int tableBits = 1;
    while ((1 << tableBits) < int(palette.size()))
        ++tableBits;
    Bytes out{'G', 'I', 'F', '8', '9', 'a'};
    appendU16(out, std::uint32_t(w));
    appendU16(out, std::uint32_t(h));
    out.push_back(std::uint8_t(0x80 | 0x70 | (tableBits - 1)));
    out.push_back(0);
    out.push_back(0);
    for (int i = 0; i < (1 << tableBits); ++i) {
        QRgb c = i < int(palette.size()) ? palette[std::size_t(i)] : 0;
        out.push_back(std::uint8_t(qRed(c)));
        out.push_back(std::uint8_t(qGreen(c)));
        out.push_back(std::uint8_t(qBlue(c)));
    }
    if (transparentIndex >= 0) {
        Bytes gce{0x21, 0xF9, 4, 1, 0, 0, std::uint8_t(transparentIndex), 0};
        out.insert(out.end(), gce.begin(), gce.end());
    }
    out.push_back(0x2C);
    appendU16(out, 0);
    appendU16(out, 0);
    appendU16(out, std::uint32_t(w));
    appendU16(out, std::uint32_t(h));
    out.push_back(interlaced ? 0x40 : 0);
    // Interlaced images store their rows in pass order.
    std::vector<std::uint8_t> stored;
    if (interlaced) {
        for (auto [start, step] : {std::pair{0, 8}, {4, 8}, {2, 4}, {1, 2}})
            for (int y = start; y < h; y += step)
                stored.insert(stored.end(), indices.begin() + y * w, indices.begin() + (y + 1) * w);
    } else {
        stored = indices;
    }
    const int minimumCodeSize = std::max(2, tableBits);
    out.push_back(std::uint8_t(minimumCodeSize));
    Bytes coded = lzwEncode(stored, minimumCodeSize);
    for (std::size_t pos = 0; pos < coded.size(); pos += 255) {
        std::size_t n = std::min<std::size_t>(255, coded.size() - pos);
        out.push_back(std::uint8_t(n));
        out.insert(out.end(), coded.begin() + long(pos), coded.begin() + long(pos + n));
    }
    out.push_back(0);
    out.push_back(0x3B);
    return out;
}

} // namespace qr::forms::test
