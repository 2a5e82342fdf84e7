// A class of Chinese names for the print tests: every 姓名 and 身份证号 distinct and
// none inside another text, so each must appear on paper exactly once.
#pragma once

#include "app/print/printed_roster.h"
#include "forms/registry/fonts.h"
#include "runtime/gbk.h"

#include <QBuffer>
#include <QImage>
#include <QString>

#include <string>

namespace qr::test {

inline std::string gbk(const QString& text)
{
    return runtime::utf16ToGbk(
        std::u16string_view(reinterpret_cast<const char16_t*>(text.utf16()), std::size_t(text.size())));
}

inline QString qs(std::string_view gbkText)
{
    const std::u16string utf16 = runtime::gbkToUtf16(gbkText);
    return QString::fromUtf16(utf16.data(), qsizetype(utf16.size()));
}

// 欧阳 plus two digits written as Chinese numerals: 欧阳零七 is student 7.
inline QString studentName(int k)
{
    static const QString digits = QString::fromUtf8(u8"零一二三四五六七八九");
    return QString::fromUtf8(u8"欧阳") + digits[k / 10 % 10] + digits[k % 10];
}

inline std::string idCard(int k)
{
    char text[32];
    std::snprintf(text, sizeof text, "4301022010%04d%03dX", 315 + k % 7, k % 1000);
    return text;
}

inline print::ListRow listRow(int k)
{
    const std::string n = std::to_string(k);
    return {n,
            gbk(studentName(k)),
            k % 2 ? "男" : "女",
            "158",
            "42.5",
            "13",
            "R2017" + n,
            "G99887766554433" + n,
            "是",
            "1#20" + n,
            n,
            idCard(k),
            "Hollowmere村二组" + n + "号",
            "父亲",
            "家长" + n,
            "1881234" + n,
            "母亲",
            "",
            ""};
}

// A small picture file in the given format ("PNG", "BMP").
inline runtime::ByteSet pictureFile(const char* format, QColor colour)
{
    QImage image(30, 40, QImage::Format_RGB32);
    image.fill(colour);
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, format);
    return runtime::ByteSet(bytes.begin(), bytes.end());
}

inline QFont printedFace() { return QFont(forms::familyForFace("宋体")); }

inline print::PageHeading sampleHeading() { return {"Tarnfield初中2017级1班", QDate(2026, 12, 9)}; }

} // namespace qr::test
