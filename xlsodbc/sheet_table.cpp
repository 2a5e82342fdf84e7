#include "xlsodbc/sheet_table.h"

#include "runtime/gbk.h"

#include <algorithm>
#include <charconv>
#include <cmath>

namespace qr::xls {
namespace {

bool hasValue(const CellValue& v) { return v.kind != CellKind::Empty; }

// Visits each valued cell of the row in file order; a later cell at the same column
// wins, as it would when the sheet was loaded cell by cell.
template <typename F> void forEachValue(const SheetRow& row, F&& f)
{
    for (const auto& [col, v] : row.cells)
        if (hasValue(v))
            f(col, v);
}

} // namespace

std::string formatNumber(double value)
{
    if (std::isnan(value))
        return "NaN";
    if (value == 0)
        return "0";
    // Plain digits across the range people write numbers in (ids, heights, money);
    // exponents only for the very large and very small.
    char buf[400];
    const double magnitude = std::fabs(value);
    const auto res = (magnitude >= 1e-5 && magnitude < 1e16)
                         ? std::to_chars(buf, buf + sizeof buf, value, std::chars_format::fixed)
                         : std::to_chars(buf, buf + sizeof buf, value);
    return std::string(buf, res.ptr);
}

std::optional<std::size_t> findSheet(const Workbook& book, std::string_view tableName)
{
    if (!tableName.empty() && tableName.back() == '$')
        tableName.remove_suffix(1);
    const auto& sheets = book.sheets();
    for (std::size_t i = 0; i < sheets.size(); ++i)
        if (sheets[i].isWorksheet && runtime::equalsIgnoringCase(runtime::utf16ToGbk(sheets[i].name), tableName))
            return i;
    return std::nullopt;
}

SheetTable describeTable(const Workbook& book, const Sheet& sheet, int maxScanRows, bool firstRowHasNames)
{
    SheetTable t;
    std::optional<std::uint32_t> firstRow;
    std::uint32_t lastRow = 0;
    std::uint16_t colMin = UINT16_MAX, colMax = 0;
    for (const auto& [r, row] : sheet.rows) {
        forEachValue(row, [&](std::uint16_t c, const CellValue&) {
            if (!firstRow)
                firstRow = r;
            lastRow = r;
            colMin = std::min(colMin, c);
            colMax = std::max(colMax, c);
        });
    }
    if (!firstRow)
        return t; // an empty sheet has no columns
    if (firstRowHasNames) {
        t.headingRow = *firstRow;
        t.firstDataRow = *firstRow + 1;
    } else {
        t.firstDataRow = *firstRow;
    }
    t.endRow = lastRow + 1;

    const std::size_t width = static_cast<std::size_t>(colMax - colMin) + 1;
    t.columns.resize(width);
    for (std::size_t i = 0; i < width; ++i) {
        t.columns[i].sheetColumn = static_cast<std::uint16_t>(colMin + i);
        t.columns[i].name = "F" + std::to_string(i + 1);
    }
    if (t.headingRow) {
        forEachValue(sheet.rows.at(*t.headingRow), [&](std::uint16_t c, const CellValue& v) {
            std::string name;
            if (v.kind == CellKind::Text)
                name = runtime::utf16ToGbk(book.cellText(v));
            else if (v.kind == CellKind::Number || v.kind == CellKind::Bool)
                name = formatNumber(v.number);
            if (!name.empty())
                t.columns[c - colMin].name = std::move(name);
        });
    }

    // A column is numeric when its scanned cells hold numbers and no text: a text
    // among them makes it a text column, so no scanned value is ever lost.
    std::vector<int> numbers(width, 0), texts(width, 0);
    const std::uint32_t scanEnd =
        maxScanRows <= 0 ? t.endRow : std::min<std::uint64_t>(t.endRow, std::uint64_t(t.firstDataRow) + maxScanRows);
    for (auto it = sheet.rows.lower_bound(t.firstDataRow); it != sheet.rows.end() && it->first < t.endRow; ++it) {
        const bool scanned = it->first < scanEnd;
        forEachValue(it->second, [&](std::uint16_t c, const CellValue& v) {
            TableColumn& col = t.columns[c - colMin];
            if (v.kind == CellKind::Text) {
                if (book.cellText(v).size() > kMaxVarcharChars)
                    col.longText = true;
                if (scanned)
                    ++texts[c - colMin];
            } else if (scanned && (v.kind == CellKind::Number || v.kind == CellKind::Bool)) {
                ++numbers[c - colMin];
            }
        });
    }
    for (std::size_t i = 0; i < width; ++i)
        t.columns[i].numeric = numbers[i] > 0 && texts[i] == 0;
    return t;
}

SheetTable describeHeadings(const Workbook& book, const Sheet& sheet)
{
    SheetTable t;
    for (const auto& [r, row] : sheet.rows) {
        bool any = false;
        forEachValue(row, [&](std::uint16_t c, const CellValue& v) {
            any = true;
            std::string name;
            if (v.kind == CellKind::Text)
                name = runtime::utf16ToGbk(book.cellText(v));
            else if (v.kind == CellKind::Number || v.kind == CellKind::Bool)
                name = formatNumber(v.number);
            if (!name.empty())
                t.columns.push_back(TableColumn{std::move(name), c, false, false});
        });
        if (any) {
            t.headingRow = r;
            t.firstDataRow = r + 1;
            break;
        }
    }
    return t;
}

std::optional<std::size_t> findColumn(const SheetTable& table, std::string_view name)
{
    for (std::size_t i = 0; i < table.columns.size(); ++i)
        if (runtime::equalsIgnoringCase(table.columns[i].name, name))
            return i;
    return std::nullopt;
}

void readTable(const Workbook& book, const Sheet& sheet, const SheetTable& table,
               const std::vector<std::size_t>& columns, std::vector<FieldValue>& out)
{
    out.clear();
    if (table.columns.empty())
        return;
    const std::uint16_t colBase = table.columns.front().sheetColumn;
    // Which result column(s) each sheet column feeds.
    std::vector<std::vector<std::size_t>> targets(table.columns.size());
    for (std::size_t i = 0; i < columns.size(); ++i)
        targets[columns[i]].push_back(i);
    const std::size_t width = columns.size();
    out.reserve(std::size_t(table.endRow - table.firstDataRow) * width);
    std::uint32_t next = table.firstDataRow;
    for (auto it = sheet.rows.lower_bound(table.firstDataRow); it != sheet.rows.end() && it->first < table.endRow;
         ++it) {
        // Rows without any cell inside the table still count: they read as NULLs.
        out.resize(out.size() + std::size_t(it->first - next) * width);
        next = it->first + 1;
        const std::size_t base = out.size();
        out.resize(base + width);
        forEachValue(it->second, [&](std::uint16_t c, const CellValue& v) {
            const std::size_t index = c - colBase;
            if (c < colBase || index >= table.columns.size())
                return;
            const bool numeric = table.columns[index].numeric;
            for (std::size_t target : targets[index]) {
                FieldValue& f = out[base + target];
                f = FieldValue{};
                if (v.kind == CellKind::Error)
                    continue;
                if (numeric) {
                    if (v.kind == CellKind::Text)
                        continue; // a text in a number column reads as NULL
                    f.isNull = false;
                    f.number = v.number;
                } else {
                    f.isNull = false;
                    if (v.kind == CellKind::Text)
                        runtime::appendUtf16AsGbk(book.cellText(v), f.text);
                    else if (v.kind == CellKind::Bool)
                        f.text = v.number != 0 ? "TRUE" : "FALSE";
                    else
                        f.text = formatNumber(v.number);
                }
            }
        });
    }
}

} // namespace qr::xls
