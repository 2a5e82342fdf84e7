#include "sheet/sql_brackets.h"

#include "runtime/gbk.h"

namespace qr::sheet {

std::string_view upToFirstNul(std::string_view text)
{
    const auto nul = text.find('\0');
    return nul == std::string_view::npos ? text : text.substr(0, nul);
}

std::string replaceBrackets(std::string_view sql, char quoteChar)
{
    std::string out;
    out.reserve(sql.size());
    bool inLiteral = false;
    std::size_t i = 0;
    while (i < sql.size()) {
        const char c = sql[i];
        if (runtime::isGbkLeadByte(static_cast<unsigned char>(c)) && i + 1 < sql.size()) {
            out.append(sql.substr(i, 2));
            i += 2;
            continue;
        }
        const bool doubled = i + 1 < sql.size() && sql[i + 1] == c;
        if (c == '\'') {
            if (inLiteral && doubled) {
                out.append("''");
                i += 2;
                continue;
            }
            inLiteral = !inLiteral;
            out.push_back(c);
            ++i;
            continue;
        }
        if (!inLiteral && (c == '[' || c == ']')) {
            if (doubled) {
                out.push_back(c);
                i += 2;
            } else {
                out.push_back(quoteChar);
                ++i;
            }
            continue;
        }
        out.push_back(c);
        ++i;
    }
    return out;
}

} // namespace qr::sheet
