// Builds the roster workbook template: a BIFF8 workbook stream with three worksheets
// "Sheet1" to "Sheet3", the roster headings in row 1 of Sheet1 (shared strings) and
// its column widths, code page 1200; and the compound file that carries it.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace qr::workbook {

// The "Workbook" stream.
std::vector<std::uint8_t> buildRosterWorkbookStream();

// The whole .xls file: a compound file holding the stream. False with `error` set
// when the container cannot be written.
bool buildRosterWorkbookFile(std::vector<std::uint8_t>& file, std::string& error);

} // namespace qr::workbook
