// Spreadsheet export: the main list, as shown, into a new .xls file made from the
// roster workbook template, one INSERT per row through `外部数据库1`.
#include "app/spreadsheet_export.h"
#include "app/component_ids.h"
#include "app/handlers.h"
#include "app/messages.h"
#include "app/roster_workbook.h"
#include "app/spreadsheet_dialog.h"
#include "runtime/file_access.h"
#include "sheet/component/external_database_component.h"

namespace qr::app {

// The rows go in one transaction: the driver writes the workbook when it commits,
// and says so when that write fails, which a plain disconnect would keep to itself.
bool insertRowsAndCommit(sheet::ExternalDatabase& sheetDb, const std::vector<SheetRow>& rows)
{
    const bool inTransaction = sheetDb.BeginTrans();
    bool allInserted = true;
    for (const SheetRow& row : rows)
        allInserted = sheetDb.ExecuteSql(insertStatement(row)) && allInserted; // a failed row loses only itself
    const bool written = inTransaction ? sheetDb.CommitTrans() : true;
    return allInserted && written && inTransaction;
}

namespace {

bool exportTo(const runtime::Text& fileName)
{
    const auto templateBytes = rosterWorkbookTemplate();
    if (!runtime::writeFile(fileName, runtime::ByteSet(templateBytes.begin(), templateBytes.end())))
        return false;
    sheet::ExternalDatabase& sheetDb = sheet::externalDatabase(kMainWindow, main_window::kSpreadsheet);
    if (!sheetDb.NewOpenDatabase(exportConnectString(fileName), false))
        return false;
    const bool written = insertRowsAndCommit(sheetDb, mainListRows());
    sheetDb.CloseDatabase();
    return written;
}

} // namespace

void exportRoster()
{
    if (mainListRows().empty()) {
        notify(text::kNothingToExport);
        return;
    }
    const auto fileName = chooseSpreadsheetFile(true);
    if (!fileName)
        return;
    if (exportTo(*fileName))
        notify(text::kExported);
    else
        notify(text::kExportFailed, flags::kIconExclamation);
}

Value mainExport(const Event&)
{
    exportRoster();
    return {};
}

} // namespace qr::app
