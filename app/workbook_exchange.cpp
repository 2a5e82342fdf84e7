#include "app/workbook_exchange.h"

#include "app/roster_workbook.h"
#include "runtime/file_access.h"
#include "runtime/to_text.h"

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

bool exportRows(sheet::ExternalDatabase& sheetDb, const runtime::Text& fileName, const std::vector<SheetRow>& rows)
{
    const auto templateBytes = rosterWorkbookTemplate();
    if (!runtime::writeFile(fileName, runtime::ByteSet(templateBytes.begin(), templateBytes.end())))
        return false;
    if (!sheetDb.NewOpenDatabase(exportConnectString(fileName), false))
        return false;
    const bool written = insertRowsAndCommit(sheetDb, rows);
    sheetDb.CloseDatabase();
    return written;
}

std::optional<std::vector<SheetRow>> importRows(sheet::ExternalDatabase& sheetDb, const runtime::Text& fileName)
{
    if (!sheetDb.NewOpenDatabase(importConnectString(fileName)))
        return std::nullopt;
    const std::int32_t rowSet = sheetDb.OpenTable(kImportQuery);
    if (rowSet == 0) {
        sheetDb.CloseDatabase();
        return std::nullopt;
    }
    std::vector<SheetRow> rows;
    sheetDb.MoveFirst(rowSet);
    while (!sheetDb.IsEOF(rowSet)) {
        SheetRow& row = rows.emplace_back();
        for (std::size_t c = 0; c < roster::kColumnCount; ++c)
            row[c] = runtime::toText(sheetDb.ReadColByName(rowSet, roster::kHeadings[c]));
        sheetDb.MoveNext(rowSet);
    }
    sheetDb.CloseDatabase();
    return rows;
}

} // namespace qr::app
