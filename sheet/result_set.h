// A read-only snapshot over one query on an open connection: the statement runs
// once with a static scrollable cursor, every row is fetched once to learn the
// row count, then the cursor goes back to the first row. Deleted rows are
// skipped. Reads give typed cell values of the current row.
#pragma once

#include "runtime/value.h"

#include <sql.h>
#include <sqlext.h>

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace qr::sheet {

class ResultSet {
public:
    struct Column {
        std::string name; // as the driver reports it (GBK bytes)
        SQLSMALLINT sqlType = 0;
        SQLULEN size = 0;
        bool isUnsigned = false;
        bool bound = false;     // long and binary columns and those above 512 are not bound
        std::vector<char> text; // the bound text buffer
        SQLLEN indicator = SQL_NULL_DATA;
    };

    // nullptr when the driver rejects the query, it gives no result columns, the
    // cursor cannot scroll, or any fetch fails; nothing is left open then.
    static std::unique_ptr<ResultSet> open(SQLHDBC connection, const std::string& sql);
    ~ResultSet();
    ResultSet(const ResultSet&) = delete;
    ResultSet& operator=(const ResultSet&) = delete;

    bool isEOF() const { return eof_; }
    bool isBOF() const { return bof_; }
    long rowCount() const { return rowCount_; }
    const std::vector<Column>& columns() const { return columns_; }

    // A move that fails leaves no current row: moving forward then ends at EOF,
    // moving backward at BOF, so a loop over the rows always ends.
    void moveFirst();
    void moveNext();
    void movePrev();
    void moveLast();
    // Runs the query again and takes a new snapshot, on its first row. False (and
    // no rows) when the query now fails.
    bool requery();

    // The typed value of column index (0-based) in the current row; None when the
    // index is outside the columns or there is no current row. Reading the same
    // cell twice gives the same value.
    runtime::Value read(std::size_t index);
    // The first column whose name equals name byte for byte, or -1.
    int findColumn(std::string_view name) const;
    // The bound text of a column in the current row (empty when NULL or unbound).
    std::string boundText(std::size_t index) const;

private:
    enum class Fetched { Row, NoData, Failed };
    ResultSet() = default;
    bool describeAndBind();
    bool countRowsAndRewind();
    Fetched fetch(SQLSMALLINT orientation);
    void afterMove(Fetched result, bool forward);
    runtime::Value fetchCell(std::size_t index);
    std::optional<std::string> fetchVariable(SQLUSMALLINT columnNumber, SQLSMALLINT cType);

    void forgetRows();

    SQLHSTMT statement_ = SQL_NULL_HSTMT;
    std::vector<SQLCHAR> sql_; // NUL-terminated, as executed
    std::vector<Column> columns_;
    std::vector<std::optional<runtime::Value>> rowCache_;
    SQLUSMALLINT rowStatus_ = SQL_ROW_SUCCESS;
    bool onRow_ = false;
    bool bof_ = true;
    bool eof_ = true;
    long rowCount_ = 0;
};

} // namespace qr::sheet
