#include "app/print/contact_sheet_print.h"

#include "app/print/page_frame.h"
#include "forms/kinds/image/picture_decoder.h"

#include <QFontMetricsF>
#include <QImage>
#include <QPageSize>
#include <QPagedPaintDevice>
#include <QPainter>

#include <algorithm>

namespace qr::print {

namespace {

constexpr qreal kLabelPoints = 6.5;
constexpr qreal kValuePoints = 8;
constexpr qreal kGapMm = 2;
constexpr qreal kPaddingMm = 2.5;
constexpr qreal kRuleMm = 0.2;

// The card's fields and their labels, in the order shown.
constexpr std::array<int, 5> kCardFields = {roster::field::kName, roster::field::kSex, roster::field::kIdCard,
                                            roster::field::kGuardian1Name, roster::field::kGuardian1Phone};

std::array<const std::string*, 5> cardValues(const StudentCard& card)
{
    return {&card.name, &card.sex, &card.idCard, &card.guardian1Name, &card.guardian1Phone};
}

class SheetLayout {
public:
    SheetLayout(const QPaintDevice& device, const ContactSheet& sheet)
        : frame_(device, sheet.heading, sheet.font)
        , label_(sheet.font)
        , value_(sheet.font)
    {
        label_.setPointSizeF(kLabelPoints);
        label_.setBold(false);
        value_.setPointSizeF(kValuePoints);
        value_.setBold(false);
        gap_ = millimetres(device, kGapMm);
        padding_ = millimetres(device, kPaddingMm);
        rule_ = millimetres(device, kRuleMm);
        const QRectF area = frame_.contentArea();
        cardWidth_ = (area.width() - gap_ * (kCardColumns - 1)) / kCardColumns;
        cardHeight_ = (area.height() - gap_ * (kCardRows - 1)) / kCardRows;
        // A 3:4 passport-style frame, at most two fifths of the card's width.
        photoWidth_ = std::min(cardWidth_ * 0.4, (cardHeight_ - 2 * padding_) * 0.75);
        photoHeight_ = photoWidth_ * 4 / 3;
        for (std::size_t k = 0; k < kCardFields.size(); ++k)
            labels_[k] = fromGbk(roster::describe(kCardFields[k]).nameGbk);
    }

    int pageCount(const ContactSheet& sheet) const
    {
        return std::max<int>(1, int((sheet.cards.size() + kCardsPerPage - 1) / kCardsPerPage));
    }

    void paintPage(QPainter& painter, const ContactSheet& sheet, int page) const
    {
        frame_.paint(painter, page + 1, pageCount(sheet));
        const std::size_t first = std::size_t(page) * kCardsPerPage;
        const std::size_t end = std::min(sheet.cards.size(), first + kCardsPerPage);
        for (std::size_t k = first; k < end; ++k) {
            const int slot = int(k - first);
            const QPointF corner(frame_.contentArea().left() + (slot % kCardColumns) * (cardWidth_ + gap_),
                                 frame_.contentArea().top() + (slot / kCardColumns) * (cardHeight_ + gap_));
            paintCard(painter, sheet.cards[k], QRectF(corner, QSizeF(cardWidth_, cardHeight_)));
        }
    }

private:
    void paintCard(QPainter& painter, const StudentCard& card, const QRectF& box) const
    {
        painter.save();
        QPen pen(QColor(120, 120, 120));
        pen.setWidthF(rule_);
        painter.setPen(pen);
        painter.drawRect(box);

        const QRectF photoFrame(box.left() + padding_, box.top() + padding_, photoWidth_, photoHeight_);
        const QImage photo =
            card.photo.empty() ? QImage() : forms::decodePictureFile(card.photo.data(), card.photo.size());
        if (!photo.isNull()) {
            // Whole, in its own proportions, centred in the frame.
            QSizeF shown = QSizeF(photo.size()).scaled(photoFrame.size(), Qt::KeepAspectRatio);
            const QRectF target(photoFrame.center() - QPointF(shown.width() / 2, shown.height() / 2), shown);
            painter.drawImage(target, photo);
        }
        painter.drawRect(photoFrame);

        const qreal textLeft = photoFrame.right() + padding_;
        const qreal textWidth = std::max<qreal>(1, box.right() - padding_ - textLeft);
        const QFontMetricsF labelMetrics(label_, painter.device());
        const QFontMetricsF valueMetrics(value_, painter.device());
        const auto values = cardValues(card);
        qreal y = box.top() + padding_;
        for (std::size_t k = 0; k < kCardFields.size(); ++k) {
            painter.setPen(QColor(90, 90, 90));
            painter.setFont(label_);
            painter.drawText(QPointF(textLeft, y + labelMetrics.ascent()), labels_[k]);
            y += labelMetrics.lineSpacing();
            painter.setPen(Qt::black);
            painter.setFont(value_);
            const QString value = valueMetrics.elidedText(fromGbk(*values[k]), Qt::ElideRight, textWidth);
            painter.drawText(QPointF(textLeft, y + valueMetrics.ascent()), value);
            y += valueMetrics.lineSpacing() * 1.25;
        }
        painter.restore();
    }

    PageFrame frame_;
    QFont label_;
    QFont value_;
    std::array<QString, kCardFields.size()> labels_;
    qreal gap_ = 0, padding_ = 0, rule_ = 0;
    qreal cardWidth_ = 0, cardHeight_ = 0, photoWidth_ = 0, photoHeight_ = 0;
};

} // namespace

QPageLayout contactSheetPageLayout()
{
    return QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait, QMarginsF(10, 10, 10, 10),
                       QPageLayout::Millimeter);
}

int printContactSheet(QPagedPaintDevice& device, const ContactSheet& sheet)
{
    const SheetLayout layout(device, sheet);
    QPainter painter;
    if (!painter.begin(&device))
        return 0;
    const int pages = layout.pageCount(sheet);
    for (int p = 0; p < pages; ++p) {
        if (p > 0)
            device.newPage();
        layout.paintPage(painter, sheet, p);
    }
    painter.end();
    return pages;
}

} // namespace qr::print
