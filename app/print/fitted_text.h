// A text made to fit a width: broken into lines (between words, or anywhere, as
// Chinese is written) and, beyond the lines allowed, cut with an ellipsis, so a
// cell's text never runs into its neighbour.
#pragma once

#include <QFont>
#include <QString>
#include <QStringList>

class QPaintDevice;

namespace qr::print {

// At most `maxLines` lines (at least one, possibly empty) no wider than `width`
// pixels of `device`. Line breaks and tabs in the text count as blanks.
QStringList fitLines(const QString& text, const QFont& font, const QPaintDevice& device, qreal width, int maxLines);

} // namespace qr::print
