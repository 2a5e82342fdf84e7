#include "app/print/page_frame.h"

#include "runtime/gbk.h"

#include <QFontMetricsF>
#include <QLocale>
#include <QPaintDevice>
#include <QPainter>

namespace qr::print {

namespace {

QFont sized(QFont font, qreal points, bool bold = false)
{
    font.setPointSizeF(points);
    font.setBold(bold);
    return font;
}

constexpr qreal kTitlePoints = 14;
constexpr qreal kDatePoints = 9;
constexpr qreal kFooterPoints = 8;
constexpr qreal kBandGapMm = 2.5;

} // namespace

QString fromGbk(std::string_view gbk)
{
    const std::u16string utf16 = runtime::gbkToUtf16(gbk);
    return QString::fromUtf16(utf16.data(), qsizetype(utf16.size()));
}

qreal millimetres(const QPaintDevice& device, qreal mm) { return mm * device.logicalDpiX() / 25.4; }

QString pageNumberText(int page, int pageCount)
{
    return QString::fromUtf8(u8"第 %1 页，共 %2 页").arg(page).arg(pageCount);
}

PageFrame::PageFrame(const QPaintDevice& device, const PageHeading& heading, const QFont& font)
    : page_(0, 0, device.width(), device.height())
    , title_(fromGbk(heading.titleGbk))
    , date_(QLocale::c().toString(heading.date, QString::fromUtf8(u8"yyyy年M月d日")))
    , titleFont_(sized(font, kTitlePoints, true))
    , dateFont_(sized(font, kDatePoints))
    , footerFont_(sized(font, kFooterPoints))
{
    const qreal gap = millimetres(device, kBandGapMm);
    titleHeight_ = QFontMetricsF(titleFont_, &device).height();
    footerHeight_ = QFontMetricsF(footerFont_, &device).height();
    content_ = page_.adjusted(0, titleHeight_ + gap, 0, -(footerHeight_ + gap));
}

void PageFrame::paint(QPainter& painter, int page, int pageCount) const
{
    painter.save();
    const QRectF titleBand(page_.left(), page_.top(), page_.width(), titleHeight_);
    painter.setFont(dateFont_);
    const qreal dateWidth = QFontMetricsF(dateFont_, painter.device()).horizontalAdvance(date_);
    painter.drawText(titleBand, Qt::AlignRight | Qt::AlignBottom, date_);
    painter.setFont(titleFont_);
    const QRectF titleRoom = titleBand.adjusted(0, 0, -(dateWidth + millimetres(*painter.device(), 5)), 0);
    const QString title =
        QFontMetricsF(titleFont_, painter.device()).elidedText(title_, Qt::ElideRight, titleRoom.width());
    painter.drawText(titleRoom, Qt::AlignLeft | Qt::AlignBottom, title);

    const QRectF footerBand(page_.left(), page_.bottom() - footerHeight_, page_.width(), footerHeight_);
    painter.setFont(footerFont_);
    painter.drawText(footerBand, Qt::AlignHCenter | Qt::AlignBottom, pageNumberText(page, pageCount));
    painter.restore();
}

} // namespace qr::print
