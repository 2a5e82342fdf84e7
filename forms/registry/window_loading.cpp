// Loading a window, phase by phase: a window already loaded is only brought to the
// front; otherwise its components are created from the working table, put into
// their containers, shown by their flags, the window is placed, and the load's own
// events run before the window shows (and, for a modal window, its loop runs).
#include "forms/registry/form_window.h"
#include "forms/registry/registry_internal.h"
#include "forms/template/event_numbers.h"

#include <QEventLoop>
#include <QGuiApplication>
#include <QScreen>
#include <QWindow>

#include <algorithm>

namespace qr::forms {
namespace detail {
namespace {

int loadCounter = 0;

std::uint32_t createStyle(const ComponentRecord& record)
{
    std::uint32_t style = 0;
    if (record.disabled())
        style |= create_style::kDisabled;
    if (record.tabStop())
        style |= create_style::kTabStop;
    return style;
}

bool bindsEvent(const ComponentRecord& record, std::int32_t eventNumber)
{
    return std::any_of(record.events.begin(), record.events.end(),
                       [&](const EventBinding& b) { return b.event == eventNumber && b.handler >= 0; });
}

// Deletes what a load built when it fails half-way (nothing of it has been shown).
void discard(LoadedWindow& live)
{
    QWidget* window = live.window;
    for (auto& [id, component] : live.components) {
        QWidget* widget = component.object ? component.object->widget() : nullptr;
        component.object.reset();
        if (widget != nullptr && widget != window)
            delete widget;
    }
    live.components.clear();
    delete window;
}

QWidget* hostFor(LoadedWindow& live, const ComponentRecord& record, QWidget* client)
{
    if (record.containerId == 0)
        return client;
    const auto it = live.components.find(record.containerId);
    if (it == live.components.end() || !it->second.object)
        return client;
    QWidget* host = it->second.object->childHost();
    return host ? host : client;
}

QPoint centredTopLeft(QSize outer)
{
    const QScreen* screen = QGuiApplication::primaryScreen();
    const QRect area = screen ? screen->availableGeometry() : QRect(0, 0, 1024, 768);
    return {area.x() + (area.width() - outer.width()) / 2, area.y() + (area.height() - outer.height()) / 2};
}

// A window that is loaded and not closing comes to the front (or out of its
// minimized state) instead of loading twice. One whose destroy is pending goes now,
// so that the load below starts afresh. True when the window needs no load.
bool revisitLoadedWindow(WindowEntry& entry, std::uint32_t windowId)
{
    LoadedWindow* live = entry.live.get();
    if (live == nullptr)
        return false;
    if (live->closing) {
        tearDownWindow(windowId);
        return false;
    }
    if (live->window) {
        if (live->window->isMinimized())
            live->window->showNormal();
        else
            bringToFront(live->window);
    }
    return true;
}

// A non-modal window named with a parent becomes the parent's transient; the parent
// must be loaded and not closing. False when it is not.
bool findParentWindow(std::optional<std::uint32_t> parentWindowId, bool modal, QPointer<FormWindow>& parentWindow)
{
    if (modal || !parentWindowId)
        return true;
    LoadedWindow* parent = Registry::instance().loaded(*parentWindowId);
    if (parent == nullptr || parent->closing || !parent->window)
        return false;
    parentWindow = parent->window;
    return true;
}

// Creates the components of one load, each through its kind, with control ids 100,
// 110, 120 ... in creation order: the window first, then the records from the last
// to the first. Menu items are no controls (the menu bar is built from them later).
class ComponentCreation {
public:
    ComponentCreation(std::uint32_t windowId, LoadedWindow& live)
        : windowId_(windowId)
        , live_(live)
    {}

    bool createWindow(const ComponentRecord& windowRecord)
    {
        if (windowRecord.kind() != UnitKind::Window || !create(windowRecord))
            return false;
        live_.window = formWindowOf(*live_.components.at(windowRecord.id).object);
        client_ = live_.window->client();
        return true;
    }

    bool createComponents(const std::vector<ComponentRecord>& records)
    {
        for (std::size_t k = records.size(); k-- > 1;) {
            if (records[k].isMenuItem())
                continue;
            if (!create(records[k]))
                return false;
        }
        return true;
    }

private:
    bool create(const ComponentRecord& record)
    {
        const UnitDescriptor* kind = findKind(record.unitTypeCode);
        if (kind == nullptr || kind->operations.create == nullptr || record.unitStatus != UnitDataStatus::Accepted)
            return false;
        CreateRequest request;
        request.parent = client_;
        request.record = &record;
        request.settings = &record.unit;
        request.geometry = record.rect;
        request.windowId = windowId_;
        request.componentId = record.id;
        request.controlId = controlId_;
        request.style = createStyle(record);
        controlId_ += 10;
        std::unique_ptr<ComponentObject> object = kind->operations.create(request);
        if (!object)
            return false;
        live_.components[record.id] = LiveComponent{std::move(object), kind};
        return true;
    }

    std::uint32_t windowId_;
    LoadedWindow& live_;
    QWidget* client_ = nullptr;
    int controlId_ = 100;
};

void nameWindow(FormWindow& window, std::uint32_t windowId, const ComponentRecord& windowRecord)
{
    window.setObjectName(QString::asprintf("0x%08X", windowId));
    window.setAccessibleName(window.windowTitle());
    Registry::instance().rememberWidget(&window, {windowId, windowRecord.id});
    applyCursor(&window, windowRecord.mousePointer);
}

// Into the containers; earlier records above later ones.
void placeIntoContainers(LoadedWindow& live, std::uint32_t windowId, const std::vector<ComponentRecord>& records)
{
    QWidget* client = live.window->client();
    for (std::size_t k = records.size(); k-- > 1;) {
        const ComponentRecord& record = records[k];
        const auto it = live.components.find(record.id);
        if (it == live.components.end())
            continue;
        QWidget* widget = it->second.object->widget();
        if (widget == nullptr)
            continue;
        QWidget* host = hostFor(live, record, client);
        if (widget->parentWidget() != host) {
            const QRect geometry = widget->geometry();
            widget->setParent(host);
            widget->setGeometry(geometry);
        }
        widget->raise();
        nameComponentWidget(widget, record, windowId);
        applyCursor(widget, record.mousePointer);
        if (bindsEvent(record, event::kMouseMoved))
            widget->setMouseTracking(true);
    }
}

// Shown by their own visible flags; members of a hidden group box stay unseen.
void showByVisibleFlags(LoadedWindow& live, const std::vector<ComponentRecord>& records)
{
    for (std::size_t k = records.size(); k-- > 1;) {
        const auto it = live.components.find(records[k].id);
        if (it == live.components.end())
            continue;
        QWidget* widget = it->second.object->widget();
        if (widget == nullptr)
            continue;
        const bool invisibleKind = (it->second.kind->stateFlags & kind_flags::kInvisible) != 0;
        widget->setVisible(records[k].visible() && !invisibleKind);
    }
}

// Everything a load builds before any handler runs; nullptr when a component
// cannot be created (nothing of it remains then).
std::unique_ptr<LoadedWindow> buildWindow(std::uint32_t windowId, WindowEntry& entry)
{
    auto live = std::make_unique<LoadedWindow>();
    const std::vector<ComponentRecord>& records = entry.working.records;
    ComponentCreation creation(windowId, *live);
    if (!creation.createWindow(records.front()))
        return nullptr;
    if (!creation.createComponents(records)) {
        discard(*live);
        return nullptr;
    }
    nameWindow(*live->window, windowId, records.front());
    placeIntoContainers(*live, windowId, records);
    showByVisibleFlags(*live, records);
    buildMenuBar(windowId, entry, *live);
    return live;
}

// Where the window opens (as stored, or centred on the screen), whom it stays above,
// its modality, and the geometry that later move and resize events compare against.
void placeWindow(LoadedWindow& live, const ComponentRecord& windowRecord, const QPointer<FormWindow>& parentWindow,
                 bool modal)
{
    FormWindow* window = live.window;
    const WindowSettings* settings = liveWindowSettings(*live.components.at(windowRecord.id).object);
    const QSize outer = window->innerSize() + frameExtras(*settings);
    window->move(settings->startPosition == 0 ? QPoint(windowRecord.rect.left, windowRecord.rect.top)
                                              : centredTopLeft(outer));
    if (parentWindow && parentWindow->windowHandle()) {
        window->winId();
        window->windowHandle()->setTransientParent(parentWindow->windowHandle());
    }
    if (modal)
        window->setWindowModality(Qt::ApplicationModal);
    live.modal = modal;
    live.lastPosition = window->pos();
    live.lastSize = window->size();
    live.loadOrder = ++loadCounter;
}

// Installs the window as loaded and raises created, moved and resized. A handler may
// destroy the window; the remaining events and the rest of the load then stop.
// Returns the installed window, or nullptr when a handler destroyed it.
LoadedWindow* installAndAnnounce(std::uint32_t windowId, WindowEntry& entry, std::unique_ptr<LoadedWindow> live,
                                 std::uint32_t self)
{
    Registry& registry = Registry::instance();
    LoadedWindow* const installed = live.get();
    entry.live = std::move(live);
    for (const std::int32_t number : {event::kCreated, event::kMoved, event::kResized}) {
        if (registry.loaded(windowId) != installed)
            return nullptr;
        raiseEvent(windowId, self, number);
    }
    if (registry.loaded(windowId) != installed)
        return nullptr;
    installed->loadFinished = true;
    return installed;
}

// A modal window disables every other loaded window until it goes.
void blockOtherWindows(std::uint32_t windowId, LoadedWindow& installed)
{
    Registry& registry = Registry::instance();
    for (std::uint32_t other : registry.loadedWindowIds()) {
        if (other == windowId)
            continue;
        registry.loaded(other)->blockedByModal += 1;
        installed.windowsBlocked.push_back(other);
    }
}

// The window record is read from the working table: the load's handlers may have
// changed the visible flag.
void showWhenVisible(std::uint32_t windowId, std::uint32_t self)
{
    const ComponentRecord* own = Registry::instance().find(windowId)->working.find(self);
    if (own && own->visible())
        showWindowRecord(windowId, true);
}

// Runs until the window is destroyed; `installed` is gone when this returns.
void runModalLoop(LoadedWindow& installed)
{
    QEventLoop loop;
    installed.modalLoop = &loop;
    loop.exec(QEventLoop::DialogExec);
}

} // namespace
} // namespace detail

bool loadWindow(std::uint32_t windowId, std::optional<std::uint32_t> parentWindowId, bool modal)
{
    using namespace detail;
    Registry& registry = Registry::instance();
    WindowEntry* entry = registry.find(windowId);
    if (entry == nullptr)
        return false;
    if (revisitLoadedWindow(*entry, windowId))
        return true;
    QPointer<FormWindow> parentWindow;
    if (!findParentWindow(parentWindowId, modal, parentWindow))
        return false;

    // Values written while this load lasts are undone when it ends (tearDownWindow).
    entry->snapshot = entry->working;
    if (entry->working.records.empty())
        return false;
    std::unique_ptr<LoadedWindow> live = buildWindow(windowId, *entry);
    if (!live)
        return false;
    const ComponentRecord& windowRecord = entry->working.records.front();
    const std::uint32_t self = windowRecord.id;
    placeWindow(*live, windowRecord, parentWindow, modal);

    LoadedWindow* installed = installAndAnnounce(windowId, *entry, std::move(live), self);
    if (installed == nullptr)
        return true;
    if (modal)
        blockOtherWindows(windowId, *installed);
    showWhenVisible(windowId, self);
    if (modal && registry.loaded(windowId) == installed)
        runModalLoop(*installed);
    return true;
}

} // namespace qr::forms
