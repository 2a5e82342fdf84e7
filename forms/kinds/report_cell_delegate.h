// Report-list cells drawn as the platform's report list draws them: the text two
// pixels from the cell's edges, cut with "…" only when it does not fit between
// them. Qt's item views keep three pixels a side, which cuts a 12-digit number at
// 14 pixels out of the lists' 90-pixel columns.
#pragma once

#include <QStyledItemDelegate>

namespace qr::forms::kinds {

class ReportCellDelegate : public QStyledItemDelegate {
public:
    static constexpr int kTextMargin = 2;

    using QStyledItemDelegate::QStyledItemDelegate;
    void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override;
    // As wide as the text and its margins.
    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override;
};

} // namespace qr::forms::kinds
