// The deleted-students window: the recycle store listed, restore and purge.
#include "app/app_paths.h"
#include "app/component_ids.h"
#include "app/find_box.h"
#include "app/handlers.h"
#include "app/messages.h"
#include "app/store_safety.h"
#include "app/store_session.h"
#include "app/student_list.h"
#include "forms/kinds/report_list_ops.h"
#include "store/commands.h"

namespace qr::app {

namespace {

enum ToolbarEntry { kClearEntry = 0, kRestoreEntry = 1, kCloseEntry = 2 };

void listDeletedStudents()
{
    if (!fillListFromStore(kDeletedWindow, deleted_window::kList, recycleStorePath()))
        reportUnopenableStore(StoreKind::Recycle);
}

void restoreSelected()
{
    const int row = selectedRow(kDeletedWindow, deleted_window::kList);
    if (row < 0) {
        notify(text::kNothingToRestore);
        return;
    }
    if (!askYes(text::kAskRestore, text::kAskTitle))
        return;
    if (!moveStudent(recycleStorePath(), rosterStorePath(), row + 1)) {
        notify(text::kMoveFailed, flags::kIconExclamation);
        return;
    }
    listDeletedStudents();
    // This window outlives the main window; without it there is no list to refresh.
    showAll();
}

void clearRecycleStore()
{
    if (!confirmClear() || !backUpBeforeIrreversible())
        return;
    bool cleared = false;
    {
        RosterStore recycle(recycleStorePath());
        cleared = recycle.isOpen() && recycle.clear();
    }
    if (!cleared) {
        notify(text::kNotSaved, flags::kIconExclamation);
        return;
    }
    forms::report_list::deleteAllRows(kDeletedWindow, deleted_window::kList);
    notify(text::kCleared);
}

} // namespace

Value deletedWindowLoaded(const Event&)
{
    installFindBox(kDeletedWindow, deleted_window::kList);
    listDeletedStudents();
    return {};
}

Value deletedToolbar(const Event& event)
{
    switch (eventArgument(event)) {
    case kClearEntry: clearRecycleStore(); break;
    case kRestoreEntry: restoreSelected(); break;
    case kCloseEntry: forms::destroyWindow(kDeletedWindow); break;
    default: break; // entries 3 and 4 have no action
    }
    return {};
}

Value deletedRestore(const Event&)
{
    restoreSelected();
    return {};
}

Value deletedClearAll(const Event&)
{
    clearRecycleStore();
    return {};
}

Value deletedReturn(const Event&)
{
    forms::destroyWindow(kDeletedWindow);
    return {};
}

} // namespace qr::app
