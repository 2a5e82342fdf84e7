#include "tools/store_cli/text_number.h"

#include <charconv>
#include <limits>

namespace qr::tools {
namespace {

bool isBlank(char c) { return c == ' ' || (c >= '\t' && c <= '\r'); }
bool isDigit(char c) { return c >= '0' && c <= '9'; }

// The leading decimal number after blanks: sign, digits, point, digits, exponent.
// Only decimal notation counts, as in the C library's atof of the old runtime: no
// hexadecimal, no "inf" or "nan".
std::string_view numericPrefix(std::string_view s, bool& negative)
{
    std::size_t i = 0;
    while (i < s.size() && isBlank(s[i]))
        ++i;
    negative = false;
    if (i < s.size() && (s[i] == '+' || s[i] == '-')) {
        negative = s[i] == '-';
        ++i;
    }
    const std::size_t start = i;
    std::size_t digits = 0;
    while (i < s.size() && isDigit(s[i]))
        ++i, ++digits;
    if (i < s.size() && s[i] == '.') {
        ++i;
        while (i < s.size() && isDigit(s[i]))
            ++i, ++digits;
    }
    if (digits == 0)
        return {};
    std::size_t end = i;
    if (i < s.size() && (s[i] == 'e' || s[i] == 'E')) {
        std::size_t j = i + 1;
        if (j < s.size() && (s[j] == '+' || s[j] == '-'))
            ++j;
        if (j < s.size() && isDigit(s[j])) {
            while (j < s.size() && isDigit(s[j]))
                ++j;
            end = j;
        }
    }
    return s.substr(start, end - start);
}

template <typename T>
T convert(std::string_view gbk)
{
    const std::string text = normaliseFullWidth(gbk);
    bool negative = false;
    const std::string_view prefix = numericPrefix(text, negative);
    if (prefix.empty())
        return T(0);
    T value = 0;
    // Out of range gives ±inf or 0 as atof would (from_chars leaves value unchanged then).
    const auto result = std::from_chars(prefix.data(), prefix.data() + prefix.size(), value);
    if (result.ec == std::errc::result_out_of_range) {
        const bool tiny = prefix.find_first_of("eE") != std::string_view::npos &&
                          prefix[prefix.find_first_of("eE") + 1] == '-';
        value = tiny ? T(0) : std::numeric_limits<T>::infinity();
    }
    return negative ? -value : value;
}

} // namespace

std::string normaliseFullWidth(std::string_view gbk)
{
    std::string out;
    out.reserve(gbk.size());
    for (std::size_t i = 0; i < gbk.size(); ++i) {
        const auto lead = static_cast<unsigned char>(gbk[i]);
        if (lead < 0x81 || i + 1 >= gbk.size()) {
            out += gbk[i];
            continue;
        }
        const auto trail = static_cast<unsigned char>(gbk[i + 1]);
        ++i;
        if (lead == 0xA3 && trail >= 0xA1 && trail <= 0xFE)
            out += static_cast<char>(trail & 0x7F);
        else if (lead == 0xA1 && trail == 0xA1)
            out += ' ';
        else if (lead == 0xA1 && trail == 0xAB)
            out += '~';
        else if (lead == 0xA1 && (trail == 0xEE || trail == 0xEF))
            out += '*';
        else {
            out += static_cast<char>(lead);
            out += static_cast<char>(trail);
        }
    }
    return out;
}

double textToNumber(std::string_view gbk) { return convert<double>(gbk); }
float textToFloat(std::string_view gbk) { return convert<float>(gbk); }

} // namespace qr::tools
