#include "tools/store_cli/json_text.h"

#include <charconv>
#include <cmath>

namespace qr::tools {
namespace {

template <typename T> std::string toChars(T v)
{
    char buffer[64];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, v);
    return std::string(buffer, result.ptr);
}

} // namespace

std::string shortestText(double v) { return toChars(v); }
std::string shortestText(float v) { return toChars(v); }

void appendJsonString(std::string& out, std::string_view utf8)
{
    static const char* const hex = "0123456789abcdef";
    out += '"';
    for (const char ch : utf8) {
        const auto c = static_cast<unsigned char>(ch);
        switch (c) {
        case '"': out += "\\\""; break;
        case '\\': out += "\\\\"; break;
        case '\n': out += "\\n"; break;
        case '\r': out += "\\r"; break;
        case '\t': out += "\\t"; break;
        case '\b': out += "\\b"; break;
        case '\f': out += "\\f"; break;
        default:
            if (c < 0x20) {
                out += "\\u00";
                out += hex[c >> 4];
                out += hex[c & 15];
            } else {
                out += ch;
            }
        }
    }
    out += '"';
}

void appendJsonNumber(std::string& out, double v) { out += std::isfinite(v) ? toChars(v) : "null"; }

void appendJsonNumber(std::string& out, float v) { out += std::isfinite(v) ? toChars(v) : "null"; }

void appendJsonNumber(std::string& out, std::int64_t v) { out += toChars(v); }

} // namespace qr::tools
