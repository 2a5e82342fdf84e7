#include "runtime/to_text.h"

#include "runtime/ole_date.h"

#include <algorithm>
#include <charconv>
#include <cstdio>

namespace qr::runtime {

Text formatGeneral(double value, int precision)
{
    // to_chars with a precision produces exactly what "%.*g" would, without
    // consulting LC_NUMERIC (a GUI toolkit sets the process locale from the
    // environment, which would turn the point into a comma).
    char buffer[64];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::general, precision);
    return Text(buffer, result.ptr);
}

Text dateTimeText(double days)
{
    const CalendarTime t = calendarFromDateTime(days);
    char buffer[96];
    int n = std::snprintf(buffer, sizeof buffer, "%d年%d月%d日", t.year, t.month, t.day);
    if (t.second != 0)
        n += std::snprintf(buffer + n, sizeof buffer - n, "%d时%d分%d秒", t.hour, t.minute, t.second);
    else if (t.minute != 0)
        n += std::snprintf(buffer + n, sizeof buffer - n, "%d时%d分", t.hour, t.minute);
    else if (t.hour != 0)
        n += std::snprintf(buffer + n, sizeof buffer - n, "%d时", t.hour);
    return Text(buffer, static_cast<size_t>(n));
}

Text toText(const Value& value)
{
    switch (value.kind()) {
    case Kind::Byte: return std::to_string(static_cast<unsigned>(value.asByte()));
    case Kind::Short: return std::to_string(static_cast<int>(value.asShort()));
    case Kind::Integer: return std::to_string(value.asInteger());
    case Kind::Long: return std::to_string(value.asLong());
    case Kind::Float: return formatGeneral(static_cast<double>(value.asFloat()), 6);
    case Kind::Double: return formatGeneral(value.asDouble(), 13);
    case Kind::Logical: return value.asLogical() ? "真" : "假";
    case Kind::DateTime: return dateTimeText(value.asDateTime().days);
    case Kind::Text: return value.asText();
    case Kind::ByteSet: {
        const ByteSet& bytes = value.asByteSet();
        const auto end = std::find(bytes.begin(), bytes.end(), std::uint8_t{0});
        return Text(bytes.begin(), end);
    }
    case Kind::None:
    case Kind::SubprogramPointer: break;
    }
    return {};
}

} // namespace qr::runtime
