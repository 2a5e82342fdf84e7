// Small helpers shared by the ODBC code: return-code tests, repeating a call
// that is still executing, and the diagnostic states of a handle.
#pragma once

#include <sql.h>
#include <sqlext.h>

#include <string>
#include <thread>
#include <vector>

namespace qr::sheet::odbc {

inline bool succeeded(SQLRETURN rc) { return rc == SQL_SUCCESS || rc == SQL_SUCCESS_WITH_INFO; }

// A driver working asynchronously answers SQL_STILL_EXECUTING until the call is
// done; the same call is then repeated.
template <class Call> SQLRETURN untilDone(Call call)
{
    SQLRETURN rc = call();
    while (rc == SQL_STILL_EXECUTING) {
        std::this_thread::yield();
        rc = call();
    }
    return rc;
}

// The five-character SQLSTATEs of every diagnostic record of a handle, in order.
std::vector<std::string> diagnosticStates(SQLSMALLINT handleType, SQLHANDLE handle);

// A row fetch answered with SQL_SUCCESS_WITH_INFO counts as failed only when the
// driver reports an error in the row (01S01) and not merely truncated data (01004).
bool fetchInfoIsError(const std::vector<std::string>& states);
bool fetchInfoIsError(SQLHSTMT statement);

// Frees a statement handle after cancelling whatever it still runs.
void cancelAndFree(SQLHSTMT statement);

} // namespace qr::sheet::odbc
