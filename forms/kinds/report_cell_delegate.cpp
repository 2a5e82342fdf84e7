#include "forms/kinds/report_cell_delegate.h"

#include <QApplication>
#include <QPainter>

namespace qr::forms::kinds {

void ReportCellDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const
{
    QStyleOptionViewItem cell(option);
    initStyleOption(&cell, index);
    const QString text = cell.text;
    // The style draws the background, the selection and the focus; the text is ours.
    cell.text.clear();
    const QWidget* widget = cell.widget;
    QStyle* style = widget != nullptr ? widget->style() : QApplication::style();
    style->drawControl(QStyle::CE_ItemViewItem, &cell, painter, widget);
    if (text.isEmpty())
        return;

    const QRect area = cell.rect.adjusted(kTextMargin, 0, -kTextMargin, 0);
    const QFontMetrics metrics(cell.font);
    const QString shown = metrics.elidedText(text, cell.textElideMode, area.width());
    const QPalette::ColorGroup group = !(cell.state & QStyle::State_Enabled) ? QPalette::Disabled
                                       : (cell.state & QStyle::State_Active) ? QPalette::Active
                                                                             : QPalette::Inactive;
    const QPalette::ColorRole role = (cell.state & QStyle::State_Selected) ? QPalette::HighlightedText : QPalette::Text;
    Qt::Alignment alignment = cell.displayAlignment;
    if (!(alignment & Qt::AlignVertical_Mask))
        alignment |= Qt::AlignVCenter;
    painter->save();
    painter->setFont(cell.font);
    painter->setPen(cell.palette.color(group, role));
    painter->drawText(area, int(alignment) | Qt::TextSingleLine, shown);
    painter->restore();
}

QSize ReportCellDelegate::sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const
{
    QStyleOptionViewItem cell(option);
    initStyleOption(&cell, index);
    QSize size = QStyledItemDelegate::sizeHint(option, index);
    size.setWidth(QFontMetrics(cell.font).horizontalAdvance(cell.text) + 2 * kTextMargin);
    return size;
}

} // namespace qr::forms::kinds
