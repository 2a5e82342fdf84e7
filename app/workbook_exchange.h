// What export and import say to a workbook, below the windows: the main window's
// handlers use these with its `外部数据库1`, and any other client with a component of
// its own.
#pragma once

#include "app/spreadsheet_sql.h"
#include "runtime/value.h"
#include "sheet/external_database.h"

#include <optional>
#include <vector>

namespace qr::app {

// Inserts every row into Sheet1 of the connected workbook in one transaction and
// commits it. True only when every row went in and the driver wrote the file.
bool insertRowsAndCommit(sheet::ExternalDatabase& sheetDb, const std::vector<SheetRow>& rows);

// Saves the roster workbook template as `fileName` and inserts the rows into it.
bool exportRows(sheet::ExternalDatabase& sheetDb, const runtime::Text& fileName, const std::vector<SheetRow>& rows);

// Every row of the workbook's Sheet1, the nineteen roster columns found by their
// headings (a missing heading gives empty texts); nothing when the file cannot be
// read as a workbook with a Sheet1.
std::optional<std::vector<SheetRow>> importRows(sheet::ExternalDatabase& sheetDb, const runtime::Text& fileName);

} // namespace qr::app
