#include "xlsodbc/connect_string.h"

#include <cctype>
#include <charconv>

namespace qr::xls {
namespace {

std::string upper(std::string_view s)
{
    std::string out(s);
    for (char& c : out)
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return out;
}

std::string_view trim(std::string_view s)
{
    while (!s.empty() && std::isspace(static_cast<unsigned char>(s.front())))
        s.remove_prefix(1);
    while (!s.empty() && std::isspace(static_cast<unsigned char>(s.back())))
        s.remove_suffix(1);
    return s;
}

std::optional<bool> parseFlag(const std::string& v)
{
    const std::string u = upper(trim(v));
    if (u == "1" || u == "YES" || u == "TRUE" || u == "ON")
        return true;
    if (u == "0" || u == "NO" || u == "FALSE" || u == "OFF")
        return false;
    return std::nullopt;
}

} // namespace

ConnectString ConnectString::parse(std::string_view text)
{
    ConnectString cs;
    std::size_t i = 0;
    while (i < text.size()) {
        const std::size_t eq = text.find('=', i);
        const std::size_t semi = text.find(';', i);
        if (eq == std::string_view::npos || (semi != std::string_view::npos && semi < eq)) {
            // A piece without '=' (a stray word or an empty piece) is skipped.
            if (semi == std::string_view::npos)
                break;
            i = semi + 1;
            continue;
        }
        const std::string_view key = trim(text.substr(i, eq - i));
        std::size_t j = eq + 1;
        while (j < text.size() && (text[j] == ' ' || text[j] == '\t'))
            ++j;
        std::string value;
        if (j < text.size() && text[j] == '{') {
            ++j;
            while (j < text.size()) {
                if (text[j] == '}') {
                    if (j + 1 < text.size() && text[j + 1] == '}') {
                        value.push_back('}');
                        j += 2;
                        continue;
                    }
                    ++j;
                    break;
                }
                value.push_back(text[j++]);
            }
            const std::size_t next = text.find(';', j);
            i = next == std::string_view::npos ? text.size() : next + 1;
        } else {
            const std::size_t next = text.find(';', j);
            const std::size_t end = next == std::string_view::npos ? text.size() : next;
            value = std::string(trim(text.substr(j, end - j)));
            i = next == std::string_view::npos ? text.size() : next + 1;
        }
        if (!key.empty() && !cs.get(key)) // the first occurrence of a key counts
            cs.set(key, std::move(value));
    }
    return cs;
}

std::optional<std::string> ConnectString::get(std::string_view key) const
{
    const auto it = entries_.find(upper(key));
    if (it == entries_.end())
        return std::nullopt;
    return it->second.second;
}

void ConnectString::set(std::string_view key, std::string value)
{
    entries_[upper(key)] = {std::string(key), std::move(value)};
}

std::string ConnectString::toString() const
{
    std::string out;
    for (const auto& [upperKey, entry] : entries_) {
        const auto& [key, value] = entry;
        out += key;
        out += '=';
        // Unbraced values lose their surrounding blanks when read, so values that
        // have some are braced like those holding the separators.
        const bool blankAtAnEnd = !value.empty() && (std::isspace(static_cast<unsigned char>(value.front())) ||
                                                     std::isspace(static_cast<unsigned char>(value.back())));
        if (value.find_first_of(";{}") != std::string::npos || blankAtAnEnd || upperKey == "DRIVER") {
            out += '{';
            for (char c : value) {
                out += c;
                if (c == '}')
                    out += '}';
            }
            out += '}';
        } else {
            out += value;
        }
        out += ';';
    }
    return out;
}

bool readConnectOptions(const ConnectString& cs, ConnectOptions& out, std::string& error)
{
    out = ConnectOptions{};
    const auto dbq = cs.get("DBQ");
    if (!dbq || dbq->empty()) {
        error = "no workbook file given (DBQ)";
        return false;
    }
    out.file = *dbq;
    if (out.file.front() != '/') {
        if (const auto dir = cs.get("DefaultDir"); dir && !dir->empty())
            out.file = *dir + (dir->back() == '/' ? "" : "/") + out.file;
    }
    if (const auto ro = cs.get("ReadOnly")) {
        const auto flag = parseFlag(*ro);
        if (!flag) {
            error = "ReadOnly must be 0 or 1";
            return false;
        }
        out.readOnly = *flag;
    }
    if (const auto names = cs.get("FirstRowHasNames")) {
        const auto flag = parseFlag(*names);
        if (!flag) {
            error = "FirstRowHasNames must be 0 or 1";
            return false;
        }
        out.firstRowHasNames = *flag;
    }
    if (const auto scan = cs.get("MaxScanRows")) {
        const std::string_view v = trim(*scan);
        int rows = 0;
        const auto res = std::from_chars(v.data(), v.data() + v.size(), rows);
        if (res.ec != std::errc() || res.ptr != v.data() + v.size() || rows < 0 || rows > 16) {
            error = "MaxScanRows must be a number from 0 to 16";
            return false;
        }
        out.maxScanRows = rows;
    }
    return true;
}

} // namespace qr::xls
