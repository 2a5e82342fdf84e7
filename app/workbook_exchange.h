// The step of export that moves the rows into the connected workbook.
#pragma once

#include "app/spreadsheet_sql.h"
#include "sheet/external_database.h"

#include <vector>

namespace qr::app {

// Inserts every row into Sheet1 of the connected workbook in one transaction and
// commits it. True only when every row went in and the driver wrote the file.
bool insertRowsAndCommit(sheet::ExternalDatabase& sheetDb, const std::vector<SheetRow>& rows);

} // namespace qr::app
