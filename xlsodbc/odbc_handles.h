// The driver's environment, connection and statement handles and their diagnostics.
#pragma once

#include "xlsodbc/book_file.h"
#include "xlsodbc/connect_string.h"
#include "xlsodbc/sheet_table.h"
#include "xlsodbc/sql.h"

#include <sql.h>
#include <sqlext.h>

#include <map>
#include <memory>
#include <set>
#include <string>
#include <vector>

namespace qr::xls {

struct DiagRecord {
    std::string state;
    std::string message;
    SQLINTEGER native = 0;
};

enum class HandleKind : std::uint32_t { Env = 0x51524531, Dbc = 0x51524432, Stmt = 0x51525333, Desc = 0x51524434 };

struct HandleBase {
    explicit HandleBase(HandleKind k)
        : kind(k)
    {}
    HandleKind kind;
    std::vector<DiagRecord> diags;
    SQLRETURN lastReturn = SQL_SUCCESS;

    void clearDiags() { diags.clear(); }
    SQLRETURN error(const char* state, const std::string& message);
    SQLRETURN warning(const char* state, const std::string& message); // adds a record, returns SUCCESS_WITH_INFO
};

struct Statement;

struct Environment : HandleBase {
    Environment()
        : HandleBase(HandleKind::Env)
    {}
    SQLINTEGER odbcVersion = SQL_OV_ODBC3;
};

struct Connection : HandleBase {
    explicit Connection(Environment* e)
        : HandleBase(HandleKind::Dbc)
        , env(e)
    {}
    Environment* env;
    bool connected = false;
    ConnectOptions options;
    std::string connectString; // as given, handed back by SQLDriverConnect
    std::unique_ptr<BookFile> book;
    SQLUINTEGER accessMode = SQL_MODE_READ_WRITE;
    SQLUINTEGER autocommit = SQL_AUTOCOMMIT_ON;
    SQLUINTEGER loginTimeout = 0;
    std::set<Statement*> statements;

    bool readOnly() const { return options.readOnly || accessMode == SQL_MODE_READ_ONLY; }
};

// An opaque descriptor handed out for the statement's descriptor attributes; the
// driver exports no descriptor functions.
struct Descriptor : HandleBase {
    Descriptor()
        : HandleBase(HandleKind::Desc)
    {}
};

struct ParamBinding {
    SQLSMALLINT ioType = SQL_PARAM_INPUT;
    SQLSMALLINT cType = SQL_C_CHAR;
    SQLSMALLINT sqlType = SQL_VARCHAR;
    SQLULEN columnSize = 0;
    SQLPOINTER value = nullptr;
    SQLLEN bufferLength = 0;
    SQLLEN* indicator = nullptr;
};

struct ColumnBinding {
    SQLSMALLINT cType = SQL_C_CHAR;
    SQLPOINTER value = nullptr;
    SQLLEN bufferLength = 0;
    SQLLEN* indicator = nullptr;
};

struct ResultColumn {
    std::string name;
    SQLSMALLINT sqlType = SQL_VARCHAR;
    SQLULEN size = 255;
};

struct Statement : HandleBase {
    explicit Statement(Connection* c)
        : HandleBase(HandleKind::Stmt)
        , dbc(c)
    {}
    Connection* dbc;

    bool prepared = false;
    SqlStatement sql;
    std::string tableName;

    std::map<SQLUSMALLINT, ParamBinding> params;
    std::map<SQLUSMALLINT, ColumnBinding> columnsBound;

    // The open result: rows are materialised when the query runs (a static cursor).
    bool cursorOpen = false;
    bool hasResult = false; // the statement produced columns (SELECT)
    std::vector<ResultColumn> columns;
    std::vector<FieldValue> values; // row-major
    std::size_t rowCount = 0;
    SQLLEN affectedRows = -1;
    // Start of the current rowset: -1 before the first row, rowCount after the last.
    long long position = -1;
    std::size_t lastRowsetSize = 1;

    // SQLGetData on the current row, read piece by piece.
    SQLUSMALLINT getDataColumn = 0;
    std::size_t getDataOffset = 0;
    bool getDataDone = false;

    // Attributes.
    SQLULEN cursorType = SQL_CURSOR_FORWARD_ONLY;
    SQLULEN concurrency = SQL_CONCUR_READ_ONLY;
    SQLULEN rowArraySize = 1;
    SQLULEN rowBindType = SQL_BIND_BY_COLUMN;
    SQLULEN* rowsFetched = nullptr;
    SQLUSMALLINT* rowStatus = nullptr;
    SQLULEN* bindOffset = nullptr;
    SQLULEN maxRows = 0;
    SQLULEN maxLength = 0;
    SQLULEN queryTimeout = 0;
    SQLULEN retrieveData = SQL_RD_ON;
    SQLULEN noscan = SQL_NOSCAN_OFF;
    SQLULEN paramsetSize = 1;
    SQLULEN* paramsProcessed = nullptr;
    SQLUSMALLINT* paramStatus = nullptr;
    Descriptor appRow, appParam, impRow, impParam;

    void closeCursor()
    {
        cursorOpen = false;
        position = -1;
        getDataColumn = 0;
    }
};

template <typename T> T* asHandle(SQLHANDLE h, HandleKind kind)
{
    auto* base = static_cast<HandleBase*>(h);
    if (!base || base->kind != kind)
        return nullptr;
    return static_cast<T*>(base);
}

// Copies a text into an ODBC output buffer; returns false when it had to be cut.
bool copyOut(std::string_view text, SQLCHAR* buffer, SQLLEN bufferLength, SQLSMALLINT* lengthOut);
bool copyOut(std::string_view text, SQLPOINTER buffer, SQLLEN bufferLength, SQLINTEGER* lengthOut);

// The message prefix every diagnostic carries.
inline constexpr const char* kVendorPrefix = "[Quillroll][xls driver]";

} // namespace qr::xls
