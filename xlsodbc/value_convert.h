// Converting a cell (NULL, number or GBK text) into the C type an application asked
// for, whole (bound columns) or piece by piece (SQLGetData on long texts).
#pragma once

#include "xlsodbc/odbc_handles.h"

namespace qr::xls {

// Progress of one cell being read piece by piece.
struct PieceState {
    std::size_t offset = 0; // bytes of the converted value already handed out
    bool done = false;      // everything handed out: the next call answers SQL_NO_DATA
};

// Writes `value` of a column of SQL type `sqlType` as C type `cType` into `target`
// (buffer of `bufferLength` bytes) and `indicator`. Diagnostics go to `diag`.
// Returns SQL_SUCCESS, SQL_SUCCESS_WITH_INFO (01004 cut, 01S07 fraction dropped) or
// SQL_ERROR (22002, 22003, 22018, 07006, HY003).
SQLRETURN convertValue(const FieldValue& value, SQLSMALLINT sqlType, SQLSMALLINT cType, SQLPOINTER target,
                       SQLLEN bufferLength, SQLLEN* indicator, PieceState& piece, HandleBase& diag);

// Size of one element of a bound column array for column-wise binding.
SQLLEN elementSize(SQLSMALLINT cType, SQLLEN bufferLength);

// The default C type of an SQL type.
SQLSMALLINT defaultCType(SQLSMALLINT sqlType);

bool isNumericSqlType(SQLSMALLINT sqlType);

// Parses a whole text (spaces around allowed) as a number.
bool parseNumber(std::string_view text, double& out);

} // namespace qr::xls
