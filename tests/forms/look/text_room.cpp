#include "text_room.h"

#include <QAbstractItemDelegate>
#include <QComboBox>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStyle>
#include <QStyleOptionButton>
#include <QStyleOptionComboBox>
#include <QStyleOptionFrame>
#include <QStyleOptionGroupBox>
#include <QStyleOptionHeader>
#include <QStyleOptionViewItem>
#include <QTableView>
#include <QToolButton>

namespace qr::forms::testing {
namespace {

// QLineEdit keeps one pixel on each side of its text and one more for the cursor
// behind the last character; a text wider than that scrolls, and its start is cut.
constexpr int kLineEditMargin = 1;
constexpr int kLineEditCursor = 1;
// A combo box draws its current text one pixel inside the edit field.
constexpr int kComboLabelInset = 1;

int advance(const QWidget& w, const QString& text) { return w.fontMetrics().horizontalAdvance(text); }

QString nameOf(const QWidget& w)
{
    return w.objectName().isEmpty() ? QString::fromLatin1(w.metaObject()->className()) : w.objectName();
}

class Collector {
public:
    void check(const QString& where, const QString& text, int needed, int room)
    {
        if (needed > room)
            cuts.push_back({where, text, needed, room});
    }
    // The ink of a single line of text placed in `area` as QPainter places it for the
    // vertical alignment: nothing of the glyphs may stick out above or below. (The
    // line's own height may exceed the area where the font's leading is blank.)
    void checkInk(const QString& where, const QString& text, const QFontMetrics& metrics, const QRect& area,
                  Qt::Alignment alignment)
    {
        int lineTop = area.top();
        if (alignment & Qt::AlignVCenter)
            lineTop = area.top() + (area.height() - metrics.height()) / 2;
        else if (alignment & Qt::AlignBottom)
            lineTop = area.bottom() + 1 - metrics.height();
        const QRect ink = metrics.tightBoundingRect(text).translated(0, lineTop + metrics.ascent());
        check(where + QStringLiteral(" (ink above)"), text, area.top() - ink.top(), 0);
        check(where + QStringLiteral(" (ink below)"), text, ink.bottom() - area.bottom(), 0);
    }
    std::vector<TextCut> cuts;
};

void checkButton(Collector& c, QPushButton& b)
{
    if (b.text().isEmpty())
        return;
    QStyleOptionButton option;
    option.initFrom(&b);
    option.text = b.text();
    option.icon = b.icon();
    option.iconSize = b.iconSize();
    if (b.isDefault())
        option.features |= QStyleOptionButton::DefaultButton;
    const QRect contents = b.style()->subElementRect(QStyle::SE_PushButtonContents, &option, &b);
    c.check(nameOf(b), b.text(), advance(b, b.text()), contents.width());
    c.checkInk(nameOf(b), b.text(), b.fontMetrics(), contents, Qt::AlignVCenter);
}

void checkLineEdit(Collector& c, QLineEdit& e)
{
    // A combo box's own edit field is the combo box's business.
    if (qobject_cast<QComboBox*>(e.parentWidget()) != nullptr || e.text().isEmpty())
        return;
    QStyleOptionFrame option;
    option.initFrom(&e);
    option.rect = e.contentsRect();
    option.lineWidth = e.hasFrame() ? e.style()->pixelMetric(QStyle::PM_DefaultFrameWidth, &option, &e) : 0;
    option.midLineWidth = 0;
    option.state |= QStyle::State_Sunken;
    const QRect contents =
        e.style()->subElementRect(QStyle::SE_LineEditContents, &option, &e).marginsRemoved(e.textMargins());
    const int room = contents.width() - 2 * kLineEditMargin;
    c.check(nameOf(e), e.text(), advance(e, e.text()) + kLineEditCursor, room);
    c.checkInk(nameOf(e), e.text(), e.fontMetrics(), contents, Qt::AlignVCenter);
}

void checkCombo(Collector& c, QComboBox& box)
{
    QStyleOptionComboBox option;
    option.initFrom(&box);
    option.editable = box.isEditable();
    option.frame = box.hasFrame();
    option.subControls = QStyle::SC_All;
    option.currentText = box.currentText();
    const QRect field = box.style()->subControlRect(QStyle::CC_ComboBox, &option, QStyle::SC_ComboBoxEditField, &box);
    const int room = field.width() - 2 * kComboLabelInset;
    // Any item can become the current one.
    for (int i = 0; i < box.count(); ++i)
        c.check(QStringLiteral("%1 item %2").arg(nameOf(box)).arg(i), box.itemText(i), advance(box, box.itemText(i)),
                room);
    if (!box.currentText().trimmed().isEmpty())
        c.checkInk(nameOf(box), box.currentText(), box.fontMetrics(), field, Qt::AlignVCenter);
}

void checkLabel(Collector& c, QLabel& label)
{
    const QString text = label.text();
    if (text.trimmed().isEmpty() || label.textFormat() == Qt::RichText)
        return;
    const QRect contents =
        label.contentsRect().adjusted(label.margin(), label.margin(), -label.margin(), -label.margin());
    const int indent = std::max(0, label.indent());
    if (label.wordWrap()) {
        c.check(nameOf(label) + QStringLiteral(" (wrapped height)"), text, label.heightForWidth(label.width()),
                label.height());
        return;
    }
    c.check(nameOf(label), text, advance(label, text), contents.width() - indent);
    c.checkInk(nameOf(label), text, label.fontMetrics(), contents, label.alignment());
}

void checkGroupBox(Collector& c, QGroupBox& box)
{
    if (box.title().isEmpty())
        return;
    QStyleOptionGroupBox option;
    option.initFrom(&box);
    option.text = box.title();
    option.lineWidth = 1;
    option.subControls = QStyle::SC_GroupBoxFrame | QStyle::SC_GroupBoxLabel;
    const QRect label = box.style()->subControlRect(QStyle::CC_GroupBox, &option, QStyle::SC_GroupBoxLabel, &box);
    c.check(nameOf(box), box.title(), label.left() + advance(box, box.title()), box.width());
}

void checkToolButton(Collector& c, QToolButton& b)
{
    const QWidget* bar = b.parentWidget();
    // A tool button draws its caption inside the style's frame width; a button pushed
    // past the bar's edge is cut by the bar.
    const int frame = b.style()->pixelMetric(QStyle::PM_DefaultFrameWidth, nullptr, &b);
    if (!b.text().isEmpty())
        c.check(nameOf(b), b.text(), advance(b, b.text()), b.width() - 2 * frame);
    if (bar != nullptr)
        c.check(nameOf(b) + QStringLiteral(" (in its bar)"), b.text(), b.geometry().right() + 1, bar->width());
}

void checkList(Collector& c, QTableView& view, const std::set<int>& wholeColumns)
{
    if (const QWidget* parent = view.parentWidget()) {
        c.check(nameOf(view) + QStringLiteral(" (right edge)"), QString(), view.geometry().right() + 1,
                parent->width());
        c.check(nameOf(view) + QStringLiteral(" (bottom edge)"), QString(), view.geometry().bottom() + 1,
                parent->height());
    }
    const QAbstractItemModel* model = view.model();
    QHeaderView* header = view.horizontalHeader();
    for (int column = 0; column < model->columnCount(); ++column) {
        QStyleOptionHeader option;
        option.initFrom(header);
        // The sections are painted on the header's viewport, in its font.
        option.fontMetrics = header->viewport()->fontMetrics();
        option.text = model->headerData(column, Qt::Horizontal).toString();
        option.section = column;
        option.textAlignment = Qt::AlignCenter;
        option.orientation = Qt::Horizontal;
        const QSize needed = header->style()->sizeFromContents(QStyle::CT_HeaderSection, &option, QSize(), header);
        c.check(QStringLiteral("%1 header %2").arg(nameOf(view)).arg(column), option.text, needed.width(),
                header->sectionSize(column));
    }
    QAbstractItemDelegate* delegate = view.itemDelegate();
    for (int row = 0; row < model->rowCount(); ++row) {
        for (int column : wholeColumns) {
            if (column >= model->columnCount())
                continue;
            const QModelIndex index = model->index(row, column);
            QStyleOptionViewItem option;
            option.initFrom(view.viewport());
            option.widget = &view;
            option.font = view.font();
            option.fontMetrics = view.fontMetrics();
            option.textElideMode = view.textElideMode();
            option.rect = view.visualRect(index);
            c.check(QStringLiteral("%1 row %2 column %3").arg(nameOf(view)).arg(row).arg(column),
                    model->data(index).toString(), delegate->sizeHint(option, index).width(), option.rect.width());
        }
    }
}

} // namespace

std::vector<TextCut> cutTexts(QWidget& window, const std::set<int>& wholeColumns)
{
    Collector c;
    for (QWidget* w : window.findChildren<QWidget*>()) {
        if (auto* b = qobject_cast<QPushButton*>(w))
            checkButton(c, *b);
        else if (auto* e = qobject_cast<QLineEdit*>(w))
            checkLineEdit(c, *e);
        else if (auto* box = qobject_cast<QComboBox*>(w))
            checkCombo(c, *box);
        else if (auto* label = qobject_cast<QLabel*>(w))
            checkLabel(c, *label);
        else if (auto* group = qobject_cast<QGroupBox*>(w))
            checkGroupBox(c, *group);
        else if (auto* tool = qobject_cast<QToolButton*>(w))
            checkToolButton(c, *tool);
        else if (auto* view = qobject_cast<QTableView*>(w))
            checkList(c, *view, wholeColumns);
    }
    return c.cuts;
}

} // namespace qr::forms::testing
