// Diagnostics: SQLGetDiagRec and SQLGetDiagField over each handle's records.
#include "xlsodbc/odbc_entry.h"

#include <cstring>

namespace qr::xls {

SQLRETURN HandleBase::error(const char* state, const std::string& message)
{
    diags.push_back({state, std::string(kVendorPrefix) + message, 0});
    return SQL_ERROR;
}

SQLRETURN HandleBase::warning(const char* state, const std::string& message)
{
    diags.push_back({state, std::string(kVendorPrefix) + message, 0});
    return SQL_SUCCESS_WITH_INFO;
}

bool copyOut(std::string_view text, SQLCHAR* buffer, SQLLEN bufferLength, SQLSMALLINT* lengthOut)
{
    if (lengthOut)
        *lengthOut = static_cast<SQLSMALLINT>(std::min<std::size_t>(text.size(), 0x7FFF));
    if (!buffer || bufferLength <= 0)
        return text.empty() && buffer;
    const std::size_t n = std::min<std::size_t>(text.size(), static_cast<std::size_t>(bufferLength - 1));
    std::memcpy(buffer, text.data(), n);
    buffer[n] = 0;
    return n == text.size();
}

bool copyOut(std::string_view text, SQLPOINTER buffer, SQLLEN bufferLength, SQLINTEGER* lengthOut)
{
    if (lengthOut)
        *lengthOut = static_cast<SQLINTEGER>(text.size());
    if (!buffer || bufferLength <= 0)
        return text.empty() && buffer;
    auto* out = static_cast<char*>(buffer);
    const std::size_t n = std::min<std::size_t>(text.size(), static_cast<std::size_t>(bufferLength - 1));
    std::memcpy(out, text.data(), n);
    out[n] = 0;
    return n == text.size();
}

namespace {

HandleBase* anyHandle(SQLSMALLINT type, SQLHANDLE h)
{
    switch (type) {
    case SQL_HANDLE_ENV: return asHandle<Environment>(h, HandleKind::Env);
    case SQL_HANDLE_DBC: return asHandle<Connection>(h, HandleKind::Dbc);
    case SQL_HANDLE_STMT: return asHandle<Statement>(h, HandleKind::Stmt);
    default: return nullptr;
    }
}

// ODBC 3 states come from ISO 9075 unless their class is one ODBC added.
const char* classOrigin(const std::string& state)
{
    const std::string cls = state.substr(0, 2);
    return (cls == "IM" || cls == "HY" || (cls == "01" && state != "01000")) ? "ODBC 3.0" : "ISO 9075";
}

} // namespace

} // namespace qr::xls

using namespace qr::xls;

QR_ODBC_EXPORT SQLRETURN SQL_API SQLGetDiagRec(SQLSMALLINT HandleType, SQLHANDLE Handle, SQLSMALLINT RecNumber,
                                               SQLCHAR* Sqlstate, SQLINTEGER* NativeError, SQLCHAR* MessageText,
                                               SQLSMALLINT BufferLength, SQLSMALLINT* TextLength)
{
    HandleBase* h = anyHandle(HandleType, Handle);
    if (!h)
        return SQL_INVALID_HANDLE;
    if (RecNumber <= 0 || BufferLength < 0)
        return SQL_ERROR;
    if (static_cast<std::size_t>(RecNumber) > h->diags.size())
        return SQL_NO_DATA;
    const DiagRecord& d = h->diags[static_cast<std::size_t>(RecNumber - 1)];
    if (Sqlstate)
        std::memcpy(Sqlstate, d.state.c_str(), 6);
    if (NativeError)
        *NativeError = d.native;
    return copyOut(d.message, MessageText, BufferLength, TextLength) ? SQL_SUCCESS : SQL_SUCCESS_WITH_INFO;
}

QR_ODBC_EXPORT SQLRETURN SQL_API SQLGetDiagField(SQLSMALLINT HandleType, SQLHANDLE Handle, SQLSMALLINT RecNumber,
                                                 SQLSMALLINT DiagIdentifier, SQLPOINTER DiagInfo,
                                                 SQLSMALLINT BufferLength, SQLSMALLINT* StringLength)
{
    HandleBase* h = anyHandle(HandleType, Handle);
    if (!h)
        return SQL_INVALID_HANDLE;
    auto text = [&](std::string_view s) {
        return copyOut(s, static_cast<SQLCHAR*>(DiagInfo), BufferLength, StringLength) ? SQL_SUCCESS
                                                                                       : SQL_SUCCESS_WITH_INFO;
    };
    // Header fields.
    switch (DiagIdentifier) {
    case SQL_DIAG_NUMBER:
        if (DiagInfo)
            *static_cast<SQLINTEGER*>(DiagInfo) = static_cast<SQLINTEGER>(h->diags.size());
        return SQL_SUCCESS;
    case SQL_DIAG_RETURNCODE:
        if (DiagInfo)
            *static_cast<SQLRETURN*>(DiagInfo) = h->lastReturn;
        return SQL_SUCCESS;
    case SQL_DIAG_ROW_COUNT:
    case SQL_DIAG_CURSOR_ROW_COUNT: {
        auto* st = asHandle<Statement>(Handle, HandleKind::Stmt);
        if (!st || HandleType != SQL_HANDLE_STMT)
            return SQL_ERROR;
        if (DiagInfo)
            *static_cast<SQLLEN*>(DiagInfo) =
                DiagIdentifier == SQL_DIAG_ROW_COUNT ? st->affectedRows : static_cast<SQLLEN>(st->rowCount);
        return SQL_SUCCESS;
    }
    case SQL_DIAG_DYNAMIC_FUNCTION: {
        auto* st = asHandle<Statement>(Handle, HandleKind::Stmt);
        if (!st || HandleType != SQL_HANDLE_STMT)
            return SQL_ERROR;
        return text(!st->prepared ? "" : st->sql.kind == SqlStatement::Kind::Select ? "SELECT CURSOR" : "INSERT");
    }
    case SQL_DIAG_DYNAMIC_FUNCTION_CODE: {
        auto* st = asHandle<Statement>(Handle, HandleKind::Stmt);
        if (!st || HandleType != SQL_HANDLE_STMT)
            return SQL_ERROR;
        if (DiagInfo)
            *static_cast<SQLINTEGER*>(DiagInfo) = !st->prepared ? SQL_DIAG_UNKNOWN_STATEMENT
                                                  : st->sql.kind == SqlStatement::Kind::Select ? SQL_DIAG_SELECT_CURSOR
                                                                                               : SQL_DIAG_INSERT;
        return SQL_SUCCESS;
    }
    default: break;
    }
    if (RecNumber <= 0)
        return SQL_ERROR;
    if (static_cast<std::size_t>(RecNumber) > h->diags.size())
        return SQL_NO_DATA;
    const DiagRecord& d = h->diags[static_cast<std::size_t>(RecNumber - 1)];
    switch (DiagIdentifier) {
    case SQL_DIAG_SQLSTATE: return text(d.state);
    case SQL_DIAG_MESSAGE_TEXT: return text(d.message);
    case SQL_DIAG_NATIVE:
        if (DiagInfo)
            *static_cast<SQLINTEGER*>(DiagInfo) = d.native;
        return SQL_SUCCESS;
    case SQL_DIAG_CLASS_ORIGIN: return text(classOrigin(d.state));
    case SQL_DIAG_SUBCLASS_ORIGIN: return text(classOrigin(d.state));
    case SQL_DIAG_CONNECTION_NAME:
    case SQL_DIAG_SERVER_NAME: return text("");
    case SQL_DIAG_COLUMN_NUMBER:
        if (DiagInfo)
            *static_cast<SQLINTEGER*>(DiagInfo) = SQL_COLUMN_NUMBER_UNKNOWN;
        return SQL_SUCCESS;
    case SQL_DIAG_ROW_NUMBER:
        if (DiagInfo)
            *static_cast<SQLLEN*>(DiagInfo) = SQL_ROW_NUMBER_UNKNOWN;
        return SQL_SUCCESS;
    default: return SQL_ERROR;
    }
}
