// Event delivery: from Qt input and window changes to the bound handlers.
#include "forms/registry/form_window.h"
#include "forms/registry/qt_text.h"
#include "forms/registry/registry_internal.h"
#include "forms/registry/virtual_keys.h"
#include "forms/template/event_numbers.h"
#include "runtime/error_report.h"

#include <QApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QWheelEvent>
#include <QWidget>
#include <QWindow>

namespace qr::forms {
namespace detail {
namespace {

using runtime::Value;

// The handler number bound to an event of a record, or -1.
std::int32_t boundHandler(const ComponentRecord& record, std::int32_t eventNumber)
{
    if (record.isMenuItem()) {
        const MenuItem* item = record.as<MenuItem>();
        return item ? item->clickHandler : -1;
    }
    return record.handlerFor(eventNumber);
}

EventResult raiseWindowEvent(std::uint32_t windowId, std::int32_t eventNumber, std::vector<Value> args = {})
{
    return raiseEvent(windowId, windowRecordId(windowId), eventNumber, std::move(args));
}

struct Target {
    ComponentAddress address;
    QWidget* widget = nullptr; // the component's own widget
    std::uint32_t kindFlags = 0;
};

std::optional<Target> targetOf(QObject* receiver)
{
    auto* widget = qobject_cast<QWidget*>(receiver);
    if (widget == nullptr)
        return std::nullopt;
    Registry& registry = Registry::instance();
    const std::optional<ComponentAddress> address = registry.componentOf(widget);
    if (!address)
        return std::nullopt;
    LoadedWindow* live = registry.loaded(address->windowId);
    if (live == nullptr || live->tearingDown)
        return std::nullopt;
    const auto it = live->components.find(address->componentId);
    if (it == live->components.end() || !it->second.object)
        return std::nullopt;
    // Input never ends the program: a kind that raises no events just gets none.
    if ((it->second.kind->stateFlags & (kind_flags::kRaisesEvents | kind_flags::kRaisesEvents2)) == 0)
        return std::nullopt;
    QWidget* own = it->second.object->widget();
    // The window's own events are measured in its client area.
    if (address->componentId == windowRecordId(address->windowId) && live->window)
        own = live->window->client();
    return Target{*address, own, it->second.kind->stateFlags};
}

std::vector<Value> mouseArgs(const Target& target, const QWidget* receiver, const QPointF& local,
                             Qt::KeyboardModifiers modifiers)
{
    QPoint point = local.toPoint();
    if (target.widget != nullptr && receiver != target.widget)
        point = receiver->mapTo(target.widget->window(), point) -
                target.widget->mapTo(target.widget->window(), QPoint(0, 0));
    return {Value::integer(point.x()), Value::integer(point.y()), Value::integer(keyStateOf(modifiers))};
}

// The character code a WM_CHAR would carry: the GBK code of the typed character
// (one byte, or lead byte * 256 + trail byte).
std::int32_t characterCode(const QString& text)
{
    const std::string gbk = fromQString(text);
    if (gbk.size() == 1)
        return std::uint8_t(gbk[0]);
    if (gbk.size() == 2)
        return (std::int32_t(std::uint8_t(gbk[0])) << 8) | std::uint8_t(gbk[1]);
    return 0;
}

QString characterText(std::int32_t code)
{
    std::string gbk;
    if (code > 0xFF)
        gbk = {char((code >> 8) & 0xFF), char(code & 0xFF)};
    else
        gbk = {char(code & 0xFF)};
    return toQString(gbk);
}

const WindowSettings* settingsOfWindow(std::uint32_t windowId)
{
    LoadedWindow* live = Registry::instance().loaded(windowId);
    if (live == nullptr)
        return nullptr;
    const auto it = live->components.find(windowRecordId(windowId));
    return it == live->components.end() ? nullptr : liveWindowSettings(*it->second.object);
}

bool replayingCharacter = false;

bool keyInput(const Target& target, QObject* receiver, QKeyEvent* key)
{
    if (replayingCharacter)
        return false;
    const bool press = key->type() == QEvent::KeyPress;
    const int code = virtualKeyCode(key->key(), key->modifiers());
    const std::vector<Value> args = {Value::integer(code), Value::integer(keyStateOf(key->modifiers(), key->key()))};
    if (raiseEvent(target.address.windowId, target.address.componentId, press ? event::kKeyDown : event::kKeyUp, args)
            .refused())
        return true;
    if (!press)
        return false;

    auto* widget = static_cast<QWidget*>(receiver);
    FormWindow* window = nullptr;
    if (LoadedWindow* live = Registry::instance().loaded(target.address.windowId))
        window = live->window;
    const WindowSettings* settings = settingsOfWindow(target.address.windowId);
    // The window's own keys, as a dialog manager handles them before the control.
    if (window != nullptr && settings != nullptr && widget->window() == window) {
        if (code == 0x1B && key->modifiers() == Qt::NoModifier && settings->escCloses != 0) {
            window->close();
            return true;
        }
        if (code == 0x0D && settings->enterMovesFocus != 0) {
            LoadedWindow* live = Registry::instance().loaded(target.address.windowId);
            const auto it = live->components.find(target.address.componentId);
            bool (*wants)(const ComponentObject&, int) =
                it != live->components.end() ? it->second.kind->operations.wantsKey : nullptr;
            if (wants == nullptr || !wants(*it->second.object, code)) {
                QWidget* next = QApplication::focusWidget() ? QApplication::focusWidget()->nextInFocusChain() : nullptr;
                if (next)
                    next->setFocus(Qt::TabFocusReason);
                return true;
            }
        }
    }

    // The character the key types.
    const QString text = key->text();
    if (text.isEmpty() || !Registry::instance().loaded(target.address.windowId))
        return false;
    const std::int32_t character = characterCode(text);
    if (character == 0)
        return false;
    const EventResult typed =
        raiseEvent(target.address.windowId, target.address.componentId, event::kCharacter, {Value::integer(character)});
    if (!typed.handlerRan || !typed.result.isNumeric())
        return false;
    const auto replacement = std::int32_t(typed.result.numericAsInt64());
    if (replacement == 0)
        return true;
    if (replacement == character)
        return false;
    // The replacement goes to the control as typed, without being asked about again
    // (two handlers swapping characters must not bounce them back and forth).
    QKeyEvent replaced(QEvent::KeyPress, 0, key->modifiers(), characterText(replacement));
    replayingCharacter = true;
    QCoreApplication::sendEvent(receiver, &replaced);
    replayingCharacter = false;
    return true;
}

} // namespace

void windowActivationChanged(std::uint32_t windowId, bool active)
{
    LoadedWindow* live = Registry::instance().loaded(windowId);
    if (live == nullptr || live->tearingDown)
        return;
    if (!active) {
        raiseWindowEvent(windowId, event::kDeactivated);
        return;
    }
    if (!live->activatedOnce) {
        live->activatedOnce = true;
        raiseWindowEvent(windowId, event::kFirstActivated);
        if (Registry::instance().loaded(windowId) != live)
            return;
    }
    raiseWindowEvent(windowId, event::kActivated);
}

void windowMovedOrResized(std::uint32_t windowId, bool moved)
{
    LoadedWindow* live = Registry::instance().loaded(windowId);
    if (live == nullptr || !live->loadFinished || live->tearingDown || !live->window)
        return;
    // Qt repeats the geometry when a window is first shown; only real changes count.
    if (moved) {
        if (live->window->pos() == live->lastPosition)
            return;
        live->lastPosition = live->window->pos();
        raiseWindowEvent(windowId, event::kMoved);
    } else {
        if (live->window->size() == live->lastSize)
            return;
        live->lastSize = live->window->size();
        raiseWindowEvent(windowId, event::kResized);
    }
}

void windowShownOrHidden(std::uint32_t windowId, bool shown)
{
    LoadedWindow* live = Registry::instance().loaded(windowId);
    if (live == nullptr || live->tearingDown)
        return;
    raiseWindowEvent(windowId, shown ? event::kShown : event::kHidden);
}

bool preTranslateInput(QObject* receiver, QEvent* event)
{
    switch (event->type()) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick:
    case QEvent::MouseMove:
    case QEvent::KeyPress:
    case QEvent::KeyRelease:
    case QEvent::Wheel:
    case QEvent::FocusIn:
    case QEvent::FocusOut: break;
    default: return false;
    }
    if (!Registry::instance().initialised() || runtime::runtimeErrorReportActive())
        return false;
    const std::optional<Target> target = targetOf(receiver);
    if (!target)
        return false;
    const auto raise = [&](std::int32_t number, std::vector<Value> args) {
        return raiseEvent(target->address.windowId, target->address.componentId, number, std::move(args));
    };
    const auto* widget = static_cast<QWidget*>(receiver);

    switch (event->type()) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick: {
        auto* mouse = static_cast<QMouseEvent*>(event);
        const bool left = mouse->button() == Qt::LeftButton;
        const bool right = mouse->button() == Qt::RightButton;
        std::int32_t number = 0;
        if (event->type() == QEvent::MouseButtonPress)
            number = left ? event::kLeftButtonDown : right ? event::kRightButtonDown : 0;
        else if (event->type() == QEvent::MouseButtonRelease)
            number = left ? event::kLeftButtonUp : right ? event::kRightButtonUp : 0;
        else
            number = left    ? event::kDoubleClicked
                     : right ? event::kRightButtonDown
                             : 0; // a right double-click is a second press
        if (number == 0)
            return false;
        if (raise(number, mouseArgs(*target, widget, mouse->position(), mouse->modifiers())).refused())
            return true;
        // Labels and pictures carry the window along when it can be dragged anywhere.
        if (number == event::kLeftButtonDown && (target->kindFlags & kind_flags::kDragsWindow)) {
            const WindowSettings* settings = settingsOfWindow(target->address.windowId);
            QWindow* handle = widget->window()->windowHandle();
            if (settings && settings->dragAnywhere != 0 && handle && handle->startSystemMove())
                return true;
        }
        return false;
    }
    case QEvent::MouseMove: {
        auto* mouse = static_cast<QMouseEvent*>(event);
        return raise(event::kMouseMoved, mouseArgs(*target, widget, mouse->position(), mouse->modifiers())).refused();
    }
    case QEvent::Wheel: {
        auto* wheel = static_cast<QWheelEvent*>(event);
        const std::vector<Value> args = {Value::integer(wheel->angleDelta().y() / 120),
                                         Value::integer(keyStateOf(wheel->modifiers()))};
        return raise(event::kWheel, args).refused();
    }
    case QEvent::KeyPress:
    case QEvent::KeyRelease: return keyInput(*target, receiver, static_cast<QKeyEvent*>(event));
    case QEvent::FocusIn:
    case QEvent::FocusOut:
        // Inner widgets pass focus on to their component's widget, which reports it.
        if (widget != target->widget)
            return false;
        raise(event->type() == QEvent::FocusIn ? event::kFocusGained : event::kFocusLost, {});
        return false;
    default: return false;
    }
}

} // namespace detail

using detail::Registry;

EventResult raiseEvent(std::uint32_t windowId, std::uint32_t componentId, std::int32_t eventNumber,
                       std::vector<runtime::Value> args)
{
    if (runtime::runtimeErrorReportActive())
        return {};
    Registry& registry = Registry::instance();
    detail::WindowEntry* entry = registry.find(windowId);
    if (entry == nullptr)
        runtime::reportRuntimeError(detail::kEventWindowNotFound, 0, windowId, componentId);
    if (!entry->live)
        return {};
    const ComponentRecord* record = entry->working.find(componentId);
    if (record == nullptr)
        runtime::reportRuntimeError(detail::kEventComponentNotFound, 0, windowId, componentId);
    const UnitDescriptor* kind = findKind(record->unitTypeCode);
    if (kind == nullptr || (kind->stateFlags & (kind_flags::kRaisesEvents | kind_flags::kRaisesEvents2)) == 0)
        runtime::reportRuntimeError(detail::kEventComponentInvalid, 0, windowId, componentId);

    const std::int32_t handlerNumber = detail::boundHandler(*record, eventNumber);
    if (handlerNumber < 0)
        return {};
    const auto it = registry.handlers.find(handlerNumber);
    if (it == registry.handlers.end() || !it->second)
        return {};
    // A copy: the handler may rebind handlers, or end up destroying this window.
    const EventHandler handler = it->second;
    const detail::ComponentAddress previous = registry.currentSource;
    registry.currentSource = {windowId, componentId};
    EventResult result;
    result.handlerRan = true;
    result.result = handler(Event{windowId, componentId, eventNumber, std::move(args)});
    registry.currentSource = previous;
    return result;
}

ComponentObject* findComponentObject(std::uint32_t windowId, std::uint32_t componentId)
{
    detail::LoadedWindow* live = Registry::instance().loaded(windowId);
    if (live == nullptr || live->tearingDown)
        return nullptr;
    const auto it = live->components.find(componentId);
    return it == live->components.end() ? nullptr : it->second.object.get();
}

ComponentObject& requireComponentObject(std::uint32_t windowId, std::uint32_t componentId)
{
    ComponentObject* object = findComponentObject(windowId, componentId);
    if (object == nullptr)
        runtime::reportRuntimeError(detail::kTargetNotLoaded, 0, windowId, componentId);
    return *object;
}

void setHandler(int handlerNumber, EventHandler handler)
{
    auto& handlers = Registry::instance().handlers;
    if (handler)
        handlers[handlerNumber] = std::move(handler);
    else
        handlers.erase(handlerNumber);
}

void clearHandlers() { Registry::instance().handlers.clear(); }

std::uint32_t currentEventWindow() { return Registry::instance().currentSource.windowId; }
std::uint32_t currentEventComponent() { return Registry::instance().currentSource.componentId; }

} // namespace qr::forms
