// Where the ODBC driver manager finds its drivers: the odbcinst.ini installed in
// the run directory, which registers our spreadsheet driver. The manager reads the
// location once, at the process's first ODBC call, so this comes first.
#pragma once

#include <string>

namespace qr::app {

// Points the driver manager at `directoryUtf8`/odbcinst.ini (sets ODBCSYSINI for
// this process only; no file is touched).
void useOdbcDriversOf(const std::string& directoryUtf8);

} // namespace qr::app
