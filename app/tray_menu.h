// The main window's tray menu. The forms layer pops up only menus of the window
// itself, and the main window's template has no tray menu (the start window's
// 系统开关, with 打开 and 关闭, is gone once the class is confirmed), so the
// application builds the same two items here.
#pragma once

namespace qr::app {

// Shows 打开 and 关闭 at the cursor; 打开 brings the program back, 关闭 ends it.
// Returns once the menu is closed and the chosen action ran.
void popupMainTrayMenu();

} // namespace qr::app
