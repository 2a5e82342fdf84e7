// Window life around the load (window_loading.cpp): showing, tearing down and
// destroying windows, and the message loop.
#include "forms/registry/accessibility.h"
#include "forms/registry/form_window.h"
#include "forms/registry/qt_text.h"
#include "forms/registry/registry_internal.h"
#include "forms/template/event_numbers.h"
#include "forms/template/template_reader.h"
#include "runtime/coding.h"
#include "runtime/error_report.h"

#include <QApplication>
#include <QEventLoop>
#include <QGuiApplication>
#include <QMenuBar>
#include <QSystemTrayIcon>

#include <algorithm>

namespace qr::forms {
namespace detail {
namespace {

using runtime::reportRuntimeError;

// Template cursor numbers as a mouse-pointer property gives them.
std::optional<Qt::CursorShape> cursorShape(const Bytes& pointer)
{
    if (pointer.size() < 4)
        return std::nullopt;
    const std::int32_t number = runtime::getI32(pointer.data());
    switch (number) {
    case 1: return Qt::ArrowCursor;
    case 2: return Qt::CrossCursor;
    case 3: return Qt::IBeamCursor;
    case 5: return Qt::SizeAllCursor;
    case 6: return Qt::SizeBDiagCursor;
    case 7: return Qt::SizeVerCursor;
    case 8: return Qt::SizeFDiagCursor;
    case 9: return Qt::SizeHorCursor;
    case 10: return Qt::UpArrowCursor;
    case 11: return Qt::WaitCursor;
    case 12: return Qt::ForbiddenCursor;
    case 13: return Qt::BusyCursor;
    case 14: return Qt::WhatsThisCursor;
    case 15: return Qt::SizeAllCursor;
    case 16: return Qt::PointingHandCursor;
    default: return std::nullopt; // 0: the kind's own cursor
    }
}

} // namespace

void bringToFront(QWidget* window)
{
    // The offscreen platform keeps no stacking order and says so on every raise.
    if (QGuiApplication::platformName() != QLatin1String("offscreen"))
        window->raise();
    window->activateWindow();
}

void applyCursor(QWidget* widget, const Bytes& pointer)
{
    if (widget == nullptr)
        return;
    if (const auto shape = cursorShape(pointer))
        widget->setCursor(*shape);
    else
        widget->unsetCursor();
}

void nameComponentWidget(QWidget* widget, const ComponentRecord& record, std::uint32_t windowId)
{
    Registry::instance().rememberWidget(widget, {windowId, record.id});
    nameWidget(widget, record.name, widget->accessibleName());
}

void showWindowRecord(std::uint32_t windowId, bool visible)
{
    LoadedWindow* live = Registry::instance().loaded(windowId);
    if (!live || !live->window)
        return;
    FormWindow* window = live->window;
    if (!visible) {
        window->hide();
        return;
    }
    const auto it = live->components.find(windowRecordId(windowId));
    const WindowSettings* settings = it != live->components.end() ? liveWindowSettings(*it->second.object) : nullptr;
    const bool sizable =
        settings && (settings->borderStyle == 1 || settings->borderStyle == 3 || settings->borderStyle == 5);
    if (settings && settings->startPosition == 2)
        window->showMinimized();
    else if (settings && settings->startPosition == 3 && sizable)
        window->showMaximized();
    else
        window->show();
    bringToFront(window);
}

bool windowsAgreeToEndSession()
{
    for (std::uint32_t windowId : Registry::instance().loadedWindowIds())
        if (raiseEvent(windowId, windowRecordId(windowId), event::kMayClose).refused())
            return false;
    return true;
}

void tearDownWindow(std::uint32_t windowId)
{
    Registry& registry = Registry::instance();
    WindowEntry* entry = registry.find(windowId);
    if (!entry || !entry->live || entry->live->tearingDown)
        return;
    LoadedWindow* live = entry->live.get();
    live->tearingDown = true;
    live->closing = true;
    raiseEvent(windowId, windowRecordId(windowId), event::kDestroyed);

    if (live->tray) {
        live->tray->hide();
        live->tray.reset();
    }
    for (std::uint32_t blocked : live->windowsBlocked)
        if (LoadedWindow* other = registry.loaded(blocked))
            other->blockedByModal = std::max(0, other->blockedByModal - 1);

    // From here the window is no longer loaded: late signals of its widgets find nothing.
    std::unique_ptr<LoadedWindow> gone = std::move(entry->live);
    // Values written while it was loaded die with it; the next load starts from the
    // table as it was when this load began.
    std::swap(entry->working, entry->snapshot);
    entry->snapshot = WindowTemplate{};

    QPointer<FormWindow> window = gone->window;
    if (window)
        window->hide();
    // Deleted from the event queue: the handler that destroyed its own window may
    // still be running inside one of these widgets.
    for (auto it = gone->components.rbegin(); it != gone->components.rend(); ++it) {
        if (QWidget* widget = it->second.object ? it->second.object->widget() : nullptr)
            registry.forgetWidget(widget);
        if (it->second.object)
            it->second.object.release()->deleteLater();
    }
    if (gone->menuBar)
        gone->menuBar->deleteLater();
    if (window) {
        registry.forgetWidget(window);
        window->deleteLater();
    }
    if (gone->modalLoop)
        gone->modalLoop->quit();
    if (registry.messageLoopRunning && registry.loadedWindowIds().empty())
        QCoreApplication::exit(0);
}

} // namespace detail

using detail::LoadedWindow;
using detail::Registry;
using detail::WindowEntry;

void initFormsRuntime(std::span<const std::uint8_t> templateStore)
{
    detail::installQtBoxes();
    registerKind(detail::windowKind());
    registerKind(detail::menuKind());
    Registry::instance().reset(loadTemplateStore(templateStore));
    if (auto* app = qobject_cast<QGuiApplication*>(QCoreApplication::instance()))
        app->setQuitOnLastWindowClosed(false); // the registry ends the loop itself
}

bool isLoaded(std::uint32_t windowId) { return Registry::instance().loaded(windowId) != nullptr; }

QWidget* componentWidget(std::uint32_t windowId, std::uint32_t componentId)
{
    LoadedWindow* live = Registry::instance().loaded(windowId);
    if (live == nullptr)
        return nullptr;
    if (componentId == windowId)
        return live->window.data();
    const auto it = live->components.find(componentId);
    return it == live->components.end() || !it->second.object ? nullptr : it->second.object->widget();
}

void destroyWindow(std::uint32_t windowId, bool atOnce)
{
    LoadedWindow* live = Registry::instance().loaded(windowId);
    if (live == nullptr)
        runtime::reportRuntimeError(detail::kTargetNotLoaded, 0, windowId, 0);
    if (atOnce) {
        detail::tearDownWindow(windowId);
        return;
    }
    if (live->closing)
        return;
    live->closing = true;
    QCoreApplication::postEvent(live->window, new QEvent(QEvent::Type(detail::FormWindow::kDestroyRequest)));
}

void destroyComponent(std::uint32_t windowId, std::uint32_t componentId)
{
    Registry& registry = Registry::instance();
    WindowEntry* entry = registry.find(windowId);
    LoadedWindow* live = entry ? entry->live.get() : nullptr;
    if (live == nullptr || !live->components.count(componentId))
        runtime::reportRuntimeError(detail::kTargetNotLoaded, 0, windowId, componentId);
    if (componentId == windowRecordId(windowId)) {
        detail::tearDownWindow(windowId);
        return;
    }
    detail::LiveComponent component = std::move(live->components.at(componentId));
    live->components.erase(componentId);
    if (QWidget* widget = component.object->widget()) {
        registry.forgetWidget(widget);
        widget->hide();
        widget->deleteLater();
    }
    component.object.release()->deleteLater();

    auto& records = entry->working.records;
    const auto it =
        std::find_if(records.begin(), records.end(), [&](const ComponentRecord& r) { return r.id == componentId; });
    if (it == records.end())
        return;
    const std::uint32_t container = it->containerId;
    records.erase(it);
    if (ComponentRecord* parent = entry->working.find(container)) {
        auto& children = parent->childIds;
        children.erase(std::remove(children.begin(), children.end(), componentId), children.end());
    }
}

void destroyAllWindows()
{
    Registry& registry = Registry::instance();
    for (;;) {
        std::vector<std::uint32_t> ids = registry.loadedWindowIds();
        if (ids.empty())
            break;
        // The latest load first, so that modal windows go before those they disabled.
        const auto latest = std::max_element(ids.begin(), ids.end(), [&](std::uint32_t a, std::uint32_t b) {
            return registry.loaded(a)->loadOrder < registry.loaded(b)->loadOrder;
        });
        detail::tearDownWindow(*latest);
    }
}

void loadStartWindow(std::uint32_t windowId)
{
    if (!loadWindow(windowId))
        runtime::reportRuntimeError(detail::kStartWindowFailed, 0, windowId, 0);
}

int runMessageLoop()
{
    Registry& registry = Registry::instance();
    if (registry.loadedWindowIds().empty())
        return 0;
    registry.messageLoopRunning = true;
    const int result = QCoreApplication::exec();
    registry.messageLoopRunning = false;
    return result;
}

} // namespace qr::forms
