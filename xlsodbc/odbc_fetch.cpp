// Fetching: bound columns, the forward-only and static scrollable cursors, and
// SQLGetData (long texts piece by piece).
#include "xlsodbc/odbc_entry.h"
#include "xlsodbc/value_convert.h"

namespace qr::xls {
namespace {

// Fills the bound columns of one row of the rowset.
SQLRETURN fillRow(Statement* s, std::size_t row, std::size_t indexInRowset)
{
    SQLRETURN result = SQL_SUCCESS;
    const std::size_t width = s->columns.size();
    const SQLULEN offset = s->bindOffset ? *s->bindOffset : 0;
    for (auto& [number, b] : s->columnsBound) {
        if (number == 0 || number > width || (!b.value && !b.indicator))
            continue;
        const ResultColumn& col = s->columns[number - 1];
        const std::size_t step =
            s->rowBindType == SQL_BIND_BY_COLUMN
                ? static_cast<std::size_t>(
                      elementSize(b.cType == SQL_C_DEFAULT ? defaultCType(col.sqlType) : b.cType, b.bufferLength))
                : s->rowBindType;
        char* target = b.value ? static_cast<char*>(b.value) + offset + indexInRowset * step : nullptr;
        SQLLEN* indicator = nullptr;
        if (b.indicator) {
            char* base = reinterpret_cast<char*>(b.indicator) + offset;
            indicator =
                reinterpret_cast<SQLLEN*>(s->rowBindType == SQL_BIND_BY_COLUMN ? base + indexInRowset * sizeof(SQLLEN)
                                                                               : base + indexInRowset * s->rowBindType);
        }
        PieceState piece;
        const SQLRETURN rc = convertValue(s->values[row * width + number - 1], col.sqlType, b.cType, target,
                                          b.bufferLength, indicator, piece, *s);
        if (rc == SQL_ERROR)
            return SQL_ERROR;
        if (rc == SQL_SUCCESS_WITH_INFO)
            result = SQL_SUCCESS_WITH_INFO;
    }
    return result;
}

SQLRETURN fetch(Statement* s, SQLSMALLINT orientation, SQLLEN offset)
{
    if (!s->cursorOpen)
        return s->error("24000", "no cursor is open (run a SELECT first)");
    if (s->cursorType == SQL_CURSOR_FORWARD_ONLY && orientation != SQL_FETCH_NEXT)
        return s->error("HY106", "the cursor is forward-only: only SQL_FETCH_NEXT is allowed");
    const long long n = static_cast<long long>(s->rowCount);
    const long long size = static_cast<long long>(s->rowArraySize);
    const long long cur = s->position;
    long long next = 0;
    bool clipped = false; // a PRIOR or negative ABSOLUTE that ran into the first row
    switch (orientation) {
    case SQL_FETCH_NEXT: next = cur < 0 ? 0 : cur + static_cast<long long>(s->lastRowsetSize); break;
    case SQL_FETCH_PRIOR:
        if (cur < 0)
            next = -1;
        else if (cur >= n)
            next = n - size;
        else
            next = cur - size;
        if (next < 0 && cur > 0) {
            next = 0;
            clipped = true;
        }
        break;
    case SQL_FETCH_FIRST: next = 0; break;
    case SQL_FETCH_LAST: next = n - size < 0 ? 0 : n - size; break;
    case SQL_FETCH_ABSOLUTE:
        if (offset > 0)
            next = offset - 1;
        else if (offset < 0)
            next = n + offset;
        else
            next = -1;
        break;
    case SQL_FETCH_RELATIVE:
        next = (cur < 0 ? -1 : cur >= n ? n : cur) + offset;
        if (cur < 0 && offset <= 0)
            next = -1;
        break;
    case SQL_FETCH_BOOKMARK: return s->error("HYC00", "bookmarks are not supported");
    default: return s->error("HY106", "fetch type out of range");
    }
    s->getDataColumn = 0;
    auto noData = [&](long long pos) {
        s->position = pos;
        if (s->rowsFetched)
            *s->rowsFetched = 0;
        if (s->rowStatus)
            for (std::size_t i = 0; i < s->rowArraySize; ++i)
                s->rowStatus[i] = SQL_ROW_NOROW;
        return SQL_NO_DATA;
    };
    if (next < 0)
        return noData(-1);
    if (next >= n)
        return noData(n);
    s->position = next;
    s->lastRowsetSize = s->rowArraySize;
    const std::size_t first = static_cast<std::size_t>(next);
    const std::size_t count = std::min<std::size_t>(s->rowArraySize, s->rowCount - first);
    if (s->rowsFetched)
        *s->rowsFetched = count;
    SQLRETURN result =
        clipped ? s->warning("01S06", "attempt to fetch before the result set returned the first rowset") : SQL_SUCCESS;
    std::size_t errors = 0;
    for (std::size_t i = 0; i < s->rowArraySize; ++i) {
        if (i >= count) {
            if (s->rowStatus)
                s->rowStatus[i] = SQL_ROW_NOROW;
            continue;
        }
        const SQLRETURN rc = s->retrieveData == SQL_RD_OFF ? SQL_SUCCESS : fillRow(s, first + i, i);
        if (s->rowStatus)
            s->rowStatus[i] = rc == SQL_ERROR               ? SQL_ROW_ERROR
                              : rc == SQL_SUCCESS_WITH_INFO ? SQL_ROW_SUCCESS_WITH_INFO
                                                            : SQL_ROW_SUCCESS;
        if (rc == SQL_ERROR)
            ++errors;
        else if (rc == SQL_SUCCESS_WITH_INFO)
            result = SQL_SUCCESS_WITH_INFO;
    }
    if (errors == count)
        return SQL_ERROR;
    return errors ? SQL_SUCCESS_WITH_INFO : result;
}

} // namespace
} // namespace qr::xls

using namespace qr::xls;

QR_ODBC_EXPORT SQLRETURN SQL_API SQLBindCol(SQLHSTMT StatementHandle, SQLUSMALLINT ColumnNumber, SQLSMALLINT TargetType,
                                            SQLPOINTER TargetValue, SQLLEN BufferLength, SQLLEN* StrLen_or_Ind)
{
    auto* s = asHandle<Statement>(StatementHandle, HandleKind::Stmt);
    return guarded(s, [&]() -> SQLRETURN {
        if (ColumnNumber == 0)
            return s->error("07009", "bookmark columns are not supported");
        if (BufferLength < 0)
            return s->error("HY090", "invalid buffer length");
        if (!TargetValue && !StrLen_or_Ind) {
            s->columnsBound.erase(ColumnNumber);
            return SQL_SUCCESS;
        }
        s->columnsBound[ColumnNumber] = ColumnBinding{TargetType, TargetValue, BufferLength, StrLen_or_Ind};
        return SQL_SUCCESS;
    });
}

QR_ODBC_EXPORT SQLRETURN SQL_API SQLFetch(SQLHSTMT StatementHandle)
{
    auto* s = asHandle<Statement>(StatementHandle, HandleKind::Stmt);
    return guarded(s, [&] { return fetch(s, SQL_FETCH_NEXT, 0); });
}

QR_ODBC_EXPORT SQLRETURN SQL_API SQLFetchScroll(SQLHSTMT StatementHandle, SQLSMALLINT FetchOrientation,
                                                SQLLEN FetchOffset)
{
    auto* s = asHandle<Statement>(StatementHandle, HandleKind::Stmt);
    return guarded(s, [&] { return fetch(s, FetchOrientation, FetchOffset); });
}

QR_ODBC_EXPORT SQLRETURN SQL_API SQLGetData(SQLHSTMT StatementHandle, SQLUSMALLINT ColumnNumber, SQLSMALLINT TargetType,
                                            SQLPOINTER TargetValue, SQLLEN BufferLength, SQLLEN* StrLen_or_Ind)
{
    auto* s = asHandle<Statement>(StatementHandle, HandleKind::Stmt);
    return guarded(s, [&]() -> SQLRETURN {
        if (!s->cursorOpen)
            return s->error("24000", "no cursor is open");
        if (s->position < 0 || static_cast<std::size_t>(s->position) >= s->rowCount)
            return s->error("24000", "the cursor is not on a row");
        if (ColumnNumber == 0 || ColumnNumber > s->columns.size())
            return s->error("07009", "invalid column number " + std::to_string(ColumnNumber));
        if (BufferLength < 0)
            return s->error("HY090", "invalid buffer length");
        if (s->getDataColumn != ColumnNumber) {
            s->getDataColumn = ColumnNumber;
            s->getDataOffset = 0;
            s->getDataDone = false;
        }
        if (s->getDataDone)
            return SQL_NO_DATA;
        PieceState piece{s->getDataOffset, false};
        const ResultColumn& col = s->columns[ColumnNumber - 1];
        const std::size_t row = static_cast<std::size_t>(s->position);
        const SQLRETURN rc = convertValue(s->values[row * s->columns.size() + ColumnNumber - 1], col.sqlType,
                                          TargetType, TargetValue, BufferLength, StrLen_or_Ind, piece, *s);
        s->getDataOffset = piece.offset;
        s->getDataDone = piece.done || rc == SQL_ERROR;
        return rc;
    });
}
