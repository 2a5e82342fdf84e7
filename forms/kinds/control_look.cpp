#include "forms/kinds/control_look.h"

#include <QApplication>
#include <QStyle>
#include <QStyleFactory>

namespace qr::forms {
namespace {

struct LookState {
    int style = 0;
    QString previousStyleName;
    QString previousSheet;
};

LookState& state()
{
    static LookState s;
    return s;
}

// Flat controls: thin single-line borders instead of sunken 3D edges. The three
// styles differ only in the border tone. The paddings leave the text the room a
// Win32 control leaves it: the templates' 56-pixel buttons hold four 12-pixel
// characters, the combo fields their items beside the drop-down arrow.
QString flatSheet(int style)
{
    const char* tone = style == 1 ? "#7a7a7a" : style == 2 ? "#5b8fd6" : "#404040";
    return QStringLiteral("QPushButton { border: 1px solid %1; border-radius: 2px; padding: 1px 2px;"
                          " background: qlineargradient(x1:0, y1:0, x2:0, y2:1, stop:0 #fdfdfd, stop:1 #e8e8e8); }"
                          "QPushButton:hover { background: #e5f1fb; }"
                          "QPushButton:pressed { background: #cce4f7; }"
                          "QComboBox { border: 1px solid %1; padding: 0px 2px; background: white; }")
        .arg(QLatin1String(tone));
}

} // namespace

bool controlLook(int style)
{
    auto* app = qobject_cast<QApplication*>(QCoreApplication::instance());
    LookState& s = state();
    if (s.style != 0) {
        if (app) {
            app->setStyleSheet(s.previousSheet);
            if (QStyle* previous = QStyleFactory::create(s.previousStyleName))
                app->setStyle(previous);
        }
        s.style = 0;
    }
    if (style < 1 || style > 3)
        return true;
    if (app) {
        // With a style sheet in force the style reports no name of its own; the
        // platform's default is what the controls go back to then.
        s.previousStyleName = app->style()->name();
        if (s.previousStyleName.isEmpty() && !QStyleFactory::keys().isEmpty())
            s.previousStyleName = QStyleFactory::keys().constFirst();
        s.previousSheet = app->styleSheet();
        if (QStyle* fusion = QStyleFactory::create(QStringLiteral("Fusion")))
            app->setStyle(fusion);
        app->setStyleSheet(s.previousSheet + flatSheet(style));
    }
    s.style = style;
    return true;
}

int currentControlLook() { return state().style; }

} // namespace qr::forms
