#include "tools/workbook/biff_book_builder.h"

#include "roster/columns.h"
#include "runtime/gbk.h"
#include "xlsodbc/new_workbook.h"
#include "xlsodbc/workbook.h"

namespace qr::workbook {

namespace {

// Sheet1 carries the roster's headings and column widths; Sheet2 and Sheet3 stay
// empty.
std::vector<xls::NewSheet> rosterSheets()
{
    xls::NewSheet roster{u"Sheet1", {}, {}};
    for (std::size_t k = 0; k < roster::kColumnCount; ++k) {
        roster.headings.push_back(runtime::gbkToUtf16(roster::kHeadings[k]));
        roster.widths.emplace_back(static_cast<std::uint16_t>(k), roster::kSheetColumnWidths[k]);
    }
    return {roster, xls::NewSheet{u"Sheet2", {}, {}}, xls::NewSheet{u"Sheet3", {}, {}}};
}

} // namespace

bool buildRosterWorkbookStream(std::vector<std::uint8_t>& stream, std::string& error)
{
    return xls::buildNewWorkbookStream(rosterSheets(), {}, stream, error);
}

bool buildRosterWorkbookFile(std::vector<std::uint8_t>& file, std::string& error)
{
    std::vector<std::uint8_t> stream;
    if (!buildRosterWorkbookStream(stream, error))
        return false;
    // Our own reader must take what we made before the program carries it.
    xls::Workbook check;
    if (!check.parse(stream, error))
        return false;
    return xls::wrapWorkbookStream(stream, {}, file, error);
}

} // namespace qr::workbook
