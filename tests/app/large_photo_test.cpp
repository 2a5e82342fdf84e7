// Large photo files: above 1 MiB a picture brings the question whether to keep it
// shrunk; Yes keeps an upright JPEG at most 600 pixels on its longer side, No and
// everything else keep the file byte for byte. The pictures are drawn here, noisy
// so that they do not compress below the limit.
#include "tests/app/app_fixture.h"

#include "app/component_ids.h"
#include "app/messages.h"
#include "forms/kinds/picture_view.h"
#include "forms/registry/window_registry.h"

#include <QBuffer>
#include <QByteArray>
#include <QImage>
#include <QImageWriter>

#include <fstream>
#include <random>

namespace qr::app::test {
namespace {

using runtime::ByteSet;
using runtime::PressedButton;

constexpr std::size_t kMiB = 1024 * 1024;
constexpr std::string_view kAskShrink32 = "照片文件较大（3.2 MB），是否缩小后保存？";

// Left half red, right half blue, every channel of every pixel noisy.
QImage noisyPicture(int width, int height, QImage::Format format = QImage::Format_RGB32)
{
    std::mt19937 random(20261209);
    std::uniform_int_distribution<int> low(0, 95), high(160, 255);
    QImage picture(width, height, QImage::Format_RGB32);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            const bool left = x < width / 2;
            picture.setPixel(x, y,
                             qRgb(left ? high(random) : low(random), low(random), left ? low(random) : high(random)));
        }
    return picture.convertToFormat(format);
}

ByteSet encoded(const QImage& picture, const char* format, int quality = -1)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, format);
    writer.setQuality(quality);
    EXPECT_TRUE(writer.write(picture)) << writer.errorString().toStdString();
    return ByteSet(bytes.begin(), bytes.end());
}

// An EXIF segment holding only the orientation tag, placed after the JFIF segment
// (or straight after the start marker).
ByteSet withOrientation(ByteSet jpeg, std::uint8_t orientation)
{
    const ByteSet app1 = {0xFF, 0xE1, 0x00, 34,   'E',  'x',         'i',  'f',  0x00, 0x00, 'M',  'M',
                          0x00, 0x2A, 0x00, 0x00, 0x00, 0x08,        0x00, 0x01, 0x01, 0x12, 0x00, 0x03,
                          0x00, 0x00, 0x00, 0x01, 0x00, orientation, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00};
    std::size_t at = 2;
    if (jpeg.size() > 6 && jpeg[2] == 0xFF && jpeg[3] == 0xE0)
        at = 4 + (std::size_t(jpeg[4]) << 8 | jpeg[5]);
    jpeg.insert(jpeg.begin() + std::ptrdiff_t(at), app1.begin(), app1.end());
    return jpeg;
}

// Bytes after the end of the picture, up to `size`: the file's size without
// changing what it shows.
ByteSet paddedTo(ByteSet bytes, std::size_t size)
{
    EXPECT_LE(bytes.size(), size);
    bytes.resize(size, 0);
    return bytes;
}

QImage decoded(const ByteSet& bytes) { return QImage::fromData(bytes.data(), int(bytes.size())); }

bool isJpeg(const ByteSet& bytes)
{
    return bytes.size() > 3 && bytes[0] == 0xFF && bytes[1] == 0xD8 && bytes[2] == 0xFF;
}

// The average colour of a square around (x, y).
QColor averageAround(const QImage& picture, int x, int y)
{
    long r = 0, g = 0, b = 0, n = 0;
    for (int dy = -10; dy <= 10; ++dy)
        for (int dx = -10; dx <= 10; ++dx, ++n) {
            const QRgb p = picture.pixel(x + dx, y + dy);
            r += qRed(p);
            g += qGreen(p);
            b += qBlue(p);
        }
    return QColor(int(r / n), int(g / n), int(b / n));
}

class LargePhotoTest : public AppTest {
protected:
    std::filesystem::path writePhoto(const std::string& name, const ByteSet& bytes)
    {
        const auto file = dir() / name;
        std::ofstream(file, std::ios::binary)
            .write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
        return file;
    }

    // Replaces the photo of the one seeded student with `file`, answering the
    // question (if one comes) with `answer`, saves, and gives the stored photo.
    ByteSet replacedPhoto(const std::filesystem::path& file, PressedButton answer)
    {
        answers_.clear();
        this->answer(answer);
        clickRow(kMainWindow, 0);
        whenModalOpens(kModifyForm, [this, file] {
            forgetBoxes();
            pickFile(file);
            clickButton(kModifyForm, "按钮_替换照片");
            shownPhoto_ = forms::readProperty(kModifyForm, kModifyFormIds.photo, property::kPicture).asByteSet();
            questions_ = boxes();
            clickButton(kModifyForm, "按钮_修改保存");
            clickButton(kModifyForm, "按钮_返回主窗口");
        });
        clickToolbar(kMainWindow, "工具条1", 3);
        settle();
        return readAll(rosterPath()).at(0).photo;
    }

    void seedOne()
    {
        seed(rosterPath(), {sampleStudent(1, "学生1")});
        enterMainWindow();
    }

    ByteSet shownPhoto_;
    std::vector<ShownBox> questions_; // the boxes shown by the replace
};

TEST_F(LargePhotoTest, YesKeepsAnUprightJpegOfSixHundredPixelsAndTheBoxShowsIt)
{
    // 1600 x 1200 as stored, to be shown turned a quarter clockwise: 1200 x 1600.
    const ByteSet file = paddedTo(withOrientation(encoded(noisyPicture(1600, 1200), "jpeg", 90), 6), 3'355'443);
    const auto path = writePhoto("big.jpg", file);
    enterMainWindow();
    QSize shownSize;
    whenModalOpens(kAddForm, [&] {
        EXPECT_TRUE(waitForBox(text::kSampleNotice));
        forgetBoxes();
        answer(PressedButton::Yes);
        pickFile(path);
        clickButton(kAddForm, "按钮_插入照片");
        questions_ = boxes();
        shownPhoto_ = forms::readProperty(kAddForm, kAddFormIds.photo, property::kPicture).asByteSet();
        if (auto* view = dynamic_cast<forms::kinds::PictureView*>(component(kAddForm, "图片框_照片")))
            shownSize = view->picture().size();
        clickButton(kAddForm, "按钮_添加"); // the sample contents, with the new photo
        EXPECT_EQ(boxes().back().text, text::kAdded);
        clickButton(kAddForm, "按钮_返回主窗口");
    });
    clickToolbar(kMainWindow, "工具条1", 2);
    settle();

    ASSERT_EQ(questions_.size(), 1u);
    EXPECT_EQ(questions_[0].text, kAskShrink32);
    EXPECT_EQ(questions_[0].title, "询问");
    EXPECT_EQ(questions_[0].flags, 4u);

    const auto roster = readAll(rosterPath());
    ASSERT_EQ(roster.size(), 1u);
    const ByteSet& stored = roster[0].photo;
    EXPECT_EQ(stored, shownPhoto_);
    EXPECT_TRUE(isJpeg(stored));
    EXPECT_LT(stored.size(), file.size());
    const QImage picture = decoded(stored);
    ASSERT_FALSE(picture.isNull());
    EXPECT_EQ(picture.size(), QSize(450, 600));
    EXPECT_EQ(shownSize, QSize(450, 600));
    // Turned clockwise, the red left half of the stored pixels is now on top.
    const QColor top = averageAround(picture, 225, 150), bottom = averageAround(picture, 225, 450);
    EXPECT_GT(top.red(), top.blue() + 60);
    EXPECT_GT(bottom.blue(), bottom.red() + 60);
}

TEST_F(LargePhotoTest, NoKeepsTheFileByteForByte)
{
    seedOne();
    const ByteSet file = paddedTo(withOrientation(encoded(noisyPicture(1600, 1200), "jpeg", 90), 6), 3'355'443);
    EXPECT_EQ(replacedPhoto(writePhoto("big.jpg", file), PressedButton::No), file);
    ASSERT_EQ(questions_.size(), 1u);
    EXPECT_EQ(questions_[0].text, kAskShrink32);
    EXPECT_EQ(shownPhoto_, file);
}

TEST_F(LargePhotoTest, TheQuestionComesOnlyAboveOneMebibyte)
{
    seedOne();
    const ByteSet picture = encoded(noisyPicture(400, 300), "jpeg", 90);
    for (const std::size_t size : {std::size_t(1000), picture.size(), kMiB - 1, kMiB}) {
        const ByteSet file = size < picture.size() ? ByteSet(picture.begin(), picture.begin() + std::ptrdiff_t(size))
                                                   : paddedTo(picture, size);
        EXPECT_EQ(replacedPhoto(writePhoto("small.jpg", file), PressedButton::Yes), file) << size;
        EXPECT_TRUE(questions_.empty()) << size;
    }
    const ByteSet justAbove = paddedTo(picture, kMiB + 1);
    const ByteSet kept = replacedPhoto(writePhoto("above.jpg", justAbove), PressedButton::Yes);
    ASSERT_EQ(questions_.size(), 1u);
    EXPECT_EQ(questions_[0].text, "照片文件较大（1.0 MB），是否缩小后保存？");
    // Already small in pixels: the same size, only encoded again.
    EXPECT_TRUE(isJpeg(kept));
    EXPECT_EQ(decoded(kept).size(), QSize(400, 300));
}

TEST_F(LargePhotoTest, ALargePngBecomesAJpegAndOneUnderSixHundredKeepsItsSize)
{
    seedOne();
    const ByteSet large = encoded(noisyPicture(1000, 800), "png");
    ASSERT_GT(large.size(), kMiB);
    const ByteSet shrunk = replacedPhoto(writePhoto("large.png", large), PressedButton::Yes);
    EXPECT_EQ(questions_.size(), 1u);
    EXPECT_TRUE(isJpeg(shrunk));
    EXPECT_EQ(decoded(shrunk).size(), QSize(600, 480));

    // Sixteen bits a channel: more than 1 MiB in fewer than 600 pixels a side.
    const ByteSet deep = encoded(noisyPicture(590, 500, QImage::Format_RGBX64), "png");
    ASSERT_GT(deep.size(), kMiB);
    const ByteSet same = replacedPhoto(writePhoto("deep.png", deep), PressedButton::Yes);
    EXPECT_EQ(questions_.size(), 1u);
    EXPECT_TRUE(isJpeg(same));
    EXPECT_EQ(decoded(same).size(), QSize(590, 500));
    EXPECT_EQ(shownPhoto_, same);
}

TEST_F(LargePhotoTest, ALargeFileThatIsNoPictureIsKeptWithoutAQuestion)
{
    seedOne();
    ByteSet text(2 * kMiB, 'a');
    EXPECT_EQ(replacedPhoto(writePhoto("notes.txt", text), PressedButton::Yes), text);
    EXPECT_TRUE(questions_.empty());

    // A JPEG's first bytes and nothing of a picture after them.
    ByteSet broken(2 * kMiB, 0);
    broken[0] = 0xFF;
    broken[1] = 0xD8;
    broken[2] = 0xFF;
    broken[3] = 0xE0;
    EXPECT_EQ(replacedPhoto(writePhoto("broken.jpg", broken), PressedButton::Yes), broken);
    EXPECT_TRUE(questions_.empty());
}

} // namespace
} // namespace qr::app::test
