#include "tools/store_cli/csv.h"

namespace qr::tools {

bool parseCsv(std::string_view text, CsvTable& table, std::string& error)
{
    if (text.substr(0, 3) == "\xEF\xBB\xBF")
        text.remove_prefix(3);
    table = {};
    std::size_t i = 0;
    int line = 1;
    while (i < text.size()) {
        CsvRow row;
        const int rowLine = line;
        const bool startsQuoted = text[i] == '"';
        for (;;) {
            std::string field;
            if (i < text.size() && text[i] == '"') {
                const int openedOn = line;
                ++i;
                for (;;) {
                    if (i >= text.size()) {
                        error = "line " + std::to_string(openedOn) + ": a quoted field is never closed";
                        return false;
                    }
                    const char c = text[i++];
                    if (c == '"') {
                        if (i < text.size() && text[i] == '"') {
                            field += '"';
                            ++i;
                            continue;
                        }
                        break;
                    }
                    if (c == '\n')
                        ++line;
                    field += c;
                }
                if (i < text.size() && text[i] != ',' && text[i] != '\r' && text[i] != '\n') {
                    error = "line " + std::to_string(line) + ": text after the closing quote of a field";
                    return false;
                }
            } else {
                while (i < text.size() && text[i] != ',' && text[i] != '\r' && text[i] != '\n') {
                    if (text[i] == '"') {
                        error = "line " + std::to_string(line) + ": a quote inside an unquoted field";
                        return false;
                    }
                    field += text[i++];
                }
            }
            row.push_back(std::move(field));
            if (i < text.size() && text[i] == ',') {
                ++i;
                continue;
            }
            break;
        }
        if (i < text.size() && text[i] == '\r') {
            ++i;
            if (i < text.size() && text[i] != '\n') {
                error = "line " + std::to_string(line) + ": a carriage return without a line feed";
                return false;
            }
        }
        if (i < text.size() && text[i] == '\n') {
            ++i;
            ++line;
        }
        // A blank line carries no record (a one-field record is written as "" when empty).
        if (row.size() == 1 && row[0].empty() && !startsQuoted)
            continue;
        table.rows.push_back(std::move(row));
        table.lines.push_back(rowLine);
    }
    return true;
}

void appendCsvRow(std::string& out, const CsvRow& row)
{
    for (std::size_t k = 0; k < row.size(); ++k) {
        if (k > 0)
            out += ',';
        const std::string& f = row[k];
        const bool quote = f.find_first_of(",\"\r\n") != std::string::npos || (row.size() == 1 && f.empty());
        if (!quote) {
            out += f;
            continue;
        }
        out += '"';
        for (char c : f) {
            if (c == '"')
                out += '"';
            out += c;
        }
        out += '"';
    }
    out += "\r\n";
}

} // namespace qr::tools
