// The registry's own state, shared by its implementation files only.
#pragma once

#include "forms/registry/component_kind.h"
#include "forms/registry/form_window.h"
#include "forms/registry/window_registry.h"
#include "forms/template/ids.h"
#include "forms/template/template_types.h"

#include <QAction>
#include <QMenuBar>
#include <QPoint>
#include <QPointer>
#include <QSize>
#include <QSystemTrayIcon>

#include <cstdint>
#include <map>
#include <memory>
#include <vector>

class QColor;
class QEventLoop;
class QWidget;

namespace qr::forms::detail {

struct LiveComponent {
    std::unique_ptr<ComponentObject> object;
    const UnitDescriptor* kind = nullptr;
};

// A loaded window: the top-level widget and every created component.
struct LoadedWindow {
    QPointer<FormWindow> window;
    std::map<std::uint32_t, LiveComponent> components; // by component id; the window's own record too
    bool closing = false;                              // a deferred destroy is pending
    bool tearingDown = false;                          // being destroyed now
    bool modal = false;
    bool loadFinished = false;                 // moves and resizes from Qt count only after the load's own
    bool activatedOnce = false;                // event::kFirstActivated raised
    int blockedByModal = 0;                    // modal windows that disabled this one
    std::vector<std::uint32_t> windowsBlocked; // other windows this modal one disabled
    QEventLoop* modalLoop = nullptr;
    QPointer<QMenuBar> menuBar;
    std::map<std::uint32_t, QPointer<QAction>> menuActions; // menu item id -> action of the menu bar
    std::unique_ptr<QSystemTrayIcon> tray;
    QPoint lastPosition; // what event::kMoved and kResized last reported
    QSize lastSize;
    int loadOrder = 0;
};

struct WindowEntry {
    WindowTemplate working;  // what the next load builds from
    WindowTemplate snapshot; // the table as it was when the current load began
    std::unique_ptr<LoadedWindow> live;
};

struct ComponentAddress {
    std::uint32_t windowId = 0;
    std::uint32_t componentId = 0;
};

class Registry {
public:
    static Registry& instance();

    void reset(TemplateStore store);
    bool initialised() const { return initialised_; }

    WindowEntry* find(std::uint32_t windowId);
    LoadedWindow* loaded(std::uint32_t windowId);
    std::vector<std::uint32_t> loadedWindowIds() const;

    // The component a widget (or one of its inner widgets) belongs to; stops at the
    // widget's own top-level window.
    std::optional<ComponentAddress> componentOf(const QWidget* widget) const;
    void rememberWidget(QWidget* widget, ComponentAddress address);
    void forgetWidget(QWidget* widget);

    std::map<int, EventHandler> handlers;
    ComponentAddress currentSource;
    bool messageLoopRunning = false;

private:
    bool initialised_ = false;
    std::vector<std::uint32_t> order_;
    std::map<std::uint32_t, WindowEntry> windows_;
};

// Runtime error messages of misuse.
inline constexpr char kWindowNotInRegistry[] = "未载入欲访问窗口组件所在的窗口";
inline constexpr char kReadNeedsLoadedWindow[] = "读取组件属性时发现指定窗口尚未载入";
inline constexpr char kWriteNeedsLoadedWindow[] = "修改组件属性时发现指定窗口尚未载入";
inline constexpr char kEventWindowNotFound[] = "未找到引发事件的窗口";
inline constexpr char kEventComponentNotFound[] = "未找到引发事件的窗口组件";
inline constexpr char kEventComponentInvalid[] = "引发事件的窗口组件无效";
inline constexpr char kStartWindowFailed[] = "载入启动窗口失败";
inline constexpr char kTargetNotLoaded[] = "指定窗口或窗口组件不存在或尚未载入";
inline constexpr char kNoSuchProperty[] = "指定的组件属性不存在";

// Window life (registry.cpp).
void tearDownWindow(std::uint32_t windowId);
void showWindowRecord(std::uint32_t windowId, bool visible);
bool windowsAgreeToEndSession();

// Window events coming from the FormWindow widget (events.cpp).
void windowActivationChanged(std::uint32_t windowId, bool active);
void windowMovedOrResized(std::uint32_t windowId, bool moved);
void windowShownOrHidden(std::uint32_t windowId, bool shown);
bool preTranslateInput(QObject* receiver, QEvent* event); // true swallows

// Menus (menus.cpp).
void buildMenuBar(std::uint32_t windowId, WindowEntry& entry, LoadedWindow& live);
runtime::Value readMenuItemProperty(const ComponentRecord& record, int property);
void writeMenuItemProperty(std::uint32_t windowId, ComponentRecord& record, int property, const runtime::Value& value);

// Window kind (window_kind.cpp).
const UnitDescriptor& windowKind();
const UnitDescriptor& menuKind();

// Message and error boxes on Qt (qt_boxes.cpp).
void installQtBoxes();

} // namespace qr::forms::detail

namespace qr::forms::detail {
// The window kind's live object (window_kind.cpp).
const WindowSettings* liveWindowSettings(const ComponentObject& windowObject);
FormWindow* formWindowOf(const ComponentObject& windowObject);
void reapplyWindowShape(ComponentObject& windowObject);
QColor qColorOf(Colour colour);
// Registry helpers shared by the loader and the property code (registry.cpp).
void applyCursor(QWidget* widget, const Bytes& pointer);
void bringToFront(QWidget* window);
void nameComponentWidget(QWidget* widget, const ComponentRecord& record, std::uint32_t windowId);
} // namespace qr::forms::detail

namespace qr::forms::detail {
// Tray (tray.cpp): a tray tip cut to what the tray shows, never inside a character.
std::string cutTip(std::string_view tip);
} // namespace qr::forms::detail
