#include "app/find_box.h"

#include "app/component_ids.h"

#include "forms/kinds/report_list_ops.h"
#include "forms/registry/qt_text.h"
#include "forms/registry/window_registry.h"
#include "roster/columns.h"
#include "roster/student_fields.h"

#include <QAbstractItemView>
#include <QKeyEvent>
#include <QLineEdit>
#include <QShortcut>

#include <array>

namespace qr::app {

namespace {

// The columns searched: 姓名, 身份证号, 学籍辅号, 全国学号.
constexpr std::array<std::size_t, 4> kSearchedColumns = {1, 11, 6, 7};
static_assert(roster::columnField(1) == roster::field::kName && roster::columnField(11) == roster::field::kIdCard &&
              roster::columnField(6) == roster::field::kRegisterNumber &&
              roster::columnField(7) == roster::field::kNationalNumber);

constexpr int kBoxWidth = 180;

class FindBox : public QLineEdit {
public:
    FindBox(std::uint32_t windowId, std::uint32_t listId, QAbstractItemView* list)
        : QLineEdit(list)
        , windowId_(windowId)
        , listId_(listId)
        , list_(list)
    {
        setObjectName(forms::toQString(kFindBoxName));
        setAccessibleName(forms::toQString("查找"));
        setPlaceholderText(forms::toQString("姓名、身份证号、学籍辅号或全国学号"));
        setClearButtonEnabled(true);
        hide();
        connect(this, &QLineEdit::textEdited, this, [this] { selectMatch(0); });
        // The box's keys and clicks are its own: the list it sits on must not take
        // them (a double click there opens a student, Esc closes the window).
        forms::keepInputOwn(this);
    }

    void open()
    {
        const QRect area = list_->viewport()->geometry();
        resize(std::min(kBoxWidth, area.width()), sizeHint().height());
        move(area.right() - width() - 4, area.top() + 4);
        show();
        raise();
        setFocus(Qt::ShortcutFocusReason);
        selectAll();
    }

protected:
    void keyPressEvent(QKeyEvent* event) override
    {
        switch (event->key()) {
        case Qt::Key_Escape:
            hide();
            list_->setFocus(Qt::OtherFocusReason);
            return;
        case Qt::Key_Return:
        case Qt::Key_Enter: selectMatch(forms::report_list::currentRow(windowId_, listId_) + 1); return;
        default: QLineEdit::keyPressEvent(event);
        }
    }

private:
    bool matches(int row, const QString& wanted) const
    {
        for (std::size_t column : kSearchedColumns) {
            const QString cell =
                forms::toQString(forms::report_list::cellText(windowId_, listId_, row, static_cast<int>(column)));
            if (cell.contains(wanted, Qt::CaseInsensitive))
                return true;
        }
        return false;
    }

    // Selects the first matching row from `start` on, round to the top; the
    // selection stays as it is when nothing matches.
    void selectMatch(int start)
    {
        const QString wanted = text();
        const int rows = forms::report_list::rowCount(windowId_, listId_);
        bool found = false;
        if (!wanted.isEmpty() && rows > 0) {
            for (int k = 0; k < rows && !found; ++k) {
                const int row = (std::max(start, 0) + k) % rows;
                if (matches(row, wanted)) {
                    forms::writeProperty(windowId_, listId_, property::kListCurrentRow, runtime::Value::integer(row));
                    found = true;
                }
            }
        }
        setStyleSheet(found || wanted.isEmpty() ? QString() : QStringLiteral("QLineEdit { color: #c00000; }"));
    }

    std::uint32_t windowId_;
    std::uint32_t listId_;
    QAbstractItemView* list_;
};

} // namespace

void installFindBox(std::uint32_t windowId, std::uint32_t listId)
{
    QWidget* window = forms::componentWidget(windowId, windowId);
    auto* list = qobject_cast<QAbstractItemView*>(forms::componentWidget(windowId, listId));
    if (window == nullptr || list == nullptr || list->findChild<FindBox*>() != nullptr)
        return;
    auto* box = new FindBox(windowId, listId, list);
    auto* shortcut = new QShortcut(QKeySequence::Find, window);
    shortcut->setContext(Qt::WindowShortcut);
    QObject::connect(shortcut, &QShortcut::activated, box, &FindBox::open);
}

} // namespace qr::app
