#include "app/print/fitted_text.h"

#include <QFontMetricsF>
#include <QTextLayout>
#include <QTextOption>

namespace qr::print {

QStringList fitLines(const QString& text, const QFont& font, const QPaintDevice& device, qreal width, int maxLines)
{
    QString flat = text;
    for (QChar& c : flat)
        if (c == u'\n' || c == u'\r' || c == u'\t')
            c = u' ';
    flat = flat.trimmed();
    if (flat.isEmpty() || maxLines < 1)
        return {QString()};

    QTextLayout layout(flat, font, &device);
    QTextOption option;
    option.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    layout.setTextOption(option);
    QStringList lines;
    int restStart = -1;
    layout.beginLayout();
    for (QTextLine line = layout.createLine(); line.isValid(); line = layout.createLine()) {
        line.setLineWidth(width);
        if (lines.size() == maxLines - 1) {
            restStart = line.textStart();
            break;
        }
        lines << flat.mid(line.textStart(), line.textLength()).trimmed();
    }
    layout.endLayout();
    if (restStart >= 0) {
        // The last line allowed takes the rest of the text, cut to the width.
        const QFontMetricsF metrics(font, &device);
        lines << metrics.elidedText(flat.mid(restStart).trimmed(), Qt::ElideRight, width);
    }
    return lines;
}

} // namespace qr::print
