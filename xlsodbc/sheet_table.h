// A worksheet seen as a table: the first row with values names the columns, the
// rows below it are the records. Column types are found the way spreadsheet drivers
// do it: by scanning the first rows (MaxScanRows) below the heading.
#pragma once

#include "xlsodbc/workbook.h"

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace qr::xls {

constexpr std::size_t kMaxVarcharChars = 255;

struct TableColumn {
    std::string name; // GBK
    std::uint16_t sheetColumn = 0;
    bool numeric = false;  // reported as SQL_DOUBLE
    bool longText = false; // a text longer than 255 characters somewhere in the column
};

struct SheetTable {
    std::optional<std::uint32_t> headingRow; // none with FirstRowHasNames=0
    std::uint32_t firstDataRow = 0;
    std::uint32_t endRow = 0; // one past the last row with a value
    std::vector<TableColumn> columns;
};

// A cell as the driver reports it: NULL, a number (double columns) or a GBK text.
struct FieldValue {
    bool isNull = true;
    double number = 0;
    std::string text;
};

// The worksheet for a table name: "Sheet1$" or "Sheet1", letter case ignored.
std::optional<std::size_t> findSheet(const Workbook& book, std::string_view tableName);

// maxScanRows 0 scans every row.
SheetTable describeTable(const Workbook& book, const Sheet& sheet, int maxScanRows, bool firstRowHasNames);

// The columns named by the heading row alone, without looking at the rows below it:
// what an INSERT needs, in time independent of the sheet's length. Columns without a
// heading are missing here (describeTable names them F1, F2, ...).
SheetTable describeHeadings(const Workbook& book, const Sheet& sheet);

// Index into `table.columns` of a column name, letter case ignored.
std::optional<std::size_t> findColumn(const SheetTable& table, std::string_view name);

// Reads the chosen columns of every row of the table, row after row, into `out`.
void readTable(const Workbook& book, const Sheet& sheet, const SheetTable& table,
               const std::vector<std::size_t>& columns, std::vector<FieldValue>& out);

// Shortest text that reads back as the same number ("170", "45.5"), in plain digits
// from 1e-5 up to 1e16 and with an exponent outside that range.
std::string formatNumber(double value);

} // namespace qr::xls
