// The fonts the program resolves for the Windows faces the templates name. The
// layouts were made for 宋体, 楷体 and 黑体, whose Latin letters and digits are half
// an em wide; their stand-ins must be too, and must draw those glyphs themselves.
#include "forms/registry/fonts.h"

#include <QFontInfo>
#include <QFontMetrics>
#include <QGlyphRun>
#include <QGuiApplication>
#include <QRawFont>
#include <QTextLayout>

#include <gtest/gtest.h>

namespace qr::forms {
namespace {

QFont storedFont(const char* faceGbk, int pixels)
{
    LogFont stored;
    stored.height = -pixels;
    stored.faceName = faceGbk;
    return qtFont(stored);
}

// The families whose glyphs really draw `text` in `font`.
QStringList drawingFamilies(const QFont& font, const QString& text)
{
    QTextLayout layout(text, font);
    layout.beginLayout();
    layout.createLine();
    layout.endLayout();
    QStringList families;
    for (const QGlyphRun& run : layout.glyphRuns())
        families.append(run.rawFont().familyName());
    families.removeDuplicates();
    return families;
}

const char* const kHalfWidthFaces[] = {"", "宋体", "楷体", "黑体"}; // GBK; "" is the default face
const QString kLatin = QStringLiteral("0123456789GXgx");

// An odd pixel size has no whole half: its half is rounded up, as the platform's is.
TEST(StandInFonts, DigitsAndLatinLettersAreAtMostHalfThePixelSize)
{
    for (const char* face : kHalfWidthFaces) {
        for (int pixels : {12, 14, 16, 19, 24}) {
            const QFontMetrics metrics(storedFont(face, pixels));
            for (QChar ch : kLatin)
                EXPECT_LE(metrics.horizontalAdvance(ch), (pixels + 1) / 2)
                    << QGuiApplication::platformName().toStdString() << ' '
                    << QFontInfo(storedFont(face, pixels)).family().toStdString() << ' ' << pixels << " px '"
                    << char(ch.unicode()) << "'";
        }
    }
    // The default GUI font of every control without a stored font is the same face.
    const QFontMetrics gui(defaultGuiFont());
    EXPECT_LE(2 * gui.horizontalAdvance(QStringLiteral("12345678900")), 11 * 12);
}

TEST(StandInFonts, AnEighteenDigitNumberFitsTheWidthTheListsWereLaidOutFor)
{
    // 14 pixels, the lists' font: the identity-card column is 140 pixels wide.
    EXPECT_LE(QFontMetrics(storedFont("", 14)).horizontalAdvance(QStringLiteral("110101200401011234")), 126);
}

TEST(StandInFonts, LatinAndDigitsComeFromTheChineseFaceItself)
{
    const QString mixed = QString::fromUtf8(reinterpret_cast<const char*>(u8"G110101 小苹果 Hollowmere村"));
    for (const char* face : {"", "宋体", "楷体", "黑体", "微软雅黑"}) {
        const QFont font = storedFont(face, 14);
        const QString resolved = QFontInfo(font).family();
        EXPECT_EQ(drawingFamilies(font, mixed), QStringList{resolved}) << resolved.toStdString();
    }
}

} // namespace
} // namespace qr::forms
