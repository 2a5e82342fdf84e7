// Reading and writing component properties by number.
#include "forms/registry/accessibility.h"
#include "forms/registry/form_window.h"
#include "forms/registry/property_numbers.h"
#include "forms/registry/property_values.h"
#include "forms/registry/registry_internal.h"
#include "runtime/error_report.h"
#include "runtime/to_byte_set.h"
#include "runtime/to_text.h"

#include <QApplication>

namespace qr::forms {
namespace detail {
namespace {

using runtime::Value;
using enum common_property::Number;

struct Located {
    WindowEntry* entry = nullptr;
    ComponentRecord* record = nullptr;
    LiveComponent* live = nullptr; // the created component, while the window is loaded
};

Located locate(std::uint32_t windowId, std::uint32_t componentId)
{
    Located found;
    found.entry = Registry::instance().find(windowId);
    if (found.entry == nullptr)
        runtime::reportRuntimeError(kWindowNotInRegistry, 0, windowId, componentId);
    found.record = found.entry->working.find(componentId);
    if (found.record == nullptr)
        runtime::reportRuntimeError(kTargetNotLoaded, 0, windowId, componentId);
    if (LoadedWindow* live = found.entry->live.get(); live && !live->tearingDown) {
        const auto it = live->components.find(componentId);
        if (it != live->components.end() && it->second.object)
            found.live = &it->second;
    }
    return found;
}

bool isWindowRecord(std::uint32_t windowId, std::uint32_t componentId)
{
    return componentId == windowRecordId(windowId);
}

// The window record's geometry is the outer frame on the screen, as stored.
QRect windowOuterRect(const ComponentObject& object)
{
    const FormWindow* window = formWindowOf(object);
    const QSize extras = frameExtras(*liveWindowSettings(object));
    return QRect(window->pos(), window->size() + extras);
}

std::int32_t geometryPart(const QRect& r, int property)
{
    switch (property) {
    case 0: return r.x();
    case 1: return r.y();
    case 2: return r.width();
    default: return r.height();
    }
}

const PropertyDescriptor& propertyOf(const Located& found, std::uint32_t windowId, std::uint32_t componentId,
                                     int property)
{
    const UnitDescriptor* kind = found.live->kind;
    const int index = property - kFirstKindProperty;
    if (index < 0 || std::size_t(index) >= kind->properties.size())
        runtime::reportRuntimeError(kNoSuchProperty, property, windowId, componentId);
    return kind->properties[std::size_t(index)];
}

void recreate(std::uint32_t windowId, Located& found)
{
    LiveComponent& component = *found.live;
    const KindOperations& ops = component.kind->operations;
    if (!ops.currentUnitData || !ops.create)
        return;
    ComponentObject& old = *component.object;
    QWidget* oldWidget = old.widget();
    const UnitData settings = ops.currentUnitData(old);
    CreateRequest request;
    request.parent = oldWidget ? oldWidget->parentWidget() : nullptr;
    request.record = found.record;
    request.settings = &settings;
    request.geometry = found.record->rect;
    if (oldWidget)
        request.geometry = Rect{oldWidget->x(), oldWidget->y(), oldWidget->width(), oldWidget->height()};
    request.windowId = windowId;
    request.componentId = found.record->id;
    request.style = (found.record->disabled() ? create_style::kDisabled : 0u) |
                    (found.record->tabStop() ? create_style::kTabStop : 0u);
    std::unique_ptr<ComponentObject> fresh = ops.create(request);
    if (!fresh)
        return; // the old control stays as it was
    QWidget* newWidget = fresh->widget();
    const bool hadFocus = oldWidget && oldWidget->hasFocus();
    if (newWidget && oldWidget) {
        if (newWidget->parentWidget() != request.parent)
            newWidget->setParent(request.parent);
        newWidget->setGeometry(oldWidget->geometry());
        newWidget->stackUnder(oldWidget);
        if (component.kind->stateFlags & kind_flags::kMoveChildrenOnRecreate) {
            QWidget* from = old.childHost();
            QWidget* to = fresh->childHost();
            if (from && to && from != to) {
                for (QWidget* child : from->findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
                    if (!Registry::instance().componentOf(child))
                        continue;
                    const QRect geometry = child->geometry();
                    const bool shown = !child->isHidden();
                    child->setParent(to);
                    child->setGeometry(geometry);
                    child->setVisible(shown);
                }
            }
        }
        nameComponentWidget(newWidget, *found.record, windowId);
        applyCursor(newWidget, found.record->mousePointer);
        newWidget->setVisible(!oldWidget->isHidden());
        Registry::instance().forgetWidget(oldWidget);
        oldWidget->hide();
        oldWidget->deleteLater();
    }
    component.object.release()->deleteLater();
    component.object = std::move(fresh);
    if (hadFocus && newWidget)
        newWidget->setFocus();
}

void writeCommon(std::uint32_t windowId, std::uint32_t componentId, Located& found, int property, const Value& value)
{
    ComponentRecord& record = *found.record;
    QWidget* widget = found.live ? found.live->object->widget() : nullptr;
    const bool window = isWindowRecord(windowId, componentId);
    switch (property) {
    case kLeft:
    case kTop:
    case kWidth:
    case kHeight: {
        const std::int32_t v = clampGeometry(property, value);
        (property == 0   ? record.rect.left
         : property == 1 ? record.rect.top
         : property == 2 ? record.rect.width
                         : record.rect.height) = v;
        if (widget == nullptr)
            return;
        if (window) {
            FormWindow* form = formWindowOf(*found.live->object);
            if (property <= 1) {
                form->move(property == 0 ? v : form->x(), property == 1 ? v : form->y());
            } else {
                const QSize extras = frameExtras(*liveWindowSettings(*found.live->object));
                QSize inner = form->innerSize();
                (property == 2 ? inner.rwidth() : inner.rheight()) =
                    std::max(0, v - (property == 2 ? extras.width() : extras.height()));
                form->setInnerSize(inner);
                reapplyWindowShape(*found.live->object);
            }
            return;
        }
        QRect g = widget->geometry();
        if (property == 0)
            g.moveLeft(v);
        else if (property == 1)
            g.moveTop(v);
        else if (property == 2)
            g.setWidth(v);
        else
            g.setHeight(v);
        widget->setGeometry(g);
        return;
    }
    case kTag: record.tag = runtime::toText(value); return;
    case kVisible: {
        const bool visible = toPropertyValue(property_type::kLogical, value).asLogical();
        record.flags =
            visible ? (record.flags | ComponentRecord::kVisible) : (record.flags & ~ComponentRecord::kVisible);
        if (widget == nullptr)
            return;
        if (window)
            showWindowRecord(windowId, visible);
        else if (!(found.live->kind->stateFlags & kind_flags::kInvisible))
            widget->setVisible(visible);
        return;
    }
    case kDisabled: {
        const bool disabled = toPropertyValue(property_type::kLogical, value).asLogical();
        record.flags =
            disabled ? (record.flags | ComponentRecord::kDisabled) : (record.flags & ~ComponentRecord::kDisabled);
        if (widget)
            widget->setEnabled(!disabled);
        return;
    }
    case kMousePointer: {
        const runtime::ByteSet bytes = runtime::toByteSet(value);
        record.mousePointer.assign(bytes.begin(), bytes.end());
        applyCursor(widget, record.mousePointer);
        return;
    }
    default: return;
    }
}

Value readCommon(std::uint32_t windowId, std::uint32_t componentId, const Located& found, int property)
{
    const ComponentRecord& record = *found.record;
    QWidget* widget = found.live ? found.live->object->widget() : nullptr;
    switch (property) {
    case kLeft:
    case kTop:
    case kWidth:
    case kHeight: {
        if (widget == nullptr) {
            const Rect& r = record.rect;
            return Value::integer(property == 0 ? r.left : property == 1 ? r.top : property == 2 ? r.width : r.height);
        }
        const QRect r =
            isWindowRecord(windowId, componentId) ? windowOuterRect(*found.live->object) : widget->geometry();
        return Value::integer(geometryPart(r, property));
    }
    case kTag: return Value::text(record.tag);
    case kVisible: return Value::logical(widget ? widget->isVisible() : record.visible());
    case kDisabled: {
        if (widget == nullptr)
            return Value::logical(record.disabled());
        const bool blocked = isWindowRecord(windowId, componentId) && found.entry->live->blockedByModal > 0;
        return Value::logical(widget->testAttribute(Qt::WA_ForceDisabled) || blocked);
    }
    case kMousePointer: return Value::byteSet(runtime::ByteSet(record.mousePointer.begin(), record.mousePointer.end()));
    default: return {};
    }
}

} // namespace
} // namespace detail

runtime::Value readProperty(std::uint32_t windowId, std::uint32_t componentId, int property, int)
{
    detail::Located found = detail::locate(windowId, componentId);
    if (found.record->isMenuItem())
        return detail::readMenuItemProperty(*found.record, property);
    if (property >= 0 && property < kFirstKindProperty)
        return detail::readCommon(windowId, componentId, found, property);
    if (found.live == nullptr)
        runtime::reportRuntimeError(detail::kReadNeedsLoadedWindow, 0, windowId, componentId);
    const PropertyDescriptor& descriptor = detail::propertyOf(found, windowId, componentId, property);
    const auto get = found.live->kind->operations.getProperty;
    if (get == nullptr)
        return toPropertyValue(descriptor.type, {});
    return toPropertyValue(descriptor.type, get(*found.live->object, property - kFirstKindProperty));
}

void writeProperty(std::uint32_t windowId, std::uint32_t componentId, int property, const runtime::Value& value, int)
{
    detail::Located found = detail::locate(windowId, componentId);
    if (found.record->isMenuItem()) {
        detail::writeMenuItemProperty(windowId, *found.record, property, value);
        return;
    }
    if (property >= 0 && property < kFirstKindProperty) {
        detail::writeCommon(windowId, componentId, found, property, value);
        return;
    }
    if (found.live == nullptr)
        runtime::reportRuntimeError(detail::kWriteNeedsLoadedWindow, 0, windowId, componentId);
    const PropertyDescriptor& descriptor = detail::propertyOf(found, windowId, componentId, property);
    const auto set = found.live->kind->operations.setProperty;
    if (set == nullptr)
        return;
    const int answer = set(*found.live->object, property - kFirstKindProperty, toPropertyValue(descriptor.type, value));
    // The kind may have asked for a control built afresh from its settings.
    found = detail::locate(windowId, componentId);
    if (answer == 1 && found.live && !(found.live->kind->stateFlags & kind_flags::kNoRecreate))
        detail::recreate(windowId, found);
}

} // namespace qr::forms
