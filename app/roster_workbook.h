// The roster workbook template: an empty .xls workbook (Sheet1 with the roster
// headings and column widths, Sheet2, Sheet3) that export saves under the chosen
// name before inserting the rows. Built by quillroll-workbook and compiled in.
#pragma once

#include <cstdint>
#include <span>

namespace qr::app {

std::span<const std::uint8_t> rosterWorkbookTemplate();

} // namespace qr::app
