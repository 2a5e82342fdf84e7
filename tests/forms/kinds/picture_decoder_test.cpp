#include "forms/kinds/image/gif_lzw.h"
#include "forms/kinds/image/picture_decoder.h"
#include "tests/forms/kinds/picture_samples.h"

#include <gtest/gtest.h>

#include <random>

namespace qr::forms {
namespace {

using test::Bytes;

bool closeTo(QRgb a, QRgb b, int tolerance)
{
    return std::abs(qRed(a) - qRed(b)) <= tolerance && std::abs(qGreen(a) - qGreen(b)) <= tolerance &&
           std::abs(qBlue(a) - qBlue(b)) <= tolerance;
}

void expectCorners(const QImage& decoded, int tolerance)
{
    ASSERT_FALSE(decoded.isNull());
    const int w = decoded.width(), h = decoded.height();
    EXPECT_TRUE(closeTo(decoded.pixel(1, 1), qRgb(255, 0, 0), tolerance));
    EXPECT_TRUE(closeTo(decoded.pixel(w - 2, 1), qRgb(0, 255, 0), tolerance));
    EXPECT_TRUE(closeTo(decoded.pixel(1, h - 2), qRgb(0, 0, 255), tolerance));
    EXPECT_TRUE(closeTo(decoded.pixel(w - 2, h - 2), qRgb(255, 255, 0), tolerance));
}

std::vector<std::uint8_t> randomIndices(std::size_t n, int colours, unsigned seed)
{
    std::mt19937 rng(seed);
    std::vector<std::uint8_t> out(n);
    for (auto& v : out)
        v = std::uint8_t(rng() % unsigned(colours));
    return out;
}

std::vector<QRgb> greyPalette(int n)
{
    std::vector<QRgb> p;
    for (int i = 0; i < n; ++i)
        p.push_back(qRgb(i * 255 / std::max(1, n - 1), (i * 37) % 256, 255 - i * 255 / std::max(1, n - 1)));
    return p;
}

TEST(PictureRecognition, FirstBytesDecideTheFormat)
{
    auto fmt = [](Bytes b) {
        b.resize(std::max<std::size_t>(b.size(), 8), 0);
        return recognisePicture(b.data(), b.size());
    };
    EXPECT_EQ(fmt({'B', 'M'}), PictureFormat::Bitmap);
    EXPECT_EQ(fmt({0xFF, 0xD8, 0xFF}), PictureFormat::Jpeg);
    EXPECT_EQ(fmt({0x89, 'P', 'N', 'G'}), PictureFormat::Png);
    EXPECT_EQ(fmt({0, 0, 1, 0, 1, 0}), PictureFormat::Icon);
    EXPECT_EQ(fmt({0, 0, 2, 0, 3, 0}), PictureFormat::Cursor);
    EXPECT_EQ(fmt({'G', 'I', 'F', '8', '7', 'a'}), PictureFormat::Gif);
    EXPECT_EQ(fmt({'G', 'I', 'F', '8', '9', 'a'}), PictureFormat::Gif);
    EXPECT_EQ(fmt({0x0A, 5, 1, 8}), PictureFormat::Pcx);
    EXPECT_EQ(fmt({0x0A, 3, 1, 1}), PictureFormat::Pcx);
    // An icon directory that lists no images, an unknown GIF version, plain text.
    EXPECT_EQ(fmt({0, 0, 1, 0, 0, 0}), PictureFormat::None);
    EXPECT_EQ(fmt({'G', 'I', 'F', '8', '8', 'a'}), PictureFormat::None);
    EXPECT_EQ(fmt({'h', 'e', 'l', 'l', 'o', '!'}), PictureFormat::None);
    const std::uint8_t shortBmp[5] = {'B', 'M', 0, 0, 0};
    EXPECT_EQ(recognisePicture(shortBmp, 5), PictureFormat::None);
    EXPECT_EQ(recognisePicture(nullptr, 0), PictureFormat::None);
}

TEST(PictureDecoding, NonPicturesAndPcxGiveNoPicture)
{
    Bytes text = {'n', 'o', 't', ' ', 'a', ' ', 'p', 'i', 'c'};
    EXPECT_TRUE(decodePictureFile(text).isNull());
    EXPECT_TRUE(decodePictureFile(Bytes{}).isNull());
    Bytes pcx(200, 0);
    pcx[0] = 0x0A, pcx[1] = 5, pcx[2] = 1, pcx[3] = 8;
    EXPECT_TRUE(decodePictureFile(pcx).isNull());
}

TEST(PictureDecoding, JpegKeepsSizeAndColours)
{
    QImage source = test::cornerImage(66, 40);
    Bytes jpeg = test::encodeWithQt(source, "JPEG", 95);
    ASSERT_GT(jpeg.size(), 100u);
    QImage decoded = decodePictureFile(jpeg);
    ASSERT_FALSE(decoded.isNull());
    EXPECT_EQ(decoded.size(), QSize(66, 40));
    expectCorners(decoded, 40);
}

TEST(PictureDecoding, GreyscaleJpegDecodes)
{
    QImage grey = test::cornerImage(32, 32).convertToFormat(QImage::Format_Grayscale8);
    QImage decoded = decodePictureFile(test::encodeWithQt(grey, "JPEG", 90));
    ASSERT_FALSE(decoded.isNull());
    EXPECT_EQ(decoded.size(), QSize(32, 32));
}

TEST(PictureDecoding, TruncatedOrDamagedJpegGivesNoPicture)
{
    Bytes jpeg = test::encodeWithQt(test::cornerImage(64, 64), "JPEG", 90);
    Bytes half(jpeg.begin(), jpeg.begin() + long(jpeg.size() / 2));
    EXPECT_TRUE(decodePictureFile(half).isNull());
    Bytes headerOnly(jpeg.begin(), jpeg.begin() + 20);
    EXPECT_TRUE(decodePictureFile(headerOnly).isNull());
}

TEST(PictureDecoding, PngKeepsPixelsAndAlphaExactly)
{
    QImage source = test::cornerImage(17, 9);
    source.setPixel(3, 3, qRgba(10, 20, 30, 128));
    QImage decoded = decodePictureFile(test::encodeWithQt(source, "PNG"));
    ASSERT_FALSE(decoded.isNull());
    ASSERT_EQ(decoded.size(), source.size());
    for (int y = 0; y < 9; ++y)
        for (int x = 0; x < 17; ++x)
            EXPECT_EQ(decoded.pixel(x, y), source.pixel(x, y)) << x << "," << y;
}

TEST(PictureDecoding, PngWithIntactSignatureButDamagedDataGivesNoPicture)
{
    Bytes png = test::encodeWithQt(test::cornerImage(40, 40), "PNG");
    Bytes damaged = png;
    for (std::size_t i = 40; i < damaged.size() - 12; i += 7)
        damaged[i] ^= 0x5A;
    EXPECT_TRUE(decodePictureFile(damaged).isNull());
    Bytes truncated(png.begin(), png.begin() + long(png.size() - 20));
    EXPECT_TRUE(decodePictureFile(truncated).isNull());
}

TEST(PictureDecoding, BitmapsBottomUpTopDownAndPalette)
{
    QImage source = test::cornerImage(7, 5); // odd width: rows carry padding
    for (bool topDown : {false, true}) {
        QImage decoded = decodePictureFile(test::bmp24(source, topDown));
        ASSERT_EQ(decoded.size(), source.size());
        for (int y = 0; y < 5; ++y)
            for (int x = 0; x < 7; ++x)
                EXPECT_EQ(decoded.pixel(x, y), source.pixel(x, y));
    }
    auto palette = greyPalette(16);
    auto indices = randomIndices(9 * 6, 16, 7);
    QImage decoded = decodePictureFile(test::bmp8(9, 6, palette, indices));
    ASSERT_EQ(decoded.size(), QSize(9, 6));
    for (int y = 0; y < 6; ++y)
        for (int x = 0; x < 9; ++x)
            EXPECT_EQ(decoded.pixel(x, y), palette[indices[std::size_t(y * 9 + x)]]);
}

// An 8-bit run-length coded bitmap: 4 x 3 pixels, bottom row first, with a run,
// a literal run, a delta jump and the end mark.
TEST(PictureDecoding, RunLengthCodedBitmap)
{
    const std::vector<QRgb> palette = {qRgb(0, 0, 0), qRgb(255, 0, 0), qRgb(0, 255, 0), qRgb(0, 0, 255)};
    Bytes bmp = test::bmp8(4, 3, palette, std::vector<std::uint8_t>(12, 0));
    const std::size_t pixels = 54 + 4 * palette.size();
    bmp.resize(pixels);
    bmp[30] = 1;                           // BI_RLE8
    const Bytes coded = {4, 1, 0, 0,       // bottom row: four red
                         0, 3, 2, 3, 2, 0, // literal green, blue, green (padded)
                         0, 0,             // end of line
                         0, 2, 1, 0,       // delta: one to the right on the top row
                         1, 3, 0, 1};      // one blue, end of bitmap
    bmp.insert(bmp.end(), coded.begin(), coded.end());
    QImage decoded = decodePictureFile(bmp);
    ASSERT_EQ(decoded.size(), QSize(4, 3));
    for (int x = 0; x < 4; ++x)
        EXPECT_EQ(decoded.pixel(x, 2), palette[1]);
    EXPECT_EQ(decoded.pixel(0, 1), palette[2]);
    EXPECT_EQ(decoded.pixel(1, 1), palette[3]);
    EXPECT_EQ(decoded.pixel(2, 1), palette[2]);
    EXPECT_EQ(decoded.pixel(1, 0), palette[3]); // after the jump
    EXPECT_EQ(decoded.pixel(3, 0), palette[0]); // skipped pixels keep colour 0
}

TEST(PictureDecoding, BitmapWithMissingPixelsOrHugeHeaderGivesNoPicture)
{
    Bytes bmp = test::bmp24(test::cornerImage(20, 20));
    Bytes cut(bmp.begin(), bmp.end() - 30);
    EXPECT_TRUE(decodePictureFile(cut).isNull());
    Bytes huge = bmp;
    huge[18] = 0xFF, huge[19] = 0xFF, huge[20] = 0xFF, huge[21] = 0x7F; // width 2^31 - 1
    EXPECT_TRUE(decodePictureFile(huge).isNull());
}

TEST(IconDecoding, TakesFirst32PixelEntryWithEnoughColours)
{
    QImage small(16, 16, QImage::Format_ARGB32), mid(32, 32, QImage::Format_ARGB32), big(48, 48, QImage::Format_ARGB32);
    small.fill(Qt::red);
    mid.fill(Qt::green);
    big.fill(Qt::blue);
    // Colour count 0 means 256 or more colours.
    QImage chosen = decodePictureFile(test::iconFile({{small, 0}, {mid, 0}, {big, 0}}));
    ASSERT_EQ(chosen.size(), QSize(32, 32));
    EXPECT_EQ(chosen.pixel(5, 5), qRgb(0, 255, 0));
    // A 16-colour 32-pixel entry does not qualify: the last entry is taken.
    chosen = decodePictureFile(test::iconFile({{mid, 16}, {small, 0}}));
    EXPECT_EQ(chosen.size(), QSize(32, 32));
    chosen = decodePictureFile(test::iconFile({{mid, 8}, {big, 0}}));
    EXPECT_EQ(chosen.size(), QSize(48, 48));
    // Only a 48-pixel image: that one.
    chosen = decodePictureFile(test::iconFile({{big, 0}}));
    ASSERT_EQ(chosen.size(), QSize(48, 48));
    EXPECT_EQ(chosen.pixel(47, 47), qRgb(0, 0, 255));
}

TEST(IconDecoding, AlphaPngEntriesAndCursors)
{
    QImage img = test::cornerImage(32, 32);
    img.setPixel(0, 0, qRgba(0, 0, 0, 0));
    QImage fromDib = decodePictureFile(test::iconFile({{img, 0}}));
    ASSERT_EQ(fromDib.size(), QSize(32, 32));
    EXPECT_EQ(qAlpha(fromDib.pixel(0, 0)), 0);
    EXPECT_EQ(fromDib.pixel(31, 0), qRgb(0, 255, 0)); // rows not flipped
    QImage fromPng = decodePictureFile(test::iconFile({{img, 0, true}}));
    ASSERT_EQ(fromPng.size(), QSize(32, 32));
    EXPECT_EQ(fromPng.pixel(0, 31), qRgb(0, 0, 255));
    QImage cursor = decodePictureFile(test::iconFile({{img, 0}}, true));
    EXPECT_EQ(cursor.size(), QSize(32, 32));
}

TEST(IconDecoding, EntryPointingOutsideTheFileGivesNoPicture)
{
    QImage img(32, 32, QImage::Format_ARGB32);
    img.fill(Qt::white);
    Bytes ico = test::iconFile({{img, 0}});
    Bytes bad = ico;
    bad[18] = 0xFF, bad[19] = 0xFF, bad[20] = 0xFF, bad[21] = 0x00; // offset past the end
    EXPECT_TRUE(decodePictureFile(bad).isNull());
    Bytes directoryOnly(ico.begin(), ico.begin() + 12); // directory cut short
    EXPECT_TRUE(decodePictureFile(directoryOnly).isNull());
}

TEST(GifDecoding, LzwRoundTripsAcrossCodeWidthsAndTableResets)
{
    // 256 colours over 120 x 100 random pixels fills the 4096-entry table repeatedly.
    auto palette = greyPalette(256);
    for (auto [w, h, colours] : {std::tuple{120, 100, 256}, {31, 7, 2}, {64, 64, 4}, {1, 1, 2}}) {
        auto indices = randomIndices(std::size_t(w * h), colours, unsigned(w * h));
        if (colours == 4) // long runs exercise codes defined by themselves
            std::fill(indices.begin(), indices.begin() + 3000, 1);
        QImage decoded = decodePictureFile(test::gifFile(w, h, palette, indices));
        ASSERT_EQ(decoded.size(), QSize(w, h));
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x)
                ASSERT_EQ(decoded.pixel(x, y), palette[indices[std::size_t(y * w + x)]]) << x << "," << y;
    }
}

TEST(GifDecoding, TransparencyAndInterlacing)
{
    auto palette = greyPalette(4);
    auto indices = randomIndices(13 * 19, 4, 3);
    QImage decoded = decodePictureFile(test::gifFile(13, 19, palette, indices, 2, true));
    ASSERT_EQ(decoded.size(), QSize(13, 19));
    for (int y = 0; y < 19; ++y)
        for (int x = 0; x < 13; ++x) {
            std::uint8_t i = indices[std::size_t(y * 13 + x)];
            if (i == 2)
                EXPECT_EQ(qAlpha(decoded.pixel(x, y)), 0);
            else
                EXPECT_EQ(decoded.pixel(x, y), palette[i]);
        }
}

TEST(GifDecoding, DamagedDataGivesNoPicture)
{
    auto palette = greyPalette(16);
    Bytes gif = test::gifFile(30, 30, palette, randomIndices(900, 16, 9));
    Bytes truncated(gif.begin(), gif.begin() + long(gif.size() / 2));
    EXPECT_TRUE(decodePictureFile(truncated).isNull());
    Bytes noImage(gif.begin(), gif.begin() + 13 + 48);
    noImage.push_back(0x3B);
    EXPECT_TRUE(decodePictureFile(noImage).isNull());

    // A first code beyond the root codes cannot be decoded.
    std::vector<std::uint8_t> out;
    const std::uint8_t badStart[] = {0xFF, 0xFF};
    EXPECT_EQ(image_detail::decodeGifLzw(badStart, 2, 2, 10, out), image_detail::LzwResult::BadCode);
    EXPECT_EQ(image_detail::decodeGifLzw(badStart, 2, 12, 10, out), image_detail::LzwResult::BadCode);
}

// Every prefix of every sample, and samples with bytes flipped, decode to nothing or
// to a picture, but never read outside the input (the sanitizer build watches).
TEST(PictureDecoding, TruncatedAndCorruptedInputsNeverCrash)
{
    QImage img = test::cornerImage(24, 18);
    auto palette = greyPalette(8);
    std::vector<Bytes> samples = {test::encodeWithQt(img, "JPEG", 80),
                                  test::encodeWithQt(img, "PNG"),
                                  test::bmp24(img),
                                  test::bmp8(10, 10, palette, randomIndices(100, 8, 1)),
                                  test::iconFile({{img, 0}}),
                                  test::iconFile({{img, 0, true}}),
                                  test::gifFile(24, 18, palette, randomIndices(24 * 18, 8, 2))};
    std::mt19937 rng(42);
    for (const Bytes& sample : samples) {
        for (std::size_t n = 0; n < sample.size(); n += 1 + n / 16) {
            Bytes prefix(sample.begin(), sample.begin() + long(n));
            QImage result = decodePictureFile(prefix);
            if (!result.isNull()) {
                EXPECT_GT(result.width(), 0);
            }
        }
        for (int round = 0; round < 40; ++round) {
            Bytes corrupted = sample;
            for (int k = 0; k < 4; ++k)
                corrupted[6 + rng() % (corrupted.size() - 6)] = std::uint8_t(rng());
            (void)decodePictureFile(corrupted);
        }
    }
}

} // namespace
} // namespace qr::forms
