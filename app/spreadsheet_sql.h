// The connect strings and SQL texts of spreadsheet export and import, and the
// directory piece of a chosen file name. Qt-free: plain texts in, texts out.
#pragma once

#include "roster/columns.h"
#include "runtime/value.h"

#include <array>
#include <string_view>

namespace qr::app {

using SheetRow = std::array<runtime::Text, roster::kColumnCount>;

// The file's directory with its trailing "/", or the empty text when the name has
// no "/". A trail byte of a double-byte character is never taken for the "/".
runtime::Text directoryOf(std::string_view fileNameGbk);

// The connect string export opens the freshly written workbook with (read-write).
runtime::Text exportConnectString(std::string_view fileNameGbk);

// INSERT of one list row into Sheet1: every value a quoted literal, each single
// quote inside it doubled.
runtime::Text insertStatement(const SheetRow& row);

// The connect string import reads the chosen workbook with.
runtime::Text importConnectString(std::string_view fileNameGbk);

inline constexpr std::string_view kImportQuery = "select * from [sheet1$]";

} // namespace qr::app
