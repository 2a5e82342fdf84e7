#include "forms/kinds/picture_view.h"
#include "tests/forms/kinds/kind_window.h"
#include "tests/forms/kinds/picture_samples.h"

#include <QPixmap>

namespace qr::forms::test {
namespace {

using kinds::DisplayMode;
using kinds::PictureView;
using runtime::Value;

constexpr std::uint32_t kPhoto = 0x1601004A;

TEST(PictureTarget, DisplayModes)
{
    const QRect client(0, 0, 136, 168);
    const QSize photo(663, 659);
    EXPECT_EQ(kinds::pictureTarget(photo, client, DisplayMode::Stretched), client);
    EXPECT_EQ(kinds::pictureTarget(photo, client, DisplayMode::OwnSize), QRect(0, 0, 663, 659));
    // Scaled by the smaller ratio (136 / 663) and centred.
    const QRect fit = kinds::pictureTarget(photo, client, DisplayMode::CentredFit);
    EXPECT_EQ(fit.width(), 136);
    EXPECT_EQ(fit.height(), 135);
    EXPECT_EQ(fit.top(), (168 - 135) / 2);
    // A small picture keeps its size in the centre.
    EXPECT_EQ(kinds::pictureTarget(QSize(20, 10), client, DisplayMode::CentredFit), QRect(58, 79, 20, 10));
    EXPECT_TRUE(kinds::pictureTarget(QSize(), client, DisplayMode::Stretched).isNull());
}

class PictureBoxTest : public KindWindowTest {
protected:
    void addPhoto(Bytes picture, int mode = 1, Colour background = kDefaultColour)
    {
        PictureBoxSettings s;
        s.picture = std::move(picture);
        s.displayMode = mode;
        s.backgroundColour = background;
        add(kPhoto, UnitKind::PictureBox, gbk(u8"图片框_照片"), {153, 8, 136, 168}, s);
    }
    PictureView* view() const { return dynamic_cast<PictureView*>(widget(kPhoto)); }
    QImage shot() const { return view()->grab().toImage(); }
};

TEST_F(PictureBoxTest, LargeJpegStretchedFillsTheBox)
{
    const Bytes jpeg = encodeWithQt(cornerImage(663, 659), "JPEG", 90);
    addPhoto(jpeg);
    load();
    ASSERT_NE(view(), nullptr);
    EXPECT_EQ(view()->picture().size(), QSize(663, 659));
    const QImage image = shot();
    ASSERT_EQ(image.size(), QSize(136, 168));
    auto near = [](QRgb a, QRgb b) {
        return std::abs(qRed(a) - qRed(b)) + std::abs(qGreen(a) - qGreen(b)) + std::abs(qBlue(a) - qBlue(b)) < 90;
    };
    EXPECT_TRUE(near(image.pixel(3, 3), qRgb(255, 0, 0)));
    EXPECT_TRUE(near(image.pixel(132, 3), qRgb(0, 255, 0)));
    EXPECT_TRUE(near(image.pixel(3, 164), qRgb(0, 0, 255)));
    EXPECT_TRUE(near(image.pixel(132, 164), qRgb(255, 255, 0)));
    // The bytes come back exactly as written, not re-encoded.
    EXPECT_EQ(read(kPhoto, 10).asByteSet(), jpeg);
}

TEST_F(PictureBoxTest, AnyBytesAreKeptButOnlyPicturesShow)
{
    addPhoto({}, 2, rgb(0, 128, 0));
    load();
    const Bytes png = encodeWithQt(cornerImage(40, 20), "PNG");
    write(kPhoto, 10, Value::byteSet(png));
    EXPECT_EQ(view()->picture().size(), QSize(40, 20));
    EXPECT_EQ(read(kPhoto, 10).asByteSet(), png);
    // Mode 2: centred at its own size, the rest in the background colour.
    const QImage image = shot();
    EXPECT_EQ(image.pixel(68, 10), qRgb(0, 128, 0));
    EXPECT_EQ(image.pixel(68 - 19, 84 - 9), qRgb(255, 0, 0));

    Bytes notAPicture = {'h', 'e', 'l', 'l', 'o', ',', ' ', 'w', 'o', 'r', 'l', 'd'};
    write(kPhoto, 10, Value::byteSet(notAPicture));
    EXPECT_TRUE(view()->picture().isNull());
    EXPECT_EQ(read(kPhoto, 10).asByteSet(), notAPicture);
    Bytes damaged = png;
    for (std::size_t i = 41; i < damaged.size() - 12; i += 5)
        damaged[i] ^= 0xA5;
    write(kPhoto, 10, Value::byteSet(damaged));
    EXPECT_TRUE(view()->picture().isNull());
    write(kPhoto, 10, Value::byteSet({}));
    EXPECT_TRUE(read(kPhoto, 10).asByteSet().empty());
    EXPECT_EQ(shot().pixel(68, 84), qRgb(0, 128, 0));
}

TEST_F(PictureBoxTest, DisplayModeAndBorderWritesAreClamped)
{
    addPhoto(encodeWithQt(cornerImage(10, 10), "PNG"), 0);
    load();
    write(kPhoto, 11, Value::integer(7));
    EXPECT_EQ(read(kPhoto, 11).asInteger(), 2);
    EXPECT_EQ(view()->displayMode(), DisplayMode::CentredFit);
    write(kPhoto, 8, Value::integer(12));
    EXPECT_EQ(read(kPhoto, 8).asInteger(), 5);
    EXPECT_EQ(view()->frameShape(), QFrame::Box);
}

} // namespace
} // namespace qr::forms::test
