// Turns the bracketed identifiers that callers write ("[sheet1$]") into the
// driver's own identifier quoting before a statement reaches the driver.
#pragma once

#include <string>
#include <string_view>

namespace qr::sheet {

// Walks the GBK text character by character (a double-byte character is copied
// whole, so a trail byte equal to '[' or ']' is never taken for a bracket).
// Inside a single-quoted literal everything is copied, a doubled quote staying
// part of the literal. Outside literals "[[" and "]]" become one bracket and a
// single '[' or ']' becomes quoteChar.
std::string replaceBrackets(std::string_view sqlGbk, char quoteChar);

// A GBK text as the driver sees it: up to its first NUL byte.
std::string_view upToFirstNul(std::string_view text);

} // namespace qr::sheet
