#include "tests/xlsodbc/odbc_client.h"

#include <cstring>

namespace qr::xls::testing {

OdbcClient::OdbcClient()
{
    SQLAllocHandle(SQL_HANDLE_ENV, SQL_NULL_HANDLE, &env_);
    SQLSetEnvAttr(env_, SQL_ATTR_ODBC_VERSION, reinterpret_cast<SQLPOINTER>(SQL_OV_ODBC3), 0);
    SQLAllocHandle(SQL_HANDLE_DBC, env_, &dbc_);
}

OdbcClient::~OdbcClient()
{
    disconnect();
    SQLFreeHandle(SQL_HANDLE_DBC, dbc_);
    SQLFreeHandle(SQL_HANDLE_ENV, env_);
}

void OdbcClient::takeDiagnostics(SQLSMALLINT type, SQLHANDLE h)
{
    SQLCHAR state[6] = {};
    SQLCHAR text[1024] = {};
    SQLINTEGER native = 0;
    SQLSMALLINT len = 0;
    state_.clear();
    message_.clear();
    if (SQL_SUCCEEDED(SQLGetDiagRec(type, h, 1, state, &native, text, sizeof text, &len))) {
        state_ = reinterpret_cast<char*>(state);
        message_ = reinterpret_cast<char*>(text);
    }
}

bool OdbcClient::connect(const std::string& cs)
{
    SQLCHAR out[1024];
    SQLSMALLINT outLen = 0;
    const SQLRETURN rc = SQLDriverConnect(dbc_, nullptr, reinterpret_cast<SQLCHAR*>(const_cast<char*>(cs.c_str())),
                                          SQL_NTS, out, sizeof out, &outLen, SQL_DRIVER_NOPROMPT);
    if (!SQL_SUCCEEDED(rc)) {
        takeDiagnostics(SQL_HANDLE_DBC, dbc_);
        return false;
    }
    connected_ = true;
    return true;
}

bool OdbcClient::connectTo(const std::string& path, const std::string& extra)
{
    return connect("DBQ=" + path + ";Driver={Microsoft Excel Driver (*.xls)};" + extra);
}

void OdbcClient::disconnect()
{
    if (connected_) {
        const SQLRETURN rc = SQLDisconnect(dbc_);
        takeDiagnostics(SQL_HANDLE_DBC, dbc_);
        (void)rc;
        connected_ = false;
    }
}

SQLHSTMT OdbcClient::newStatement()
{
    SQLHSTMT stmt = SQL_NULL_HSTMT;
    SQLAllocHandle(SQL_HANDLE_STMT, dbc_, &stmt);
    return stmt;
}

bool OdbcClient::exec(const std::string& sql)
{
    SQLHSTMT stmt = newStatement();
    const SQLRETURN rc = SQLExecDirect(stmt, reinterpret_cast<SQLCHAR*>(const_cast<char*>(sql.c_str())), SQL_NTS);
    if (!SQL_SUCCEEDED(rc))
        takeDiagnostics(SQL_HANDLE_STMT, stmt);
    SQLFreeHandle(SQL_HANDLE_STMT, stmt);
    return SQL_SUCCEEDED(rc);
}

std::optional<std::string> readText(SQLHSTMT stmt, SQLUSMALLINT column, std::size_t chunk)
{
    std::string out;
    std::vector<char> buf(chunk + 1);
    while (true) {
        SQLLEN ind = 0;
        const SQLRETURN rc = SQLGetData(stmt, column, SQL_C_CHAR, buf.data(), static_cast<SQLLEN>(buf.size()), &ind);
        if (rc == SQL_NO_DATA)
            return out;
        if (!SQL_SUCCEEDED(rc))
            return "<error>";
        if (ind == SQL_NULL_DATA)
            return std::nullopt;
        out += buf.data();
        if (rc == SQL_SUCCESS)
            return out;
    }
}

bool OdbcClient::query(const std::string& sql, QueryResult& out)
{
    out = QueryResult{};
    SQLHSTMT stmt = newStatement();
    SQLRETURN rc = SQLExecDirect(stmt, reinterpret_cast<SQLCHAR*>(const_cast<char*>(sql.c_str())), SQL_NTS);
    if (!SQL_SUCCEEDED(rc)) {
        takeDiagnostics(SQL_HANDLE_STMT, stmt);
        SQLFreeHandle(SQL_HANDLE_STMT, stmt);
        return false;
    }
    SQLSMALLINT cols = 0;
    SQLNumResultCols(stmt, &cols);
    for (SQLUSMALLINT c = 1; c <= cols; ++c) {
        SQLCHAR name[256];
        SQLSMALLINT nameLen = 0, type = 0, digits = 0, nullable = 0;
        SQLULEN size = 0;
        SQLDescribeCol(stmt, c, name, sizeof name, &nameLen, &type, &size, &digits, &nullable);
        out.names.emplace_back(reinterpret_cast<char*>(name));
        out.types.push_back(type);
    }
    while ((rc = SQLFetch(stmt)) == SQL_SUCCESS || rc == SQL_SUCCESS_WITH_INFO) {
        std::vector<std::optional<std::string>> row;
        for (SQLUSMALLINT c = 1; c <= cols; ++c)
            row.push_back(readText(stmt, c, 100));
        out.rows.push_back(std::move(row));
    }
    SQLFreeHandle(SQL_HANDLE_STMT, stmt);
    return rc == SQL_NO_DATA;
}

std::string exportConnectString(const std::string& file)
{
    const std::size_t slash = file.rfind('/');
    const std::string dir = slash == std::string::npos ? "" : file.substr(0, slash + 1);
    return "DBQ=" + file + ";DefaultDir=" + dir +
           ";Driver={Microsoft Excel Driver (*.xls)};DriverId=790;FIL=excel 8.0;MaxBufferSize=2048;MaxScanRows=8;"
           "PageTimeout=5;ReadOnly=0;SafeTransactions=0;Threads=3;UID=admin;UserCommitSync=Yes;";
}

} // namespace qr::xls::testing
