// Helpers shared by the exported ODBC functions: no C++ exception may leave the
// driver, and every call starts with a fresh list of diagnostics.
#pragma once

#include "xlsodbc/odbc_handles.h"

#include <new>

#define QR_ODBC_EXPORT extern "C" __attribute__((visibility("default")))

namespace qr::xls {

template <typename F> SQLRETURN guarded(HandleBase* h, F&& body)
{
    if (!h)
        return SQL_INVALID_HANDLE;
    h->clearDiags();
    SQLRETURN rc;
    try {
        rc = body();
    } catch (const std::bad_alloc&) {
        rc = h->error("HY001", "memory allocation error");
    } catch (...) {
        rc = h->error("HY000", "internal driver error");
    }
    h->lastReturn = rc;
    return rc;
}

} // namespace qr::xls
