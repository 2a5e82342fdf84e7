// quillroll-fonts: which installed font the program shows for each Windows face the
// templates name, and how wide its digits, Latin letters and Chinese characters are.
// Runs on whatever platform QT_QPA_PLATFORM names (offscreen when unset).
#include "forms/registry/fonts.h"
#include "forms/registry/forms_application.h"
#include "forms/registry/qt_text.h"

#include <QFontInfo>
#include <QFontMetrics>
#include <QRawFont>
#include <QTextLayout>

#include <cstdio>

namespace {

// The family that really draws the text's first glyph (Qt may fall back per glyph).
QString drawingFamily(const QFont& font, const QString& text)
{
    QTextLayout layout(text, font);
    layout.beginLayout();
    layout.createLine();
    layout.endLayout();
    const QList<QGlyphRun> runs = layout.glyphRuns(0, 1);
    return runs.isEmpty() ? QString() : runs.first().rawFont().familyName();
}

} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    qr::forms::FormsApplication app(argc, argv);
    std::printf("platform %s\n", qPrintable(QGuiApplication::platformName()));
    std::printf("%-10s %-6s %-24s %-24s %-24s %6s %6s %6s %6s\n", "face", "px", "resolved", "digits from",
                "Chinese from", "'0'", "'G'", "'x'", "CJK");
    const QString han = QString::fromUtf8(reinterpret_cast<const char*>(u8"汉"));
    for (const char* face : {"", "宋体", "楷体", "黑体", "微软雅黑"}) { // GBK, as templates store them
        const QByteArray faceName = *face ? qr::forms::toQString(face).toUtf8() : QByteArray("(default)");
        for (int px : {12, 14, 16}) {
            qr::forms::LogFont stored;
            stored.height = -px;
            stored.faceName = face;
            const QFont font = qr::forms::qtFont(stored);
            const QFontMetrics m(font);
            std::printf("%-10s %-6d %-24s %-24s %-24s %6d %6d %6d %6d\n", faceName.constData(), px,
                        qPrintable(QFontInfo(font).family()), qPrintable(drawingFamily(font, QStringLiteral("0"))),
                        qPrintable(drawingFamily(font, han)), m.horizontalAdvance(QLatin1Char('0')),
                        m.horizontalAdvance(QLatin1Char('G')), m.horizontalAdvance(QLatin1Char('x')),
                        m.horizontalAdvance(han));
        }
    }
    return 0;
}
