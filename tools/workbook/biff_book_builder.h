// Builds the roster workbook template: a new workbook with three worksheets "Sheet1"
// to "Sheet3", the roster headings in row 1 of Sheet1 (shared strings) and its
// column widths; and the compound file that carries it.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace qr::workbook {

// The "Workbook" stream (xls::buildNewWorkbookStream).
bool buildRosterWorkbookStream(std::vector<std::uint8_t>& stream, std::string& error);

// The whole .xls file: a compound file holding the stream. False with `error` set
// when the container cannot be written.
bool buildRosterWorkbookFile(std::vector<std::uint8_t>& file, std::string& error);

} // namespace qr::workbook
