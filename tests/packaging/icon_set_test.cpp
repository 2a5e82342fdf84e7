// The icon set the package installs: drawn from the program icon's largest image, one
// square PNG per theme size, neither blank nor distorted.
#include "app/catalogue/catalogue.h"
#include "packaging/icon_set.h"
#include "tests/support/temp_dir.h"

#include <QBuffer>
#include <QColor>
#include <QCoreApplication>
#include <QFile>
#include <QImage>
#include <QSet>
#include <QtEndian>

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

namespace {

using qr::packaging::kIconSizes;

const QString kName = QStringLiteral("io.github.quillroll.Quillroll");

QByteArray pngBytes(const QImage& image)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "png");
    return bytes;
}

QImage solid(int width, int height, QColor colour)
{
    QImage image(width, height, QImage::Format_ARGB32);
    image.fill(colour);
    return image;
}

// An icon file whose entries are PNG images, in the order given.
std::vector<std::uint8_t> iconFile(const std::vector<QImage>& images)
{
    std::vector<QByteArray> pngs;
    for (const QImage& image : images)
        pngs.push_back(pngBytes(image));
    QByteArray file(6 + 16 * int(images.size()), '\0');
    auto put16 = [&](int at, quint16 v) { qToLittleEndian(v, file.data() + at); };
    auto put32 = [&](int at, quint32 v) { qToLittleEndian(v, file.data() + at); };
    put16(2, 1); // an icon, not a cursor
    put16(4, quint16(images.size()));
    quint32 offset = quint32(file.size());
    for (std::size_t i = 0; i < images.size(); ++i) {
        const int entry = 6 + 16 * int(i);
        file[entry] = char(images[i].width() & 0xFF); // 0 stands for 256
        file[entry + 1] = char(images[i].height() & 0xFF);
        put16(entry + 4, 1);
        put16(entry + 6, 32);
        put32(entry + 8, quint32(pngs[i].size()));
        put32(entry + 12, offset);
        offset += quint32(pngs[i].size());
    }
    for (const QByteArray& png : pngs)
        file += png;
    return std::vector<std::uint8_t>(file.begin(), file.end());
}

int distinctColours(const QImage& image)
{
    QSet<QRgb> colours;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            colours.insert(image.pixel(x, y));
    return int(colours.size());
}

int opaquePixels(const QImage& image)
{
    int count = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            count += qAlpha(image.pixel(x, y)) == 255;
    return count;
}

TEST(IconSet, ProgramIconGivesSixSquarePicturesThatAreNotBlank)
{
    const QImage icon = qr::packaging::largestIconImage(qr::catalogue::programIconBytes());
    ASSERT_FALSE(icon.isNull());
    EXPECT_EQ(icon.size(), QSize(128, 128));

    qr::test_support::TempDir dir;
    QString error;
    ASSERT_TRUE(qr::packaging::writeIconSet(icon, QString::fromStdString(dir.path()), kName, &error))
        << error.toStdString();
    for (const int size : kIconSizes) {
        const QString file =
            QStringLiteral("%1/%2x%2/apps/%3.png").arg(QString::fromStdString(dir.path())).arg(size).arg(kName);
        SCOPED_TRACE(file.toStdString());
        QImage written(file, "png");
        ASSERT_FALSE(written.isNull());
        EXPECT_EQ(written.size(), QSize(size, size));
        EXPECT_TRUE(written.hasAlphaChannel());
        // A picture, not one colour: a quarter of the square at least is drawn.
        EXPECT_GT(distinctColours(written), 2);
        EXPECT_GE(opaquePixels(written), size * size / 4);
    }
}

TEST(IconSet, LargestImageIsTakenWhereverItStandsInTheFile)
{
    const auto file = iconFile({solid(32, 32, Qt::blue), solid(64, 64, Qt::green), solid(16, 16, Qt::red)});
    const QImage largest = qr::packaging::largestIconImage(file);
    ASSERT_FALSE(largest.isNull());
    EXPECT_EQ(largest.size(), QSize(64, 64));
    EXPECT_EQ(QColor(largest.pixel(10, 10)), QColor(Qt::green));

    // Scaled up and down from it, the colour stays.
    for (const int size : {16, 256}) {
        const QImage square = qr::packaging::squareIcon(largest, size);
        EXPECT_EQ(square.size(), QSize(size, size));
        EXPECT_EQ(QColor(square.pixel(size / 2, size / 2)), QColor(Qt::green));
    }
}

TEST(IconSet, BytesThatAreNoIconFileGiveNoImage)
{
    // A picture in another format is refused too: the tool reads icon files only.
    const QByteArray png = pngBytes(solid(48, 48, Qt::black));
    EXPECT_TRUE(qr::packaging::largestIconImage(std::vector<std::uint8_t>(png.begin(), png.end())).isNull());
    EXPECT_TRUE(qr::packaging::largestIconImage({}).isNull());
    const std::vector<std::uint8_t> header{0, 0, 1, 0, 1, 0, 16, 16, 0, 0, 1, 0, 32, 0, 0xFF, 0xFF, 0, 0, 22, 0, 0, 0};
    EXPECT_TRUE(qr::packaging::largestIconImage(header).isNull());
}

TEST(IconSet, WideImageIsCentredInTheSquareWithItsShapeKept)
{
    const QImage square = qr::packaging::squareIcon(solid(64, 32, Qt::red), 32);
    ASSERT_EQ(square.size(), QSize(32, 32));
    // 64 x 32 into 32 x 32 is 32 x 16, rows 8 to 23; the rest stays transparent.
    EXPECT_EQ(qAlpha(square.pixel(16, 2)), 0);
    EXPECT_EQ(qAlpha(square.pixel(16, 29)), 0);
    EXPECT_EQ(QColor(square.pixel(16, 16)), QColor(Qt::red));
    EXPECT_EQ(QColor(square.pixel(0, 12)), QColor(Qt::red));
}

TEST(IconSet, UnwritableFolderIsReportedByName)
{
    qr::test_support::TempDir dir;
    const std::string blocker = dir.file("taken");
    // A file where the size folders belong: nothing can be made under it.
    QFile file(QString::fromStdString(blocker));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.close();
    QString error;
    EXPECT_FALSE(qr::packaging::writeIconSet(solid(16, 16, Qt::red), QString::fromStdString(blocker), kName, &error));
    EXPECT_TRUE(error.startsWith(QString::fromStdString(blocker))) << error.toStdString();
}

} // namespace

int main(int argc, char** argv)
{
    // The image reader finds its format plugins through the application object.
    QCoreApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
