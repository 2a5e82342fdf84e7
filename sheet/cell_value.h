// How a result column's SQL type decides the kind of value a cell read gives,
// and how a cell is made from the column's bound text when the driver gives no
// value. Knows ODBC type codes, but no driver and no file format.
#pragma once

#include "runtime/value.h"

#include <cstdint>
#include <optional>
#include <string_view>

namespace qr::sheet {

// What a cell of a column is fetched as (SQLGetData target) and becomes.
enum class CellFetch {
    Skip,      // a type outside every known group: the cell is the empty value
    TinyInt,   // byte
    SmallInt,  // short integer
    Integer,   // integer
    Real,      // float
    Double,    // double
    Bit,       // logical
    Text,      // text
    Date,      // date-time from a date
    Time,      // date-time from a time of day
    Timestamp, // date-time from a date and a time
    Binary,    // byte set
};

// Accepts both the ODBC 2 date codes (9, 10, 11) and the ODBC 3 ones (91, 92, 93),
// which a driver manager in ODBC 3 mode reports for the same columns.
CellFetch cellFetchFor(std::int16_t sqlType);

// True for the long and binary types (-1 ... -4) that are never bound as text.
bool isLongOrBinaryType(std::int16_t sqlType);

// The cell made from the bound text of a column (nullopt: NULL or not bound) when
// the driver gave no value: integer conversion for the integer and bit types,
// decimal conversion for the floating types, an empty byte set for the binary
// types, and the text itself for everything else.
runtime::Value cellFromBoundText(std::int16_t sqlType, std::optional<std::string_view> boundText);

// C-style conversions of a text: leading blanks skipped, conversion stops at the
// first character that does not fit, 0 when nothing fits. Out-of-range values
// saturate instead of being undefined.
std::int32_t textToInteger(std::string_view text);
double textToDecimal(std::string_view text);

// Days since 30 December 1899 for a civil date and a time of day; the day number
// is clamped to -657434 ... 2958465 (years 100 to 9999). Days before the epoch
// carry the time of day as a negative fraction, so -1.25 is 29 December 1899,
// 06:00. nullopt for a month or day out of range.
std::optional<double> dateTimeDays(int year, int month, int day, int hour, int minute, int second,
                                   std::uint32_t nanoseconds);

} // namespace qr::sheet
