// One open ODBC connection of the service: its environment and connection
// handles, the connect string it was opened with, the driver's identifier quote
// character, and 30 result-set slots.
#pragma once

#include "runtime/value.h"
#include "sheet/result_set.h"

#include <sql.h>

#include <array>
#include <cstdint>
#include <memory>
#include <span>
#include <string>

namespace qr::sheet {

// Identifies one open result set; unique within the process, so a handle of a
// closed connection never names a result set of a later one. 0 means none.
using ResultSetHandle = std::int32_t;

constexpr std::size_t kResultSetSlots = 30;

struct OpenOptions {
    bool readOnly = false;
    bool noConnectDialog = false;
};

class Connection {
public:
    // Connects with SQLDriverConnect after removing a leading "ODBC;" from the
    // connect string. nullptr when the connection fails; nothing stays allocated.
    static std::unique_ptr<Connection> open(const std::string& connectString, OpenOptions options);
    ~Connection(); // closes every result set, disconnects and frees the handles
    Connection(const Connection&) = delete;
    Connection& operator=(const Connection&) = delete;

    // "ODBC;" followed by the connect string the driver manager completed.
    const std::string& connectString() const { return connectString_; }
    char identifierQuote() const { return quote_; }

    // 0 when no slot is free, or the query fails (brackets are replaced first).
    ResultSetHandle openResultSet(const std::string& sqlGbk);
    // nullptr for a handle that is not in this connection's slots.
    ResultSet* resultSet(ResultSetHandle handle);
    bool closeResultSet(ResultSetHandle handle);
    void closeAllResultSets();

    // Runs one statement with text and byte-set parameters (other kinds are
    // skipped, the next text or byte set taking the next marker) and drains
    // every result it gives. False on any ODBC error.
    bool execute(const std::string& sqlGbk, std::span<const runtime::Value> parameters);

    bool beginTransaction();
    bool endTransaction(bool commit);

private:
    Connection() = default;

    struct Slot {
        ResultSetHandle handle = 0;
        std::unique_ptr<ResultSet> set;
    };

    SQLHENV environment_ = SQL_NULL_HENV;
    SQLHDBC connection_ = SQL_NULL_HDBC;
    bool connected_ = false;
    bool inTransaction_ = false;
    std::string connectString_;
    char quote_ = '"';
    std::array<Slot, kResultSetSlots> slots_;
};

} // namespace qr::sheet
