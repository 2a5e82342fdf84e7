// The SQL the driver understands:
//   SELECT * | col [, col ...] FROM table
//   INSERT INTO table [(col [, col ...])] VALUES (value [, value ...])
// Identifiers may be quoted with the driver's quote character ` or with [ ]; values
// are 'texts' (a doubled quote is one quote), numbers, NULL or ? parameter markers.
// Texts are GBK; double-byte characters are stepped over whole.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace qr::xls {

struct SqlValue {
    enum class Kind { Text, Number, Null, Parameter } kind = Kind::Null;
    std::string text;
    double number = 0;
    int parameter = 0; // 0-based marker number
};

struct SqlStatement {
    enum class Kind { Select, Insert } kind = Kind::Select;
    std::string table;
    bool allColumns = false; // SELECT * / INSERT without a column list
    std::vector<std::string> columns;
    std::vector<SqlValue> values; // INSERT
    int parameterCount = 0;
};

// Parses one statement. On failure returns false with a message naming what was
// expected and where.
bool parseSql(std::string_view sql, SqlStatement& out, std::string& error);

} // namespace qr::xls
