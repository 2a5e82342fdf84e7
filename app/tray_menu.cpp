#include "app/tray_menu.h"

#include "app/handlers.h"
#include "runtime/gbk.h"

#include <QCursor>
#include <QMenu>

namespace qr::app {

void popupMainTrayMenu()
{
    QMenu menu;
    menu.setObjectName(QStringLiteral("系统开关"));
    QAction* open = menu.addAction(QString::fromStdU16String(runtime::gbkToUtf16("打开")));
    QAction* close = menu.addAction(QString::fromStdU16String(runtime::gbkToUtf16("关闭")));
    // Right-aligned a little left of the cursor, as tray menus open.
    const QPoint at = QCursor::pos() - QPoint(menu.sizeHint().width() + 5, 5);
    QAction* chosen = menu.exec(at);
    if (chosen == open)
        bringBackProgram();
    else if (chosen == close)
        closeProgram();
}

} // namespace qr::app
