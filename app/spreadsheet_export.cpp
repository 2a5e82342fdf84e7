// Spreadsheet export: the main list, as shown, into a new .xls file made from the
// roster workbook template, one INSERT per row through `外部数据库1`.
#include "app/component_ids.h"
#include "app/handlers.h"
#include "app/messages.h"
#include "app/workbook_exchange.h"
#include "app/spreadsheet_dialog.h"
#include "sheet/component/external_database_component.h"

namespace qr::app {

void exportRoster()
{
    if (mainListRows().empty()) {
        notify(text::kNothingToExport);
        return;
    }
    const auto fileName = chooseSpreadsheetFile(true);
    if (!fileName)
        return;
    if (exportRows(sheet::externalDatabase(kMainWindow, main_window::kSpreadsheet), *fileName, mainListRows()))
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
