// New workbooks, in the form of the program's own roster template: code page 1200,
// four fonts, fifteen style formats and the one cell format, and worksheets with
// column widths and a heading row of shared strings, the first sheet selected.
// The records are laid out here; Workbook writes them and every position in them.
#pragma once

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

namespace qr::xls {

struct NewSheet {
    std::u16string name;
    std::vector<std::u16string> headings;                        // row 1, from column A on
    std::vector<std::pair<std::uint16_t, std::uint16_t>> widths; // column, width in 1/256 of a character
};

struct NewWorkbookOptions {
    // An INDEX record in every worksheet and a DBCELL after each block of rows, as
    // many other writers give them.
    bool cellIndex = false;
};

// The "Workbook" stream. False with `error` set when the sheets cannot be laid out
// (no sheet, a name longer than 31 characters, a column beyond the 256th).
bool buildNewWorkbookStream(const std::vector<NewSheet>& sheets, const NewWorkbookOptions& options,
                            std::vector<std::uint8_t>& stream, std::string& error);

// A whole .xls file: a compound file holding the stream as "Workbook", then
// `otherStreams` (name, bytes).
bool wrapWorkbookStream(const std::vector<std::uint8_t>& stream,
                        const std::vector<std::pair<std::string, std::vector<std::uint8_t>>>& otherStreams,
                        std::vector<std::uint8_t>& file, std::string& error);

} // namespace qr::xls
