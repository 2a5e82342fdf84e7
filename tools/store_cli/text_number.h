// The runtime's text-to-number rule, as the add form applies it to height and
// weight: full-width characters become their ASCII forms, leading blanks are
// skipped, and the longest leading decimal number counts (0 when there is none).
#pragma once

#include <string>
#include <string_view>

namespace qr::tools {

// The GBK text with full-width digits, letters, signs, point and space made ASCII.
std::string normaliseFullWidth(std::string_view gbk);
double textToNumber(std::string_view gbk);
// The same number narrowed to single precision.
float textToFloat(std::string_view gbk);

} // namespace qr::tools
