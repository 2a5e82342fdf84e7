#include "forms/registry/registry_internal.h"

#include <QVariant>
#include <QWidget>

namespace qr::forms::detail {

namespace {

// Each component widget carries its address, so that input reaching any inner
// widget (a list's viewport, a combo box's edit field) finds its component, and
// no table outlives a deleted widget. A widget the application adds on its own
// carries kOwnInputProperty instead: neither it nor its children are a component's.
constexpr const char* kWindowProperty = "qrWindowId";
constexpr const char* kComponentProperty = "qrComponentId";
constexpr const char* kOwnInputProperty = "qrOwnInput";

} // namespace

Registry& Registry::instance()
{
    static Registry registry;
    return registry;
}

void Registry::reset(TemplateStore store)
{
    windows_.clear();
    order_.clear();
    for (WindowTemplate& window : store.windows) {
        const std::uint32_t id = window.windowId;
        order_.push_back(id);
        windows_[id].working = std::move(window);
    }
    // Handlers stay bound: they belong to the application, not to the store.
    currentSource = {};
    initialised_ = true;
}

WindowEntry* Registry::find(std::uint32_t windowId)
{
    const auto it = windows_.find(windowId);
    return it == windows_.end() ? nullptr : &it->second;
}

LoadedWindow* Registry::loaded(std::uint32_t windowId)
{
    WindowEntry* entry = find(windowId);
    return entry ? entry->live.get() : nullptr;
}

std::vector<std::uint32_t> Registry::loadedWindowIds() const
{
    std::vector<std::uint32_t> ids;
    for (std::uint32_t id : order_)
        if (windows_.at(id).live)
            ids.push_back(id);
    return ids;
}

std::optional<ComponentAddress> Registry::componentOf(const QWidget* widget) const
{
    for (const QWidget* w = widget; w != nullptr; w = w->parentWidget()) {
        if (w->property(kOwnInputProperty).toBool())
            return std::nullopt;
        const QVariant window = w->property(kWindowProperty);
        if (window.isValid())
            return ComponentAddress{window.toUInt(), w->property(kComponentProperty).toUInt()};
        // A pop-up (a combo box's list) is a window of its own, as on Windows.
        if (w->isWindow())
            break;
    }
    return std::nullopt;
}

void Registry::rememberWidget(QWidget* widget, ComponentAddress address)
{
    widget->setProperty(kWindowProperty, QVariant::fromValue(address.windowId));
    widget->setProperty(kComponentProperty, QVariant::fromValue(address.componentId));
}

void Registry::forgetWidget(QWidget* widget)
{
    widget->setProperty(kWindowProperty, QVariant());
    widget->setProperty(kComponentProperty, QVariant());
}

} // namespace qr::forms::detail

namespace qr::forms {

void keepInputOwn(QWidget* widget) { widget->setProperty(detail::kOwnInputProperty, true); }

} // namespace qr::forms
