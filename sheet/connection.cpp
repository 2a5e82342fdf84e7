#include "sheet/connection.h"

#include "sheet/odbc_calls.h"
#include "sheet/sql_brackets.h"

#include <sqlext.h>

#include <algorithm>
#include <limits>
#include <vector>

namespace qr::sheet {

namespace {

std::string withoutOdbcPrefix(const std::string& connect)
{
    static constexpr std::string_view prefix = "ODBC;";
    if (connect.size() < prefix.size())
        return connect;
    for (std::size_t i = 0; i < prefix.size(); ++i) {
        char c = connect[i];
        if (c >= 'a' && c <= 'z')
            c = static_cast<char>(c - 'a' + 'A');
        if (c != prefix[i])
            return connect;
    }
    return connect.substr(prefix.size());
}

ResultSetHandle nextResultSetHandle()
{
    // Process-wide, so that no two result sets, even of different connections,
    // ever share a handle (until 2^31 result sets have been opened).
    static ResultSetHandle last = 0;
    last = last == std::numeric_limits<ResultSetHandle>::max() ? 1 : last + 1;
    return last;
}

bool ranOrNoData(SQLRETURN rc) { return odbc::succeeded(rc) || rc == SQL_NO_DATA; }

// Fetches and drops every row and every further result of an executed statement.
bool drainResults(SQLHSTMT statement)
{
    for (;;) {
        SQLSMALLINT columns = 0;
        if (!odbc::succeeded(SQLNumResultCols(statement, &columns)))
            return false;
        if (columns > 0) {
            for (;;) {
                const SQLRETURN rc = odbc::untilDone([&] { return SQLFetch(statement); });
                if (rc == SQL_NO_DATA)
                    break;
                if (!odbc::succeeded(rc))
                    return false;
                if (rc == SQL_SUCCESS_WITH_INFO && odbc::fetchInfoIsError(statement))
                    return false;
            }
        }
        const SQLRETURN more = odbc::untilDone([&] { return SQLMoreResults(statement); });
        if (more == SQL_NO_DATA)
            return true;
        if (!odbc::succeeded(more)) {
            // A driver without batches may not offer SQLMoreResults at all (IM001):
            // then there is nothing more to drain.
            const auto states = odbc::diagnosticStates(SQL_HANDLE_STMT, statement);
            return std::find(states.begin(), states.end(), "IM001") != states.end();
        }
    }
}

} // namespace

std::unique_ptr<Connection> Connection::open(const std::string& connectString, OpenOptions options)
{
    std::unique_ptr<Connection> c(new Connection);
    if (!odbc::succeeded(SQLAllocHandle(SQL_HANDLE_ENV, SQL_NULL_HANDLE, &c->environment_))) {
        c->environment_ = SQL_NULL_HENV;
        return nullptr;
    }
    if (!odbc::succeeded(
            SQLSetEnvAttr(c->environment_, SQL_ATTR_ODBC_VERSION, reinterpret_cast<SQLPOINTER>(SQL_OV_ODBC3), 0)))
        return nullptr;
    if (!odbc::succeeded(SQLAllocHandle(SQL_HANDLE_DBC, c->environment_, &c->connection_))) {
        c->connection_ = SQL_NULL_HDBC;
        return nullptr;
    }
    if (options.readOnly) {
        // A hint to the driver; one that cannot honour it still connects.
        SQLSetConnectAttr(c->connection_, SQL_ATTR_ACCESS_MODE, reinterpret_cast<SQLPOINTER>(SQL_MODE_READ_ONLY), 0);
    }

    const std::string in = withoutOdbcPrefix(connectString);
    // No string at all lets the user pick a data source in the driver manager's
    // dialog; otherwise the manager may complete the string by asking, unless
    // the caller rules dialogs out.
    SQLUSMALLINT completion = SQL_DRIVER_COMPLETE;
    if (options.noConnectDialog)
        completion = SQL_DRIVER_NOPROMPT;
    else if (in.empty())
        completion = SQL_DRIVER_PROMPT;

    std::vector<SQLCHAR> inText(in.begin(), in.end());
    inText.push_back('\0');
    std::vector<SQLCHAR> outText(4096);
    SQLSMALLINT outLength = 0;
    const SQLRETURN rc = odbc::untilDone([&] {
        return SQLDriverConnect(c->connection_, nullptr, inText.data(), SQL_NTS, outText.data(),
                                static_cast<SQLSMALLINT>(outText.size()), &outLength, completion);
    });
    if (!odbc::succeeded(rc))
        return nullptr;
    c->connected_ = true;

    const bool completeOut = outLength > 0 && static_cast<std::size_t>(outLength) < outText.size();
    c->connectString_ = "ODBC;" + (completeOut ? std::string(reinterpret_cast<const char*>(outText.data()),
                                                             static_cast<std::size_t>(outLength))
                                               : in);

    SQLCHAR quote[8] = {};
    SQLSMALLINT quoteLength = 0;
    if (odbc::succeeded(SQLGetInfo(c->connection_, SQL_IDENTIFIER_QUOTE_CHAR, quote, sizeof quote, &quoteLength)) &&
        quoteLength > 0)
        c->quote_ = static_cast<char>(quote[0]);
    return c;
}

Connection::~Connection()
{
    closeAllResultSets();
    if (inTransaction_)
        endTransaction(false);
    if (connected_)
        SQLDisconnect(connection_);
    if (connection_ != SQL_NULL_HDBC)
        SQLFreeHandle(SQL_HANDLE_DBC, connection_);
    if (environment_ != SQL_NULL_HENV)
        SQLFreeHandle(SQL_HANDLE_ENV, environment_);
}

ResultSetHandle Connection::openResultSet(const std::string& sqlGbk)
{
    auto free = std::find_if(slots_.begin(), slots_.end(), [](const Slot& s) { return s.handle == 0; });
    if (free == slots_.end())
        return 0;
    auto set = ResultSet::open(connection_, replaceBrackets(upToFirstNul(sqlGbk), quote_));
    if (!set)
        return 0;
    free->handle = nextResultSetHandle();
    free->set = std::move(set);
    return free->handle;
}

ResultSet* Connection::resultSet(ResultSetHandle handle)
{
    if (handle == 0)
        return nullptr;
    for (auto& slot : slots_) {
        if (slot.handle == handle)
            return slot.set.get();
    }
    return nullptr;
}

bool Connection::closeResultSet(ResultSetHandle handle)
{
    if (handle == 0)
        return false;
    for (auto& slot : slots_) {
        if (slot.handle == handle) {
            slot = Slot{};
            return true;
        }
    }
    return false;
}

void Connection::closeAllResultSets()
{
    for (auto& slot : slots_)
        slot = Slot{};
}

bool Connection::execute(const std::string& sqlGbk, std::span<const runtime::Value> parameters)
{
    const std::string sql = replaceBrackets(upToFirstNul(sqlGbk), quote_);
    SQLHSTMT statement = SQL_NULL_HSTMT;
    if (!odbc::succeeded(SQLAllocHandle(SQL_HANDLE_STMT, connection_, &statement)))
        return false;

    std::vector<SQLCHAR> text(sql.begin(), sql.end());
    text.push_back('\0');
    if (!odbc::succeeded(odbc::untilDone([&] { return SQLPrepare(statement, text.data(), SQL_NTS); }))) {
        odbc::cancelAndFree(statement);
        return false;
    }

    // The driver reads the bound buffers at SQLExecute: they must stay put until then.
    std::vector<std::vector<char>> buffers;
    std::vector<SQLLEN> lengths(parameters.size());
    buffers.reserve(parameters.size());
    SQLUSMALLINT marker = 0;
    for (const runtime::Value& p : parameters) {
        SQLSMALLINT cType = 0;
        SQLSMALLINT sqlType = 0;
        if (p.kind() == runtime::Kind::Text) {
            const std::string_view t = upToFirstNul(p.asText());
            buffers.emplace_back(t.begin(), t.end());
            cType = SQL_C_CHAR;
            sqlType = SQL_LONGVARCHAR;
        } else if (p.kind() == runtime::Kind::ByteSet) {
            buffers.emplace_back(p.asByteSet().begin(), p.asByteSet().end());
            cType = SQL_C_BINARY;
            sqlType = SQL_LONGVARBINARY;
        } else {
            continue;
        }
        std::vector<char>& data = buffers.back();
        SQLLEN& length = lengths[marker];
        length = static_cast<SQLLEN>(data.size());
        if (data.empty())
            data.push_back('\0'); // a valid pointer for a zero-length value
        ++marker;
        const SQLRETURN rc =
            SQLBindParameter(statement, marker, SQL_PARAM_INPUT, cType, sqlType,
                             static_cast<SQLULEN>(std::max<SQLLEN>(length, 1)), 0, data.data(), length, &length);
        if (!odbc::succeeded(rc)) {
            odbc::cancelAndFree(statement);
            return false;
        }
    }

    const SQLRETURN rc = odbc::untilDone([&] { return SQLExecute(statement); });
    if (!ranOrNoData(rc) || !drainResults(statement)) {
        odbc::cancelAndFree(statement);
        return false;
    }
    SQLFreeHandle(SQL_HANDLE_STMT, statement);
    return true;
}

bool Connection::beginTransaction()
{
    if (inTransaction_)
        return false;
    if (!odbc::succeeded(
            SQLSetConnectAttr(connection_, SQL_ATTR_AUTOCOMMIT, reinterpret_cast<SQLPOINTER>(SQL_AUTOCOMMIT_OFF), 0)))
        return false;
    inTransaction_ = true;
    return true;
}

bool Connection::endTransaction(bool commit)
{
    if (!inTransaction_)
        return false;
    const bool ended = odbc::succeeded(SQLEndTran(SQL_HANDLE_DBC, connection_, commit ? SQL_COMMIT : SQL_ROLLBACK));
    // Switching autocommit on commits what is pending: roll a failed commit back first.
    if (!ended && commit)
        SQLEndTran(SQL_HANDLE_DBC, connection_, SQL_ROLLBACK);
    // Back to one transaction per statement whatever the outcome, so that later
    // statements are not left waiting for a commit that never comes.
    SQLSetConnectAttr(connection_, SQL_ATTR_AUTOCOMMIT, reinterpret_cast<SQLPOINTER>(SQL_AUTOCOMMIT_ON), 0);
    inTransaction_ = false;
    return ended;
}

} // namespace qr::sheet
