// Builds small BIFF8 workbooks for the tests: named sheets, a row of headings,
// column widths, code page 1200, and any extra streams in the container.
#pragma once

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

namespace qr::xls::testing {

struct SheetSpec {
    std::u16string name;
    std::vector<std::u16string> headings;                     // row 1, from column A on
    std::vector<std::pair<std::uint16_t, std::uint16_t>> widths; // column -> width in 1/256 characters
};

// The Workbook stream alone.
std::vector<std::uint8_t> buildWorkbookStream(const std::vector<SheetSpec>& sheets);

// A whole compound file: the Workbook stream plus `extraStreams` (name, bytes).
std::vector<std::uint8_t> buildWorkbookFile(const std::vector<SheetSpec>& sheets,
                                            const std::vector<std::pair<std::string, std::vector<std::uint8_t>>>& extraStreams = {});

// Three sheets "Sheet1".."Sheet3", the headings in row 1 of Sheet1 with the widths.
std::vector<std::uint8_t> buildRosterStyleFile(const std::vector<std::u16string>& headings,
                                               const std::vector<std::pair<std::uint16_t, std::uint16_t>>& widths);

} // namespace qr::xls::testing
