// A small ODBC client for the driver tests: everything goes through the real driver
// manager (libodbc), which loads the driver registered in the run directory's
// odbcinst.ini.
#pragma once

#include <sql.h>
#include <sqlext.h>

#include <optional>
#include <string>
#include <vector>

namespace qr::xls::testing {

struct QueryResult {
    std::vector<std::string> names;
    std::vector<SQLSMALLINT> types;
    std::vector<std::vector<std::optional<std::string>>> rows; // cells as SQL_C_CHAR, nullopt for NULL
};

class OdbcClient {
public:
    OdbcClient();
    ~OdbcClient();
    OdbcClient(const OdbcClient&) = delete;
    OdbcClient& operator=(const OdbcClient&) = delete;

    // Connects with "DBQ=<path>;Driver={Microsoft Excel Driver (*.xls)};" + extra.
    bool connectTo(const std::string& path, const std::string& extra = "ReadOnly=0;");
    bool connect(const std::string& connectString);
    void disconnect();

    // Runs a statement without result rows; false on failure (see lastState()).
    bool exec(const std::string& sql);
    // Runs a query and reads every row with SQLGetData.
    bool query(const std::string& sql, QueryResult& out);

    SQLHDBC dbc() const { return dbc_; }
    // Allocates a statement on the connection (freed by the caller).
    SQLHSTMT newStatement();

    const std::string& lastState() const { return state_; }
    const std::string& lastMessage() const { return message_; }
    void takeDiagnostics(SQLSMALLINT type, SQLHANDLE h);

private:
    SQLHENV env_ = SQL_NULL_HENV;
    SQLHDBC dbc_ = SQL_NULL_HDBC;
    bool connected_ = false;
    std::string state_;
    std::string message_;
};

// Reads a whole cell through SQLGetData in pieces of `chunk` bytes.
std::optional<std::string> readText(SQLHSTMT stmt, SQLUSMALLINT column, std::size_t chunk = 4096);

// The driver's standard connect string for a file, as the application builds it.
std::string exportConnectString(const std::string& file);

} // namespace qr::xls::testing
