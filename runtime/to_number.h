// Turning any value into a number, as a handler does with the text of an edit box.
#pragma once

#include "runtime/value.h"

#include <string_view>

namespace qr::runtime {

// Full-width forms typed with a Chinese input method become their ASCII
// counterparts: 0xA3A1-0xA3FE become (second byte & 0x7F), the ideographic space
// 0xA1A1 a blank, 0xA1AB "~", 0xA1EE and 0xA1EF "*". Other double-byte
// characters are kept whole; a lone lead byte at the end is kept.
Text normaliseFullWidth(std::string_view text);

// Classic atof in the "C" locale: leading white space skipped, an optional sign,
// digits with an optional point, an optional exponent; the conversion stops at
// the first byte that does not fit and gives 0 when nothing fits. Hexadecimal
// forms, "inf" and "nan" are not numbers here.
double parseLeadingNumber(std::string_view text);

// Text: normalised, then parsed as above. Numeric values widened to double, a
// logical 0 or 1, a date-time its day count; a byte set, none or subprogram
// pointer 0.
double toNumber(const Value& value);

// toNumber narrowed to 32 bits.
float toFloat(const Value& value);

} // namespace qr::runtime
