// GIF: the first image of the file, drawn onto a transparent canvas of the logical
// screen's size.
#include "forms/kinds/image/decoders.h"
#include "forms/kinds/image/gif_lzw.h"

#include <vector>

namespace qr::forms::image_detail {
namespace {

class Cursor {
public:
    Cursor(const std::uint8_t* data, std::size_t size)
        : data_(data)
        , size_(size)
    {}
    bool has(std::size_t n) const { return size_ - pos_ >= n; }
    const std::uint8_t* take(std::size_t n)
    {
        const std::uint8_t* p = data_ + pos_;
        pos_ += n;
        return p;
    }
    std::uint8_t byte() { return *take(1); }

private:
    const std::uint8_t* data_;
    std::size_t size_;
    std::size_t pos_ = 0;
};

// Reads a run of sub-blocks up to its zero terminator; false when the file ends first.
bool readSubBlocks(Cursor& in, std::vector<std::uint8_t>* joined)
{
    for (;;) {
        if (!in.has(1))
            return false;
        std::size_t n = in.byte();
        if (n == 0)
            return true;
        if (!in.has(n))
            return false;
        const std::uint8_t* p = in.take(n);
        if (joined)
            joined->insert(joined->end(), p, p + n);
    }
}

bool readColourTable(Cursor& in, std::uint8_t packed, std::vector<QRgb>& table)
{
    if (!(packed & 0x80))
        return true;
    std::size_t count = std::size_t(2) << (packed & 7);
    if (!in.has(3 * count))
        return false;
    const std::uint8_t* p = in.take(3 * count);
    table.resize(count);
    for (std::size_t i = 0; i < count; ++i)
        table[i] = qRgb(p[3 * i], p[3 * i + 1], p[3 * i + 2]);
    return true;
}

// Image line of the n-th stored row of an interlaced image of height h.
int interlacedLine(int n, int h)
{
    static constexpr int kStart[4] = {0, 4, 2, 1};
    static constexpr int kStep[4] = {8, 8, 4, 2};
    for (int pass = 0; pass < 4; ++pass) {
        int rows = kStart[pass] < h ? (h - kStart[pass] + kStep[pass] - 1) / kStep[pass] : 0;
        if (n < rows)
            return kStart[pass] + n * kStep[pass];
        n -= rows;
    }
    return -1;
}

} // namespace

QImage decodeGif(const std::uint8_t* data, std::size_t size)
{
    Cursor in(data, size);
    if (!in.has(13))
        return {};
    const std::uint8_t* screen = in.take(13);
    int canvasW = getU16(screen + 6), canvasH = getU16(screen + 8);
    std::vector<QRgb> globalTable;
    if (!readColourTable(in, screen[10], globalTable))
        return {};

    int transparentIndex = -1;
    for (;;) {
        if (!in.has(1))
            return {};
        std::uint8_t introducer = in.byte();
        if (introducer == 0x3B) // trailer before any image
            return {};
        if (introducer == 0x21) {
            if (!in.has(1))
                return {};
            std::uint8_t label = in.byte();
            std::vector<std::uint8_t> body;
            if (!readSubBlocks(in, label == 0xF9 ? &body : nullptr))
                return {};
            if (label == 0xF9 && body.size() >= 4)
                transparentIndex = (body[0] & 1) ? body[3] : -1;
            continue;
        }
        if (introducer != 0x2C)
            return {};
        break;
    }

    if (!in.has(9))
        return {};
    const std::uint8_t* desc = in.take(9);
    const int left = getU16(desc), top = getU16(desc + 2);
    const int w = getU16(desc + 4), h = getU16(desc + 6);
    const std::uint8_t packed = desc[8];
    std::vector<QRgb> localTable;
    if (!readColourTable(in, packed, localTable))
        return {};
    const std::vector<QRgb>& table = localTable.empty() ? globalTable : localTable;
    if (table.empty() || !in.has(1))
        return {};
    const int minimumCodeSize = in.byte();
    std::vector<std::uint8_t> coded;
    if (!readSubBlocks(in, &coded))
        return {};

    if (canvasW == 0 || canvasH == 0) {
        canvasW = left + w;
        canvasH = top + h;
    }
    if (!sizeAcceptable(canvasW, canvasH) || (w > 0 && h > 0 && !sizeAcceptable(w, h)))
        return {};
    std::vector<std::uint8_t> indices;
    const std::size_t wanted = std::size_t(w) * std::size_t(h);
    if (decodeGifLzw(coded.data(), coded.size(), minimumCodeSize, wanted, indices) == LzwResult::BadCode)
        return {};

    QImage out(canvasW, canvasH, QImage::Format_ARGB32);
    if (out.isNull())
        return {};
    out.fill(Qt::transparent);
    const bool interlaced = (packed & 0x40) != 0;
    // Pixels the data did not reach stay transparent.
    for (std::size_t i = 0; i < indices.size(); ++i) {
        int row = int(i / std::size_t(w)), col = int(i % std::size_t(w));
        int y = top + (interlaced ? interlacedLine(row, h) : row);
        int x = left + col;
        if (x >= canvasW || y < 0 || y >= canvasH)
            continue;
        std::uint8_t index = indices[i];
        if (int(index) == transparentIndex)
            continue;
        reinterpret_cast<QRgb*>(out.scanLine(y))[x] = index < table.size() ? table[index] : qRgb(0, 0, 0);
    }
    return out;
}

} // namespace qr::forms::image_detail
