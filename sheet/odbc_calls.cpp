#include "sheet/odbc_calls.h"

#include <algorithm>

namespace qr::sheet::odbc {

std::vector<std::string> diagnosticStates(SQLSMALLINT handleType, SQLHANDLE handle)
{
    std::vector<std::string> states;
    for (SQLSMALLINT record = 1;; ++record) {
        SQLCHAR state[6] = {};
        SQLINTEGER nativeError = 0;
        SQLCHAR message[SQL_MAX_MESSAGE_LENGTH] = {};
        SQLSMALLINT messageLength = 0;
        const SQLRETURN rc =
            SQLGetDiagRec(handleType, handle, record, state, &nativeError, message, sizeof message, &messageLength);
        if (!succeeded(rc))
            break;
        states.emplace_back(reinterpret_cast<const char*>(state));
    }
    return states;
}

bool fetchInfoIsError(SQLHSTMT statement) { return fetchInfoIsError(diagnosticStates(SQL_HANDLE_STMT, statement)); }

bool fetchInfoIsError(const std::vector<std::string>& states)
{
    const auto has = [&](const char* s) { return std::find(states.begin(), states.end(), s) != states.end(); };
    return has("01S01") && !has("01004");
}

void cancelAndFree(SQLHSTMT statement)
{
    if (statement == SQL_NULL_HSTMT)
        return;
    SQLCancel(statement);
    SQLFreeHandle(SQL_HANDLE_STMT, statement);
}

} // namespace qr::sheet::odbc
