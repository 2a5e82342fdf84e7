// What the application's handlers use of the forms runtime: windows are loaded,
// looked at and destroyed by window id; components are reached by (window id,
// component id, property number); events reach handlers by handler number.
//
// Start-up:
//   qr::forms::FormsApplication app(argc, argv);     // forms_application.h
//   qr::forms::registerStandardKinds();               // the kinds library
//   qr::forms::initFormsRuntime(catalogue::templateStoreBytes());
//   qr::forms::setHandler(catalogue::startConfirm, ...);  // one per handler number
//   qr::forms::loadStartWindow(catalogue::kStartWindow);
//   return qr::forms::runMessageLoop();
//
// Misuse (a window id that is no template, a property of a component whose
// window is not loaded, ...) ends the program through the runtime error report,
// shown in a box titled "错误", with exit status 255.
#pragma once

#include "runtime/value.h"

#include <QPoint>

class QWidget;

#include <cstdint>
#include <functional>
#include <optional>
#include <span>
#include <string_view>
#include <type_traits>
#include <utility>
#include <vector>

namespace qr::forms {

// ---- start-up ------------------------------------------------------------------------

// Reads the template store once into the registry (a store that cannot be read
// ends the program with "载入窗口模板数据段出错!"), registers the window kind, and
// routes the runtime's message box and error report to Qt boxes. Call after the
// FormsApplication exists. Calling it again replaces the registry (all windows
// must be gone).
void initFormsRuntime(std::span<const std::uint8_t> templateStore);

// Loads the start window modelessly; when that fails the program ends with the
// runtime error report "载入启动窗口失败".
void loadStartWindow(std::uint32_t windowId);

// Runs the event loop until the last loaded window has been destroyed.
int runMessageLoop();

// ---- windows -------------------------------------------------------------------------

// Modeless: returns once the window is shown. Modal: returns once the window is
// gone; meanwhile the program's other windows are disabled. A loaded window is
// only restored (when minimized) or activated, and the result is true. A
// modeless load with a parent id that is not a loaded window fails. A kind that
// cannot create its component fails the load. Returns false on failure.
bool loadWindow(std::uint32_t windowId, std::optional<std::uint32_t> parentWindowId = std::nullopt, bool modal = false);

bool isLoaded(std::uint32_t windowId);

// Closes the window without asking it (events 12 and 1 are not raised). Deferred:
// the window goes when the event queue reaches the request, so the handler that
// asked keeps running on a live window. At once: before the call returns.
// A window that is not loaded is the runtime error "指定窗口或窗口组件不存在或尚未载入".
void destroyWindow(std::uint32_t windowId, bool atOnce = false);

// Destroys one component of a loaded window and removes it from the window's
// table until the window is loaded again.
void destroyComponent(std::uint32_t windowId, std::uint32_t componentId);

// The widget that shows a component of a loaded window, or the window's own widget
// for its id: for behaviour that no property reaches. Null when there is none.
QWidget* componentWidget(std::uint32_t windowId, std::uint32_t componentId);

// Marks a widget that the application adds to a window by itself (and everything
// inside it) as no component's: its input raises no events and reaches it as Qt
// delivers it, so the window's own keys (Esc closing it) do not apply there.
void keepInputOwn(QWidget* widget);

// Test support: destroys every loaded window at once, innermost modal first.
void destroyAllWindows();

// ---- properties ----------------------------------------------------------------------

// Property numbers 0 left, 1 top, 2 width, 3 height, 4 tag, 5 visible, 6 disabled,
// 7 mouse pointer; 8 and up belong to the kind. Menu items: 0 caption, 1 check
// mark, 2 disabled, 3 visible. The element index is -1 for every property here.
runtime::Value readProperty(std::uint32_t windowId, std::uint32_t componentId, int property, int element = -1);
void writeProperty(std::uint32_t windowId, std::uint32_t componentId, int property, const runtime::Value& value,
                   int element = -1);

// ---- menus and tray ----------------------------------------------------------------

// Shows the sub-items of a level-0 menu item of the window as a pop-up menu at
// the cursor + 3 pixels, or at `at` (screen coordinates), and returns when the
// menu is closed. The chosen item's click reaches its handler through the event
// queue, as a menu command does: after the handler that called this has
// returned. Nothing is shown when the item is not a level-0 item of that window
// with at least one sub-item.
void popupMenu(std::uint32_t windowId, std::uint32_t menuItemId, std::optional<QPoint> at = std::nullopt);

// The tray variant: activates the window and shows the menu right-aligned at the
// cursor - 5 pixels.
void popupTrayMenu(std::uint32_t windowId, std::uint32_t menuItemId);

// Adds or changes the window's tray icon (icon: a byte set holding an icon, cursor
// or bitmap file, or a text naming such a file); an empty icon removes it. The tip
// is cut to 62 bytes. Tray clicks raise window event 9 with 1 (left click),
// 2 (double click) or 3 (right click). Without a system tray the call succeeds
// and shows nothing.
void setTrayIcon(std::uint32_t windowId, const runtime::Value& icon, std::string_view tipGbk);

// Whether this desktop shows tray icons (GNOME without the AppIndicator extension has
// none). Nothing the program does may leave a teacher without a tray and without a
// visible window; tests walk it that way by saying the tray is missing.
bool systemTrayAvailable();
void overrideSystemTrayAvailable(std::optional<bool> available); // nothing: ask the desktop again

// ---- handlers ------------------------------------------------------------------------

struct Event {
    std::uint32_t windowId = 0;
    std::uint32_t componentId = 0;
    std::int32_t number = 0; // event number of the kind, or -1 .. -12
    std::vector<runtime::Value> args;
};

// A handler's result: none when it has nothing to say; logical false (or the
// number 0) refuses where an event asks (close requests, input events).
using EventHandler = std::function<runtime::Value(const Event&)>;

// Binds a handler number of the catalogue (catalogue::Handler) to a function.
// Replaces an earlier function; an empty function unbinds.
void setHandler(int handlerNumber, EventHandler handler);
template <class HandlerEnum>
requires std::is_enum_v<HandlerEnum>
void setHandler(HandlerEnum handlerNumber, EventHandler handler)
{
    setHandler(static_cast<int>(handlerNumber), std::move(handler));
}
void clearHandlers();

// The window and component whose event is being handled (0, 0 outside handlers).
std::uint32_t currentEventWindow();
std::uint32_t currentEventComponent();

} // namespace qr::forms
