// The main window: the roster list, its toolbar and row menu, delete into the
// recycle store and clearing the roster.
#include "app/app_paths.h"
#include "app/catalogue/catalogue.h"
#include "app/component_ids.h"
#include "app/find_box.h"
#include "app/handlers.h"
#include "app/messages.h"
#include "app/print_preview.h"
#include "app/store_safety.h"
#include "app/store_session.h"
#include "app/student_list.h"
#include "app/tray_menu.h"
#include "forms/kinds/report_list_ops.h"
#include "store/commands.h"

namespace qr::app {

namespace {

constexpr std::string_view kProductTitle = "Quillroll";
constexpr std::string_view kTrayTip = "Quillroll";

enum ToolbarEntry {
    kClearEntry = 0,
    kShowAllEntry = 1,
    kAddEntry = 2,
    kModifyEntry = 3,
    kDeleteEntry = 4,
    kImportEntry = 5,
    kExportEntry = 6,
    kDeletedEntry = 7,
    kAboutEntry = 8,
    kExitEntry = 9,
};

void viewSelected() { openDetailView(); }

void deleteSelected()
{
    const int row = selectedRow(kMainWindow, main_window::kList);
    if (row < 0) {
        notify(text::kNothingToDelete);
        return;
    }
    if (!askYes(text::kAskDelete, text::kAskTitle))
        return;
    if (!moveStudent(rosterStorePath(), recycleStorePath(), row + 1)) {
        notify(text::kMoveFailed, flags::kIconExclamation);
        return;
    }
    showAll();
}

void clearRoster()
{
    if (!confirmClear() || !backUpBeforeIrreversible())
        return;
    bool cleared = false;
    {
        RosterStore roster(rosterStorePath());
        cleared = roster.isOpen() && roster.clear();
    }
    if (!cleared) {
        notify(text::kNotSaved, flags::kIconExclamation);
        return;
    }
    forms::report_list::deleteAllRows(kMainWindow, main_window::kList);
    notify(text::kCleared);
}

} // namespace

void showAll()
{
    if (!forms::isLoaded(kMainWindow))
        return;
    const auto count = fillListFromStore(kMainWindow, main_window::kList, rosterStorePath());
    // A roster that cannot be opened is not an empty class: typing students into it
    // would only fail.
    if (!count && reportUnopenableStore(StoreKind::Roster))
        return;
    if (count.value_or(0) == 0)
        notify(text::kNoStudents, flags::kIconExclamation, text::kNoStudentsTitle);
}

Text mainWindowClassName()
{
    Text caption = forms::readProperty(kMainWindow, windowComponent(kMainWindow), property::kWindowCaption).asText();
    if (caption.ends_with(kProductTitle))
        caption.resize(caption.size() - kProductTitle.size());
    return caption;
}

Value mainWindowLoaded(const Event&)
{
    Text caption;
    if (forms::isLoaded(kStartWindow)) {
        caption = forms::readProperty(kStartWindow, start_window::kClassEdit, property::kEditContent).asText();
        forms::writeProperty(kStartWindow, windowComponent(kStartWindow), property::kVisible, Value::logical(false));
    }
    caption += kProductTitle;
    forms::writeProperty(kMainWindow, windowComponent(kMainWindow), property::kWindowCaption, Value::text(caption));
    const auto icon = catalogue::programIconBytes();
    forms::setTrayIcon(kMainWindow, Value::byteSet(runtime::ByteSet(icon.begin(), icon.end())), kTrayTip);
    installFindBox(kMainWindow, main_window::kList);
    installPrinting(kMainWindow);
    showAll();
    return {};
}

Value mainWindowTray(const Event& event)
{
    switch (eventArgument(event)) {
    case 1: forms::loadWindow(kMainWindow); break;
    case 3: popupMainTrayMenu(); break;
    default: break;
    }
    return {};
}

Value mainToolbar(const Event& event)
{
    switch (eventArgument(event)) {
    case kClearEntry: clearRoster(); break;
    case kShowAllEntry: showAll(); break;
    case kAddEntry: forms::loadWindow(kAddForm, std::nullopt, true); break;
    case kModifyEntry: openModifyForm(); break;
    case kDeleteEntry: deleteSelected(); break;
    case kImportEntry: importRoster(); break;
    case kExportEntry: exportRoster(); break;
    case kDeletedEntry: forms::loadWindow(kDeletedWindow); break;
    case kAboutEntry: openAboutWindow(); break;
    case kExitEntry: forms::destroyWindow(kMainWindow); break;
    default: break; // entries 10 and 11 have no action
    }
    return {};
}

Value mainListMenu(const Event&)
{
    forms::popupMenu(kMainWindow, main_window::kRowMenu);
    return {};
}

Value mainViewSelected(const Event&)
{
    viewSelected();
    return {};
}

Value mainModifySelected(const Event&)
{
    openModifyForm();
    return {};
}

Value mainDeleteSelected(const Event&)
{
    deleteSelected();
    return {};
}

Value mainShowAll(const Event&)
{
    showAll();
    return {};
}

Value mainAdd(const Event&)
{
    forms::loadWindow(kAddForm, std::nullopt, true);
    return {};
}

Value mainOpenDeleted(const Event&)
{
    forms::loadWindow(kDeletedWindow);
    return {};
}

Value mainClearRoster(const Event&)
{
    clearRoster();
    return {};
}

} // namespace qr::app
