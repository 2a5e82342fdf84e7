// The ODBC service table: the entries that do the component's work on top of
// the unixODBC driver manager. The table is filled once, on first use.
//
// Entry arguments (ServiceCall::args) and results:
//   NewOpenDatabase  connect string, read-only, no connect dialog -> long: connection handle, 0 on failure
//   OpenDatabase     connect string, read-only                    -> long: connection handle, 0 on failure
//   CloseDatabase    -                                            -> logical: a connection was closed
//   GetConnectString -                                            -> text: "ODBC;" + the completed connect string
//   OpenTable        SQL query                                    -> integer: result-set handle, 0 on failure
//   CloseTable       result-set handle (omitted: all)             -> logical
//   IsEOF, IsBOF     result-set handle                            -> logical (true for an unknown handle)
//   MoveFirst, MoveNext, MovePrev, MoveLast  result-set handle    -> logical: the handle was known
//   Requery          result-set handle                            -> logical: a new snapshot was taken
//   ReadColByName    result-set handle, column name               -> typed cell value (None: empty)
//   ReadColByIndex   result-set handle, 1-based column number     -> typed cell value (None: empty)
//   ExecuteSql       SQL text, parameters (texts, byte sets)      -> logical: the statement ran
//   BeginTrans, CommitTrans, RollbackTrans  -                     -> logical
//   BDGetRecCount, BDGetColCount  result-set handle               -> integer
//   BDGetColName, BDGetColText    result-set handle, 1-based column number -> text
//   BDGetColSQLType, BDGetColWidth result-set handle, 1-based column number -> integer
// The connection handle is ServiceCall::connection; entries given an unknown
// connection handle do nothing and answer false, 0 or None.
#pragma once

#include "sheet/service_table.h"

namespace qr::sheet {

const ServiceTable& odbcServiceTable();

} // namespace qr::sheet
