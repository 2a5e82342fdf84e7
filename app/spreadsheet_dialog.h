// The main window's file dialog and list as the spreadsheet exchange uses them.
#pragma once

#include "app/spreadsheet_sql.h"

#include <optional>
#include <vector>

namespace qr::app {

// Shows `通用对话框1` to open (save false) or save a file, starting in the current
// directory; the chosen file name, or nothing when the teacher cancelled.
std::optional<runtime::Text> chooseSpreadsheetFile(bool save);

// The main list's rows, columns 0 to 18 each.
std::vector<SheetRow> mainListRows();

} // namespace qr::app
