// Environment and connection handles: allocation, connecting to a workbook file,
// attributes, transactions and disconnecting.
//
// When rows reach the file: INSERTs change the workbook in memory only; the file is
// rewritten once, at SQLEndTran(SQL_COMMIT), at SQLDisconnect, when auto-commit is
// switched back on, or when a still-connected connection handle is freed. A SELECT on
// the same connection sees the inserted rows at once.
#include "xlsodbc/odbc_entry.h"

#include "runtime/gbk.h"

#include <odbcinst.h>

namespace qr::xls {

SQLRETURN allocStatement(Connection* c, SQLHANDLE* out);
void freeStatement(Statement* s);

namespace {

SQLRETURN connectWith(Connection* c, const std::string& text)
{
    if (c->connected)
        return c->error("08002", "the connection is already open");
    const ConnectString cs = ConnectString::parse(text);
    ConnectOptions options;
    std::string err;
    if (!readConnectOptions(cs, options, err))
        return c->error("08001", err);
    auto book = std::make_unique<BookFile>();
    if (!book->open(qr::runtime::gbkToUtf8(options.file), err))
        return c->error("08001", "cannot open the workbook '" + options.file + "': " + err);
    c->options = options;
    c->book = std::move(book);
    c->connectString = text;
    c->connected = true;
    return SQL_SUCCESS;
}

// Writes pending rows; on failure the rows stay pending and `err` says why.
bool commit(Connection* c, std::string& err) { return !c->book || c->book->save(err); }

SQLRETURN disconnect(Connection* c)
{
    if (!c->connected)
        return c->error("08003", "the connection is not open");
    for (Statement* s : std::set<Statement*>(c->statements))
        freeStatement(s);
    std::string err;
    const bool saved = commit(c, err);
    c->book.reset();
    c->connected = false;
    if (!saved)
        return c->warning("01002", "the inserted rows could not be written to '" + c->options.file + "': " + err);
    return SQL_SUCCESS;
}

// A data source's setting from odbc.ini, or empty.
std::string dataSourceValue(const std::string& dsn, const char* key)
{
    char buf[1024] = {};
    SQLGetPrivateProfileString(dsn.c_str(), key, "", buf, sizeof buf, "odbc.ini");
    return buf;
}

std::string textArg(SQLCHAR* text, SQLSMALLINT length)
{
    if (!text)
        return {};
    if (length == SQL_NTS)
        return reinterpret_cast<const char*>(text);
    return std::string(reinterpret_cast<const char*>(text), length < 0 ? 0 : static_cast<std::size_t>(length));
}

} // namespace

} // namespace qr::xls

using namespace qr::xls;

QR_ODBC_EXPORT SQLRETURN SQL_API SQLAllocHandle(SQLSMALLINT HandleType, SQLHANDLE InputHandle, SQLHANDLE* OutputHandle)
{
    if (!OutputHandle)
        return SQL_ERROR;
    switch (HandleType) {
    case SQL_HANDLE_ENV: {
        auto* env = new (std::nothrow) Environment();
        *OutputHandle = env;
        return env ? SQL_SUCCESS : SQL_ERROR;
    }
    case SQL_HANDLE_DBC: {
        auto* env = asHandle<Environment>(InputHandle, HandleKind::Env);
        if (!env)
            return SQL_INVALID_HANDLE;
        return guarded(env, [&] {
            *OutputHandle = new Connection(env);
            return SQL_SUCCESS;
        });
    }
    case SQL_HANDLE_STMT: {
        auto* c = asHandle<Connection>(InputHandle, HandleKind::Dbc);
        if (!c)
            return SQL_INVALID_HANDLE;
        return guarded(c, [&] { return allocStatement(c, OutputHandle); });
    }
    default: {
        auto* base = static_cast<HandleBase*>(InputHandle);
        if (base && (base->kind == HandleKind::Dbc || base->kind == HandleKind::Env))
            return base->error("HYC00", "descriptor handles are not supported");
        return SQL_ERROR;
    }
    }
}

QR_ODBC_EXPORT SQLRETURN SQL_API SQLFreeHandle(SQLSMALLINT HandleType, SQLHANDLE Handle)
{
    switch (HandleType) {
    case SQL_HANDLE_ENV: {
        auto* env = asHandle<Environment>(Handle, HandleKind::Env);
        if (!env)
            return SQL_INVALID_HANDLE;
        delete env;
        return SQL_SUCCESS;
    }
    case SQL_HANDLE_DBC: {
        auto* c = asHandle<Connection>(Handle, HandleKind::Dbc);
        if (!c)
            return SQL_INVALID_HANDLE;
        if (c->connected)
            disconnect(c); // never lose inserted rows with the handle
        delete c;
        return SQL_SUCCESS;
    }
    case SQL_HANDLE_STMT: {
        auto* s = asHandle<Statement>(Handle, HandleKind::Stmt);
        if (!s)
            return SQL_INVALID_HANDLE;
        freeStatement(s);
        return SQL_SUCCESS;
    }
    default: return SQL_ERROR;
    }
}

QR_ODBC_EXPORT SQLRETURN SQL_API SQLSetEnvAttr(SQLHENV EnvironmentHandle, SQLINTEGER Attribute, SQLPOINTER Value,
                                               SQLINTEGER)
{
    auto* env = asHandle<Environment>(EnvironmentHandle, HandleKind::Env);
    return guarded(env, [&]() -> SQLRETURN {
        const auto v = static_cast<SQLINTEGER>(reinterpret_cast<SQLLEN>(Value));
        switch (Attribute) {
        case SQL_ATTR_ODBC_VERSION:
            if (v != SQL_OV_ODBC2 && v != SQL_OV_ODBC3 && v != 380 /* SQL_OV_ODBC3_80 */)
                return env->error("HY024", "invalid ODBC version");
            env->odbcVersion = v;
            return SQL_SUCCESS;
        case SQL_ATTR_OUTPUT_NTS:
            return v == SQL_TRUE ? SQL_SUCCESS : env->error("HYC00", "strings are always NUL-terminated");
        case SQL_ATTR_CONNECTION_POOLING:
        case SQL_ATTR_CP_MATCH: return SQL_SUCCESS; // pooling belongs to the driver manager
        default: return env->error("HY092", "unknown environment attribute " + std::to_string(Attribute));
        }
    });
}

QR_ODBC_EXPORT SQLRETURN SQL_API SQLGetEnvAttr(SQLHENV EnvironmentHandle, SQLINTEGER Attribute, SQLPOINTER Value,
                                               SQLINTEGER, SQLINTEGER* StringLength)
{
    auto* env = asHandle<Environment>(EnvironmentHandle, HandleKind::Env);
    return guarded(env, [&]() -> SQLRETURN {
        SQLINTEGER v;
        switch (Attribute) {
        case SQL_ATTR_ODBC_VERSION: v = env->odbcVersion; break;
        case SQL_ATTR_OUTPUT_NTS: v = SQL_TRUE; break;
        case SQL_ATTR_CONNECTION_POOLING: v = SQL_CP_OFF; break;
        case SQL_ATTR_CP_MATCH: v = SQL_CP_STRICT_MATCH; break;
        default: return env->error("HY092", "unknown environment attribute " + std::to_string(Attribute));
        }
        if (Value)
            *static_cast<SQLINTEGER*>(Value) = v;
        if (StringLength)
            *StringLength = sizeof v;
        return SQL_SUCCESS;
    });
}

QR_ODBC_EXPORT SQLRETURN SQL_API SQLDriverConnect(SQLHDBC ConnectionHandle, SQLHWND, SQLCHAR* InConnectionString,
                                                  SQLSMALLINT StringLength1, SQLCHAR* OutConnectionString,
                                                  SQLSMALLINT BufferLength, SQLSMALLINT* StringLength2Ptr,
                                                  SQLUSMALLINT DriverCompletion)
{
    auto* c = asHandle<Connection>(ConnectionHandle, HandleKind::Dbc);
    return guarded(c, [&]() -> SQLRETURN {
        if (DriverCompletion != SQL_DRIVER_NOPROMPT && DriverCompletion != SQL_DRIVER_COMPLETE &&
            DriverCompletion != SQL_DRIVER_PROMPT && DriverCompletion != SQL_DRIVER_COMPLETE_REQUIRED)
            return c->error("HY110", "invalid driver completion");
        std::string text = textArg(InConnectionString, StringLength1);
        // A data source named in the string lends the keys the string leaves out.
        ConnectString cs = ConnectString::parse(text);
        if (const auto dsn = cs.get("DSN"); dsn && !dsn->empty()) {
            for (const char* key : {"DBQ", "DefaultDir", "ReadOnly", "MaxScanRows", "FirstRowHasNames"})
                if (!cs.get(key))
                    if (std::string v = dataSourceValue(*dsn, key); !v.empty())
                        cs.set(key, v);
            text = cs.toString();
        }
        const SQLRETURN rc = connectWith(c, text);
        if (!SQL_SUCCEEDED(rc))
            return rc;
        if (OutConnectionString && BufferLength > 0 &&
            !copyOut(c->connectString, OutConnectionString, BufferLength, StringLength2Ptr))
            return c->warning("01004", "the completed connect string was cut to the buffer");
        if (StringLength2Ptr && !OutConnectionString)
            *StringLength2Ptr = static_cast<SQLSMALLINT>(c->connectString.size());
        return SQL_SUCCESS;
    });
}

QR_ODBC_EXPORT SQLRETURN SQL_API SQLConnect(SQLHDBC ConnectionHandle, SQLCHAR* ServerName, SQLSMALLINT NameLength1,
                                            SQLCHAR*, SQLSMALLINT, SQLCHAR*, SQLSMALLINT)
{
    auto* c = asHandle<Connection>(ConnectionHandle, HandleKind::Dbc);
    return guarded(c, [&]() -> SQLRETURN {
        const std::string dsn = textArg(ServerName, NameLength1);
        ConnectString cs;
        cs.set("DSN", dsn);
        for (const char* key : {"DBQ", "DefaultDir", "ReadOnly", "MaxScanRows", "FirstRowHasNames"})
            if (std::string v = dataSourceValue(dsn, key); !v.empty())
                cs.set(key, v);
        return connectWith(c, cs.toString());
    });
}

QR_ODBC_EXPORT SQLRETURN SQL_API SQLDisconnect(SQLHDBC ConnectionHandle)
{
    auto* c = asHandle<Connection>(ConnectionHandle, HandleKind::Dbc);
    return guarded(c, [&] { return disconnect(c); });
}

QR_ODBC_EXPORT SQLRETURN SQL_API SQLEndTran(SQLSMALLINT HandleType, SQLHANDLE Handle, SQLSMALLINT CompletionType)
{
    if (HandleType == SQL_HANDLE_ENV)
        return asHandle<Environment>(Handle, HandleKind::Env) ? SQL_SUCCESS : SQL_INVALID_HANDLE;
    if (HandleType != SQL_HANDLE_DBC)
        return SQL_ERROR;
    auto* c = asHandle<Connection>(Handle, HandleKind::Dbc);
    return guarded(c, [&]() -> SQLRETURN {
        if (!c->connected)
            return c->error("08003", "the connection is not open");
        std::string err;
        if (CompletionType == SQL_COMMIT) {
            if (!commit(c, err))
                return c->error("HY000", "the inserted rows could not be written to '" + c->options.file + "': " + err);
            return SQL_SUCCESS;
        }
        if (CompletionType != SQL_ROLLBACK)
            return c->error("HY012", "invalid transaction operation code");
        // With auto-commit every INSERT is already committed; without it a rollback
        // forgets the rows inserted since the last commit.
        if (c->autocommit == SQL_AUTOCOMMIT_OFF && c->book->workbook().dirty()) {
            for (Statement* s : c->statements)
                s->closeCursor();
            if (!c->book->reload(err))
                return c->error("HY000", "cannot read the workbook '" + c->options.file + "' again: " + err);
        }
        return SQL_SUCCESS;
    });
}

QR_ODBC_EXPORT SQLRETURN SQL_API SQLSetConnectAttr(SQLHDBC ConnectionHandle, SQLINTEGER Attribute, SQLPOINTER Value,
                                                   SQLINTEGER)
{
    auto* c = asHandle<Connection>(ConnectionHandle, HandleKind::Dbc);
    return guarded(c, [&]() -> SQLRETURN {
        const auto v = static_cast<SQLUINTEGER>(reinterpret_cast<SQLULEN>(Value));
        switch (Attribute) {
        case SQL_ATTR_ACCESS_MODE:
            c->accessMode = v == SQL_MODE_READ_ONLY ? SQL_MODE_READ_ONLY : SQL_MODE_READ_WRITE;
            return SQL_SUCCESS;
        case SQL_ATTR_AUTOCOMMIT:
            if (v == SQL_AUTOCOMMIT_ON && c->autocommit == SQL_AUTOCOMMIT_OFF && c->connected) {
                std::string err;
                if (!commit(c, err))
                    return c->error("HY000", "the inserted rows could not be written: " + err);
            }
            c->autocommit = v == SQL_AUTOCOMMIT_OFF ? SQL_AUTOCOMMIT_OFF : SQL_AUTOCOMMIT_ON;
            return SQL_SUCCESS;
        case SQL_ATTR_LOGIN_TIMEOUT: c->loginTimeout = v; return SQL_SUCCESS;
        case SQL_ATTR_CONNECTION_TIMEOUT:
        case SQL_ATTR_QUIET_MODE:
        case SQL_ATTR_TXN_ISOLATION:
        case SQL_ATTR_METADATA_ID:
        case SQL_ATTR_ODBC_CURSORS:
        case SQL_ATTR_TRACE:
        case SQL_ATTR_TRACEFILE: return SQL_SUCCESS; // nothing to wait for, nothing isolated; tracing is the manager's
        case SQL_ATTR_ASYNC_ENABLE:
            return v == SQL_ASYNC_ENABLE_OFF ? SQL_SUCCESS
                                             : c->error("HYC00", "asynchronous execution is not supported");
        default: return c->error("HYC00", "connection attribute " + std::to_string(Attribute) + " is not supported");
        }
    });
}

QR_ODBC_EXPORT SQLRETURN SQL_API SQLGetConnectAttr(SQLHDBC ConnectionHandle, SQLINTEGER Attribute, SQLPOINTER Value,
                                                   SQLINTEGER BufferLength, SQLINTEGER* StringLength)
{
    auto* c = asHandle<Connection>(ConnectionHandle, HandleKind::Dbc);
    return guarded(c, [&]() -> SQLRETURN {
        SQLUINTEGER v;
        switch (Attribute) {
        case SQL_ATTR_ACCESS_MODE: v = c->readOnly() ? SQL_MODE_READ_ONLY : SQL_MODE_READ_WRITE; break;
        case SQL_ATTR_AUTOCOMMIT: v = c->autocommit; break;
        case SQL_ATTR_LOGIN_TIMEOUT: v = c->loginTimeout; break;
        case SQL_ATTR_CONNECTION_TIMEOUT: v = 0; break;
        case SQL_ATTR_TXN_ISOLATION: v = SQL_TXN_READ_COMMITTED; break;
        case SQL_ATTR_ASYNC_ENABLE: v = SQL_ASYNC_ENABLE_OFF; break;
        case SQL_ATTR_METADATA_ID: v = SQL_FALSE; break;
        case SQL_ATTR_AUTO_IPD: v = SQL_FALSE; break;
        case SQL_ATTR_CONNECTION_DEAD: v = c->connected ? SQL_CD_FALSE : SQL_CD_TRUE; break;
        case SQL_ATTR_CURRENT_CATALOG:
            return copyOut(c->connected ? c->options.file : "", Value, BufferLength, StringLength)
                       ? SQL_SUCCESS
                       : c->warning("01004", "the catalog name was cut to the buffer");
        default: return c->error("HYC00", "connection attribute " + std::to_string(Attribute) + " is not supported");
        }
        if (Value)
            *static_cast<SQLUINTEGER*>(Value) = v;
        if (StringLength)
            *StringLength = sizeof v;
        return SQL_SUCCESS;
    });
}
