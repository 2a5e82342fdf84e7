// CSV as RFC 4180 writes it: fields separated by commas, records by CRLF, a field
// with a comma, quote or line break enclosed in quotes with inner quotes doubled.
// Reading also takes LF line ends and skips a UTF-8 byte-order mark.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace qr::tools {

using CsvRow = std::vector<std::string>;

struct CsvTable {
    std::vector<CsvRow> rows;
    std::vector<int> lines; // the line each row starts on, 1-based, for messages
};

// Returns false with a one-line reason (naming the line) when the text is not CSV.
bool parseCsv(std::string_view text, CsvTable& table, std::string& error);

void appendCsvRow(std::string& out, const CsvRow& row);

} // namespace qr::tools
