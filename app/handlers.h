// The handlers of the seven windows, and their binding to the catalogue's
// handler numbers. Each window's handlers live in a file of their own.
#pragma once

#include "forms/registry/window_registry.h"

namespace qr::app {

using forms::Event;
using runtime::Text;
using runtime::Value;

// Binds every handler number the application serves.
void bindHandlers();

// Start window (start_window.cpp).
Value startWindowLoaded(const Event&);
Value startWindowTray(const Event&);
Value startMenuOpen(const Event&);
Value startMenuClose(const Event&);
Value startConfirm(const Event&);
Value startClassKeyDown(const Event&);
// The tray menu's two actions: bring back the main window (or the start window
// while there is none), and close every window of the program.
void bringBackProgram();
void closeProgram();

// Main window (main_window.cpp).
Value mainWindowLoaded(const Event&);
Value mainWindowTray(const Event&);
Value mainToolbar(const Event&);
Value mainListMenu(const Event&);
Value mainViewSelected(const Event&);
Value mainModifySelected(const Event&);
Value mainDeleteSelected(const Event&);
Value mainShowAll(const Event&);
Value mainAdd(const Event&);
Value mainOpenDeleted(const Event&);
Value mainClearRoster(const Event&);
// Fills the main list from the roster store; with no students, says so.
void showAll();
// The class name the main window's caption shows (before the product name).
Text mainWindowClassName();
// Spreadsheet export and import (spreadsheet_export.cpp, spreadsheet_import.cpp).
Value mainExport(const Event&);
Value mainImport(const Event&);
void exportRoster();
void importRoster();

// Add form (add_form.cpp).
Value addFormSampleNotice(const Event&);
Value addFormClearSample(const Event&);
Value addFormInsertPhoto(const Event&);
Value addFormSave(const Event&);
Value addFormReturn(const Event&);

// Modify form (modify_form.cpp).
Value modifyFormLoaded(const Event&);
Value modifyFormReplacePhoto(const Event&);
Value modifyFormSave(const Event&);
Value modifyFormReturn(const Event&);
// Opens the modify form for the main list's selected student.
void openModifyForm();

// Detail view (detail_view.cpp).
Value detailViewLoaded(const Event&);
Value detailViewReturn(const Event&);
// Opens the detail view for the main list's selected student.
void openDetailView();

// Deleted-students window (deleted_window.cpp).
Value deletedWindowLoaded(const Event&);
Value deletedToolbar(const Event&);
Value deletedRestore(const Event&);
Value deletedClearAll(const Event&);
Value deletedReturn(const Event&);

// About window (about_window.cpp): it has no handlers of its own.
void openAboutWindow();

// The first argument of an event as an integer (a toolbar index, a key code, a
// tray action), or -1 when it has none.
int eventArgument(const Event& event);

} // namespace qr::app
