// Connect strings: KEY=value pairs separated by ';', keys without regard to letter
// case, a value in braces may hold ';' ("}}" inside braces is one '}').
#pragma once

#include <map>
#include <optional>
#include <string>
#include <string_view>

namespace qr::xls {

class ConnectString {
public:
    static ConnectString parse(std::string_view text);

    std::optional<std::string> get(std::string_view key) const;
    void set(std::string_view key, std::string value);
    // KEY=value;... again, values holding ';' or braces braced.
    std::string toString() const;

private:
    std::map<std::string, std::pair<std::string, std::string>> entries_; // upper key -> (key as written, value)
};

// The driver's settings taken from a connect string (or a data source).
struct ConnectOptions {
    std::string file;     // GBK path of the workbook (DBQ, resolved against DefaultDir)
    bool readOnly = true; // ReadOnly; absent means read-only, as spreadsheet drivers do
    int maxScanRows = 8;  // MaxScanRows; 0 scans every row
    bool firstRowHasNames = true;
};

// Validates the settings; on failure returns false with a message.
bool readConnectOptions(const ConnectString& cs, ConnectOptions& out, std::string& error);

} // namespace qr::xls
