#include "forms/registry/fonts.h"

#include "forms/registry/qt_text.h"

#include <QFontDatabase>
#include <QStringList>

#include <algorithm>
#include <cmath>
#include <initializer_list>

namespace qr::forms {
namespace {

// Windows faces and the families that stand in for them, best first. The layouts
// were made for faces whose Latin letters and digits are half an em wide (an
// 18-digit number at 14 pixels takes 126 pixels), so each stand-in carries such
// glyphs itself: AR PL UMing for 宋体, AR PL UKai for 楷体, the monospaced cut of
// WenQuanYi Zen Hei for 黑体. 微软雅黑 is proportional, as is its stand-in. The last
// resort of every list is a CJK family this system installs with the program.
constexpr const char* kCjkFallback = "WenQuanYi Micro Hei";

struct FaceMapping {
    const char* windowsFace; // GBK (compiled as such)
    std::initializer_list<const char*> families;
};

const FaceMapping kFaceMappings[] = {
    {"微软雅黑", {"Microsoft YaHei", "Noto Sans CJK SC", "Source Han Sans SC", kCjkFallback}},
    {"黑体", {"SimHei", "WenQuanYi Zen Hei Mono", "Noto Sans Mono CJK SC", "WenQuanYi Micro Hei Mono", kCjkFallback}},
    {"楷体", {"KaiTi", "AR PL UKai CN", "AR PL KaitiM GB", kCjkFallback}},
    {"楷体_GB2312", {"KaiTi", "AR PL UKai CN", "AR PL KaitiM GB", kCjkFallback}},
    {"宋体", {"SimSun", "AR PL UMing CN", "Noto Serif CJK SC", kCjkFallback}},
    {"新宋体", {"NSimSun", "SimSun", "AR PL UMing CN", kCjkFallback}},
    {"仿宋", {"FangSong", "AR PL UMing CN", kCjkFallback}},
};

// The default face of Chinese Windows is 宋体.
constexpr const char* kDefaultFace = "宋体";
constexpr int kDefaultPixelSize = 12;

bool installed(const QString& family)
{
    static const QStringList families = QFontDatabase::families();
    return families.contains(family, Qt::CaseInsensitive);
}

QString firstInstalled(std::initializer_list<const char*> families)
{
    for (const char* family : families)
        if (installed(QString::fromLatin1(family)))
            return QString::fromLatin1(family);
    return QString::fromLatin1(kCjkFallback);
}

// LOGFONT heights: negative is the character (em) height, positive the cell height
// which includes the internal leading; 0 asks for the default size.
int pixelSizeFor(std::int32_t height)
{
    if (height < 0)
        return std::max(1, int(-height));
    if (height > 0)
        return std::max(1, int(std::lround(height * 0.85)));
    return kDefaultPixelSize;
}

} // namespace

QString familyForFace(std::string_view faceGbk)
{
    if (faceGbk.empty())
        faceGbk = kDefaultFace;
    for (const FaceMapping& mapping : kFaceMappings)
        if (faceGbk == mapping.windowsFace)
            return firstInstalled(mapping.families);
    const QString face = toQString(faceGbk);
    return installed(face) ? face : QString::fromLatin1(kCjkFallback);
}

namespace {

// Every glyph the stand-in has, Latin letters and digits included, comes from it;
// only what it lacks falls back to the CJK family.
QStringList familiesFor(std::string_view faceGbk)
{
    const QString family = familyForFace(faceGbk);
    const QString fallback = QString::fromLatin1(kCjkFallback);
    return family == fallback ? QStringList{family} : QStringList{family, fallback};
}

} // namespace

QFont defaultGuiFont()
{
    QFont font;
    font.setFamilies(familiesFor({}));
    font.setPixelSize(kDefaultPixelSize);
    return font;
}

QFont qtFont(const Font& stored)
{
    if (!stored)
        return defaultGuiFont();
    const LogFont& f = *stored;
    QFont font;
    font.setFamilies(familiesFor(f.faceName));
    font.setPixelSize(pixelSizeFor(f.height));
    font.setWeight(QFont::Weight(std::clamp(f.weight == 0 ? 400 : f.weight, 100, 900)));
    font.setItalic(f.italic != 0);
    font.setUnderline(f.underline != 0);
    font.setStrikeOut(f.strikeOut != 0);
    return font;
}

} // namespace qr::forms
