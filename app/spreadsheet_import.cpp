// Spreadsheet import: the first sheet of an .xls file into the main list, then, on
// the teacher's Yes, into the roster store in place of the students it held. The
// roster store is left alone until that Yes.
#include "app/app_paths.h"
#include "app/component_ids.h"
#include "app/handlers.h"
#include "app/messages.h"
#include "app/roster_replace.h"
#include "app/spreadsheet_dialog.h"
#include "app/store_safety.h"
#include "app/workbook_exchange.h"
#include "forms/kinds/report_list_ops.h"
#include "roster/import_check.h"
#include "sheet/component/external_database_component.h"

namespace qr::app {

namespace {

void showInMainList(const std::vector<SheetRow>& rows)
{
    namespace list = forms::report_list;
    list::deleteAllRows(kMainWindow, main_window::kList);
    for (const SheetRow& cells : rows) {
        const int row = list::insertRow(kMainWindow, main_window::kList);
        if (row < 0)
            continue;
        for (std::size_t c = 0; c < cells.size(); ++c)
            list::setCellText(kMainWindow, main_window::kList, row, static_cast<int>(c), cells[c]);
    }
}

// Says, before the teacher decides to write them, what the rows hold that the
// forms would not have let through; a sheet without problems shows nothing.
void warnOfProblems(const std::vector<SheetRow>& rows)
{
    const std::vector<roster::ImportProblem> problems = roster::checkImportRows(rows, roster::today());
    if (!problems.empty())
        notify(roster::importProblemNotice(problems), flags::kIconExclamation, text::kImportCheckTitle);
}

} // namespace

void importRoster()
{
    notify(text::kNoPhotoImport, flags::kOk, text::kNoPhotoImportTitle);
    if (!askYes(text::kImportReplaces, text::kImportReplacesTitle))
        return;
    const auto fileName = chooseSpreadsheetFile(false);
    if (!fileName)
        return;
    const auto rows = importRows(sheet::externalDatabase(kMainWindow, main_window::kSpreadsheet), *fileName);
    if (!rows) {
        notify(text::kSheetUnreadable, flags::kIconExclamation);
        return;
    }
    showInMainList(*rows);
    notify(text::kSheetRead);
    warnOfProblems(*rows);
    if (askYes(text::kAskWriteImport, text::kAskTitle) && backUpBeforeIrreversible()) {
        // The store is written from the list, which is what the teacher saw.
        if (replaceStoreContent(rosterStorePath(), mainListRows()))
            notify(text::kImportWritten);
        else
            notify(text::kNotSaved, flags::kIconExclamation);
    }
    // Yes or No, the list shows the roster store again, so that rows and records agree.
    showAll();
}

Value mainImport(const Event&)
{
    importRoster();
    return {};
}

} // namespace qr::app
