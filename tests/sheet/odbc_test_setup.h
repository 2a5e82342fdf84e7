// Test set-up shared by the tests that go through the real driver manager: a
// private odbcinst.ini naming Debian's SQLite ODBC driver "SQLite3", a DSN
// "QrSqlite" in a private odbc.ini, and fresh databases in temporary folders.
#pragma once

#include "runtime/value.h"
#include "tests/support/temp_dir.h"

#include <filesystem>
#include <ostream>
#include <string>

namespace qr::runtime {
// Readable values in test failure messages.
void PrintTo(const Value& value, std::ostream* out);
} // namespace qr::runtime

namespace qr::sheet::test {

// The folder holding the private ini files; set before the first ODBC call.
const std::filesystem::path& odbcConfigDir();

// Path of the DSN's database file.
std::filesystem::path dsnDatabasePath();

using test_support::TempDir;

// A connect string for the SQLite driver over a database file.
std::string sqliteConnect(const std::filesystem::path& database);

// Runs SQL directly through SQLite (not through ODBC) to build and check
// fixtures independently of the component. Fails the test on an error.
void sqliteExec(const std::filesystem::path& database, const std::string& sql);
// The first column of the first row of a query as text ("<null>" for NULL,
// "<none>" for no row).
std::string sqliteScalar(const std::filesystem::path& database, const std::string& sql);

} // namespace qr::sheet::test
