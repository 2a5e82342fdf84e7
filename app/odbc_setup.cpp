#include "app/odbc_setup.h"

#include <cstdlib>

namespace qr::app {

void useOdbcDriversOf(const std::string& directoryUtf8) { ::setenv("ODBCSYSINI", directoryUtf8.c_str(), 1); }

} // namespace qr::app
