#include "runtime/to_number.h"

#include "runtime/gbk.h"

#include <clocale>
#include <cstdlib>
#include <limits>
#include <locale.h>
#include <string>

namespace qr::runtime {
namespace {

bool isDigit(char c) { return c >= '0' && c <= '9'; }
bool isCSpace(char c) { return c == ' ' || (c >= '\t' && c <= '\r'); }

// Length of the longest prefix of text (from pos) that is a decimal number.
size_t decimalPrefixEnd(std::string_view text, size_t pos)
{
    const size_t start = pos;
    if (pos < text.size() && (text[pos] == '+' || text[pos] == '-'))
        ++pos;
    size_t digits = 0;
    while (pos < text.size() && isDigit(text[pos])) {
        ++pos;
        ++digits;
    }
    if (pos < text.size() && text[pos] == '.') {
        ++pos;
        while (pos < text.size() && isDigit(text[pos])) {
            ++pos;
            ++digits;
        }
    }
    if (digits == 0)
        return start;
    // An exponent counts only when at least one digit follows it.
    if (pos < text.size() && (text[pos] == 'e' || text[pos] == 'E')) {
        size_t e = pos + 1;
        if (e < text.size() && (text[e] == '+' || text[e] == '-'))
            ++e;
        if (e < text.size() && isDigit(text[e])) {
            while (e < text.size() && isDigit(text[e]))
                ++e;
            pos = e;
        }
    }
    return pos;
}

locale_t cLocale()
{
    static const locale_t c = newlocale(LC_NUMERIC_MASK, "C", static_cast<locale_t>(nullptr));
    return c;
}

} // namespace

Text normaliseFullWidth(std::string_view text)
{
    Text out;
    out.reserve(text.size());
    for (size_t i = 0; i < text.size(); ++i) {
        const auto lead = static_cast<std::uint8_t>(text[i]);
        if (!isGbkLeadByte(lead) || i + 1 == text.size()) {
            out += text[i];
            continue;
        }
        const auto trail = static_cast<std::uint8_t>(text[i + 1]);
        if (lead == 0xA3 && trail >= 0xA1 && trail <= 0xFE)
            out += static_cast<char>(trail & 0x7F);
        else if (lead == 0xA1 && trail == 0xA1)
            out += ' ';
        else if (lead == 0xA1 && trail == 0xAB)
            out += '~';
        else if (lead == 0xA1 && (trail == 0xEE || trail == 0xEF))
            out += '*';
        else
            out.append(text.substr(i, 2));
        ++i;
    }
    return out;
}

double parseLeadingNumber(std::string_view text)
{
    size_t pos = 0;
    while (pos < text.size() && isCSpace(text[pos]))
        ++pos;
    const size_t end = decimalPrefixEnd(text, pos);
    if (end == pos)
        return 0.0;
    // strtod_l rounds correctly and gives HUGE_VAL or 0 on overflow and
    // underflow, as atof does; the prefix is already known to be well formed.
    const std::string number(text.substr(pos, end - pos));
    return strtod_l(number.c_str(), nullptr, cLocale());
}

double toNumber(const Value& value)
{
    switch (value.kind()) {
    case Kind::Text: return parseLeadingNumber(normaliseFullWidth(value.asText()));
    case Kind::Logical: return value.asLogical() ? 1.0 : 0.0;
    case Kind::DateTime: return value.asDateTime().days;
    case Kind::Byte:
    case Kind::Short:
    case Kind::Integer:
    case Kind::Long:
    case Kind::Float:
    case Kind::Double: return value.numericAsDouble();
    case Kind::None:
    case Kind::SubprogramPointer:
    case Kind::ByteSet: break;
    }
    return 0.0;
}

float toFloat(const Value& value)
{
    // Narrowing a double beyond float's range is undefined behaviour; the
    // platform's conversion gives an infinity, so give that explicitly.
    const double d = toNumber(value);
    constexpr double kMax = std::numeric_limits<float>::max();
    if (d > kMax)
        return std::numeric_limits<float>::infinity();
    if (d < -kMax)
        return -std::numeric_limits<float>::infinity();
    return static_cast<float>(d);
}

} // namespace qr::runtime
