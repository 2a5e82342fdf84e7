// How much room each kind of control gives its text and how much the text needs,
// measured with the control's own font and style the way the control lays the text
// out (the content rectangles the style reports, less the margins the Qt widget
// keeps inside them).
#pragma once

#include <QString>
#include <QWidget>

#include <set>
#include <vector>

namespace qr::forms::testing {

struct TextCut {
    QString where; // component (and cell) name
    QString text;
    int needed = 0;
    int room = 0;
};

// Every text inside `window` that needs more room than its control gives it:
// button captions, edit box contents, every item of a combo box, label and group
// box captions, toolbar buttons, report-list headers, and the cells of the
// report-list columns in `wholeColumns` (columns meant to cut their values are left
// out). A report list reaching past its parent's right or bottom edge counts too,
// as its scroll bars are cut there.
std::vector<TextCut> cutTexts(QWidget& window, const std::set<int>& wholeColumns);

} // namespace qr::forms::testing
