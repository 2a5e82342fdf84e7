// The window's menu from its run of menu item records: the menu bar, and pop-up
// menus built from a level-0 item's sub-items.
#include "forms/registry/form_window.h"
#include "forms/registry/property_values.h"
#include "forms/registry/qt_text.h"
#include "forms/registry/registry_internal.h"
#include "forms/template/event_numbers.h"
#include "runtime/error_report.h"
#include "runtime/to_text.h"

#include <QCursor>
#include <QMenu>
#include <QMenuBar>
#include <QTimer>

namespace qr::forms {
namespace detail {
namespace {

using runtime::Value;

const MenuItem& itemOf(const ComponentRecord& record)
{
    static const MenuItem none;
    const MenuItem* item = record.as<MenuItem>();
    return item ? *item : none;
}

void applyItemState(QAction* action, const MenuItem& item)
{
    action->setText(toQString(item.caption));
    action->setCheckable(item.checked());
    action->setChecked(item.checked());
    action->setEnabled(!item.disabled());
    action->setVisible(!item.hidden());
}

// The click goes through the event queue, as a menu command does: the handler
// that showed a pop-up menu has returned by the time the chosen item's handler runs.
void connectClick(QAction* action, std::uint32_t windowId, std::uint32_t itemId)
{
    QObject::connect(action, &QAction::triggered, action, [windowId, itemId] {
        QTimer::singleShot(0, [windowId, itemId] {
            if (Registry::instance().loaded(windowId))
                raiseEvent(windowId, itemId, event::kMenuItemClicked);
        });
    });
}

// Adds run[pos] and the items below it (deeper levels) to `menu`; returns the
// position after them.
std::size_t addItems(QMenu* menu, const std::vector<const ComponentRecord*>& run, std::size_t pos, int level,
                     std::uint32_t windowId, std::map<std::uint32_t, QPointer<QAction>>* actions)
{
    while (pos < run.size() && itemOf(*run[pos]).level >= level) {
        const ComponentRecord& record = *run[pos];
        const MenuItem& item = itemOf(record);
        const bool hasChildren = pos + 1 < run.size() && itemOf(*run[pos + 1]).level > item.level;
        QAction* action = nullptr;
        if (hasChildren) {
            QMenu* sub = menu->addMenu(toQString(item.caption));
            action = sub->menuAction();
            pos = addItems(sub, run, pos + 1, item.level + 1, windowId, actions);
        } else {
            action = menu->addAction(toQString(item.caption));
            connectClick(action, windowId, record.id);
            ++pos;
        }
        applyItemState(action, item);
        if (actions)
            (*actions)[record.id] = action;
    }
    return pos;
}

void updateMenuBarVisibility(LoadedWindow& live, const std::vector<const ComponentRecord*>& run)
{
    if (!live.menuBar || !live.window)
        return;
    bool anyShown = false;
    for (const ComponentRecord* record : run)
        if (itemOf(*record).level == 0 && !itemOf(*record).hidden())
            anyShown = true;
    if (live.menuBar->isHidden() == !anyShown)
        return;
    live.menuBar->setVisible(anyShown);
    live.window->layoutChildren(); // the menu bar's height comes and goes
}

// The level-0 item's sub-items, or none when it cannot pop up.
std::vector<const ComponentRecord*> popupItems(std::uint32_t windowId, std::uint32_t itemId)
{
    WindowEntry* entry = Registry::instance().find(windowId);
    if (entry == nullptr || !entry->live)
        runtime::reportRuntimeError(kTargetNotLoaded, 0, windowId, itemId);
    return entry->working.popupItems(itemId);
}

void execPopup(std::uint32_t windowId, const std::vector<const ComponentRecord*>& items, const QPoint& at,
               bool rightAligned)
{
    QMenu menu;
    menu.setObjectName(QStringLiteral("popupMenu"));
    addItems(&menu, items, 0, 1, windowId, nullptr);
    QPoint position = at;
    if (rightAligned)
        position.rx() -= menu.sizeHint().width();
    menu.exec(position);
}

} // namespace

void buildMenuBar(std::uint32_t windowId, WindowEntry& entry, LoadedWindow& live)
{
    const std::vector<const ComponentRecord*> run = entry.working.menuRun();
    if (run.empty() || !live.window)
        return;
    auto* bar = new QMenuBar;
    bar->setObjectName(QStringLiteral("menuBar"));
    std::size_t pos = 0;
    while (pos < run.size()) {
        const ComponentRecord& record = *run[pos];
        const MenuItem& item = itemOf(record);
        const bool hasChildren = pos + 1 < run.size() && itemOf(*run[pos + 1]).level > item.level;
        QAction* action = nullptr;
        if (hasChildren) {
            QMenu* menu = bar->addMenu(toQString(item.caption));
            action = menu->menuAction();
            pos = addItems(menu, run, pos + 1, item.level + 1, windowId, &live.menuActions);
        } else {
            action = bar->addAction(toQString(item.caption));
            connectClick(action, windowId, record.id);
            ++pos;
        }
        applyItemState(action, item);
        live.menuActions[record.id] = action;
    }
    live.menuBar = bar;
    bar->hide();
    live.window->setMenuBar(bar);
    updateMenuBarVisibility(live, run);
}

Value readMenuItemProperty(const ComponentRecord& record, int property)
{
    const MenuItem& item = itemOf(record);
    switch (property) {
    case 0: return Value::text(item.caption);
    case 1: return Value::logical(item.checked());
    case 2: return Value::logical(item.disabled());
    case 3: return Value::logical(!item.hidden());
    default: return {};
    }
}

void writeMenuItemProperty(std::uint32_t windowId, ComponentRecord& record, int property, const Value& value)
{
    MenuItem* item = record.as<MenuItem>();
    if (item == nullptr)
        return;
    const auto setBit = [&](std::int32_t bit, bool on) {
        item->flags = on ? (item->flags | bit) : (item->flags & ~bit);
    };
    const bool on = toPropertyValue(property_type::kLogical, value).asLogical();
    switch (property) {
    case 0: item->caption = runtime::toText(value); break;
    case 1: setBit(4, on); break;
    case 2: setBit(2, on); break;
    case 3: setBit(1, !on); break;
    default: return;
    }
    WindowEntry* entry = Registry::instance().find(windowId);
    LoadedWindow* live = entry ? entry->live.get() : nullptr;
    if (live == nullptr)
        return;
    const auto it = live->menuActions.find(record.id);
    if (it != live->menuActions.end() && it->second)
        applyItemState(it->second, *item);
    updateMenuBarVisibility(*live, entry->working.menuRun());
}

} // namespace detail

void popupMenu(std::uint32_t windowId, std::uint32_t menuItemId, std::optional<QPoint> at)
{
    const std::vector<const ComponentRecord*> items = detail::popupItems(windowId, menuItemId);
    if (items.empty())
        return;
    detail::execPopup(windowId, items, at ? *at : QCursor::pos() + QPoint(3, 3), false);
}

void popupTrayMenu(std::uint32_t windowId, std::uint32_t menuItemId)
{
    const std::vector<const ComponentRecord*> items = detail::popupItems(windowId, menuItemId);
    if (items.empty())
        return;
    if (detail::LoadedWindow* live = detail::Registry::instance().loaded(windowId); live && live->window)
        live->window->activateWindow();
    detail::execPopup(windowId, items, QCursor::pos() - QPoint(5, 5), true);
}

} // namespace qr::forms
