// Small workbooks for the tests, made by the driver's new-workbook writer with the
// INDEX and DBCELL records other writers add: named sheets, a row of headings,
// column widths, and any extra streams in the container. A failure throws.
#pragma once

#include "xlsodbc/new_workbook.h"

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

namespace qr::xls::testing {

using SheetSpec = NewSheet;

// The Workbook stream alone.
std::vector<std::uint8_t> buildWorkbookStream(const std::vector<SheetSpec>& sheets);

// A whole compound file: the Workbook stream plus `extraStreams` (name, bytes).
std::vector<std::uint8_t>
buildWorkbookFile(const std::vector<SheetSpec>& sheets,
                  const std::vector<std::pair<std::string, std::vector<std::uint8_t>>>& extraStreams = {});

// Three sheets "Sheet1".."Sheet3", the headings in row 1 of Sheet1 with the widths,
// and an extra stream.
std::vector<std::uint8_t> buildRosterStyleFile(const std::vector<std::u16string>& headings,
                                               const std::vector<std::pair<std::uint16_t, std::uint16_t>>& widths);

} // namespace qr::xls::testing
