#include "sheet/cell_value.h"

#include <sql.h>
#include <sqlext.h>

#include <algorithm>
#include <charconv>
#include <cmath>
#include <limits>
#include <string>

namespace qr::sheet {

namespace {

bool isCSpace(char c) { return c == ' ' || (c >= '\t' && c <= '\r'); }

std::string_view skipBlanks(std::string_view text)
{
    std::size_t i = 0;
    while (i < text.size() && isCSpace(text[i]))
        ++i;
    return text.substr(i);
}

// Days from 1 March of year 0 style civil calendar (proleptic Gregorian) to 1970-01-01.
std::int64_t daysFromCivil(std::int64_t y, unsigned m, unsigned d)
{
    y -= m <= 2;
    const std::int64_t era = (y >= 0 ? y : y - 399) / 400;
    const unsigned yoe = static_cast<unsigned>(y - era * 400);
    const unsigned doy = (153 * (m > 2 ? m - 3 : m + 9) + 2) / 5 + d - 1;
    const unsigned doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + static_cast<std::int64_t>(doe) - 719468;
}

constexpr std::int64_t kMinDay = -657434;
constexpr std::int64_t kMaxDay = 2958465;

} // namespace

CellFetch cellFetchFor(std::int16_t sqlType)
{
    switch (sqlType) {
    case SQL_TINYINT: return CellFetch::TinyInt;
    case SQL_SMALLINT: return CellFetch::SmallInt;
    case SQL_INTEGER: return CellFetch::Integer;
    case SQL_REAL: return CellFetch::Real;
    case SQL_FLOAT:
    case SQL_DOUBLE: return CellFetch::Double;
    case SQL_BIT: return CellFetch::Bit;
    case SQL_DATE:
    case SQL_TYPE_DATE: return CellFetch::Date;
    case SQL_TIME:
    case SQL_TYPE_TIME: return CellFetch::Time;
    case SQL_TIMESTAMP:
    case SQL_TYPE_TIMESTAMP: return CellFetch::Timestamp;
    case SQL_BINARY:
    case SQL_VARBINARY:
    case SQL_LONGVARBINARY: return CellFetch::Binary;
    default: break;
    }
    // The text group (CHAR, NUMERIC, DECIMAL, VARCHAR, LONGVARCHAR, BIGINT,
    // WVARCHAR) and every other code in -10 ... 12 are read as text.
    if (sqlType >= -10 && sqlType <= 12)
        return CellFetch::Text;
    return CellFetch::Skip;
}

bool isLongOrBinaryType(std::int16_t sqlType) { return sqlType >= SQL_LONGVARBINARY && sqlType <= SQL_LONGVARCHAR; }

std::int32_t textToInteger(std::string_view text)
{
    text = skipBlanks(text);
    bool negative = false;
    if (!text.empty() && (text[0] == '+' || text[0] == '-')) {
        negative = text[0] == '-';
        text.remove_prefix(1);
    }
    std::int64_t magnitude = 0;
    for (char c : text) {
        if (c < '0' || c > '9')
            break;
        magnitude = std::min<std::int64_t>(magnitude * 10 + (c - '0'), std::int64_t{1} << 32);
    }
    const std::int64_t value = negative ? -magnitude : magnitude;
    return static_cast<std::int32_t>(std::clamp<std::int64_t>(value, std::numeric_limits<std::int32_t>::min(),
                                                              std::numeric_limits<std::int32_t>::max()));
}

double textToDecimal(std::string_view text)
{
    text = skipBlanks(text);
    bool negative = false;
    if (!text.empty() && (text[0] == '+' || text[0] == '-')) {
        negative = text[0] == '-';
        text.remove_prefix(1);
    }
    // from_chars takes the longest prefix that forms a number and never looks at the locale.
    double value = 0.0;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (end == text.data())
        return 0.0;
    if (ec == std::errc::result_out_of_range) {
        // As strtod: a number too large is infinite, one too small is 0.
        const std::string_view digits(text.data(), static_cast<std::size_t>(end - text.data()));
        const auto exponent = digits.find_first_of("eE");
        const bool tiny =
            exponent != std::string_view::npos && exponent + 1 < digits.size() && digits[exponent + 1] == '-';
        value = tiny ? 0.0 : std::numeric_limits<double>::infinity();
    }
    return negative ? -value : value;
}

runtime::Value cellFromBoundText(std::int16_t sqlType, std::optional<std::string_view> boundText)
{
    const std::string_view text = boundText.value_or(std::string_view{});
    switch (cellFetchFor(sqlType)) {
    case CellFetch::TinyInt: return runtime::Value::byte(static_cast<std::uint8_t>(textToInteger(text)));
    case CellFetch::SmallInt: return runtime::Value::shortInt(static_cast<std::int16_t>(textToInteger(text)));
    case CellFetch::Integer: return runtime::Value::integer(textToInteger(text));
    case CellFetch::Bit: return runtime::Value::logical(textToInteger(text) != 0);
    case CellFetch::Real: return runtime::Value::floating(static_cast<float>(textToDecimal(text)));
    case CellFetch::Double: return runtime::Value::doubleFloat(textToDecimal(text));
    case CellFetch::Binary: return runtime::Value::byteSet({});
    default: return runtime::Value::text(text);
    }
}

std::optional<double> dateTimeDays(int year, int month, int day, int hour, int minute, int second,
                                   std::uint32_t nanoseconds)
{
    if (month < 1 || month > 12 || day < 1 || day > 31)
        return std::nullopt;
    if (hour < 0 || hour > 23 || minute < 0 || minute > 59 || second < 0 || second > 61)
        return std::nullopt;
    const std::int64_t epoch = daysFromCivil(1899, 12, 30);
    const std::int64_t days = std::clamp(
        daysFromCivil(year, static_cast<unsigned>(month), static_cast<unsigned>(day)) - epoch, kMinDay, kMaxDay);
    const double fraction =
        (hour * 3600.0 + minute * 60.0 + second + std::min<std::uint32_t>(nanoseconds, 999999999) / 1e9) / 86400.0;
    return days < 0 ? static_cast<double>(days) - fraction : static_cast<double>(days) + fraction;
}

} // namespace qr::sheet
