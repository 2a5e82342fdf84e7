#include "odbc_test_setup.h"

#include "runtime/gbk.h"

#include <gtest/gtest.h>
#include <sqlite3.h>

#include <cstdlib>
#include <fstream>

namespace qr::runtime {

void PrintTo(const Value& value, std::ostream* out)
{
    *out << "kind " << static_cast<int>(value.kind()) << " ";
    switch (value.kind()) {
    case Kind::Text: *out << '"' << gbkToUtf8(value.asText()) << '"'; break;
    case Kind::ByteSet: *out << value.asByteSet().size() << " bytes"; break;
    case Kind::Logical: *out << (value.asLogical() ? "true" : "false"); break;
    case Kind::DateTime: *out << value.asDateTime().days << " days"; break;
    case Kind::None:
    case Kind::SubprogramPointer: break;
    default: *out << value.numericAsDouble(); break;
    }
}

} // namespace qr::runtime

namespace qr::sheet::test {

namespace fs = std::filesystem;

namespace {

// Writes the ini files and points unixODBC at them. The driver manager reads
// ODBCSYSINI once and caches it, so this runs before any test makes an ODBC call.
class OdbcEnvironment : public ::testing::Environment {
public:
    void SetUp() override { (void)odbcConfigDir(); }
};

const auto* const registered = ::testing::AddGlobalTestEnvironment(new OdbcEnvironment);

} // namespace

const fs::path& odbcConfigDir()
{
    // Removed with everything in it when the program ends.
    static const TempDir folder;
    static const fs::path dir = [] {
        fs::path d = folder.path();
        // DontDLClose keeps the driver loaded, so that the sanitizers can name its frames.
        std::ofstream(d / "odbcinst.ini") << "[SQLite3]\n"
                                             "Description=SQLite3 ODBC driver\n"
                                             "Driver=" QR_SQLITE_ODBC_DRIVER "\n"
                                             "DontDLClose=1\n";
        std::ofstream(d / "odbc.ini") << "[QrSqlite]\n"
                                         "Driver=SQLite3\n"
                                         "Database="
                                      << (d / "dsn.db").string() << "\n";
        setenv("ODBCSYSINI", d.c_str(), 1);
        setenv("ODBCINI", (d / "odbc.ini").c_str(), 1);
        return d;
    }();
    return dir;
}

fs::path dsnDatabasePath() { return odbcConfigDir() / "dsn.db"; }

std::string sqliteConnect(const fs::path& database)
{
    return "ODBC;DRIVER={SQLite3};Database=" + database.string() + ";";
}

void sqliteExec(const fs::path& database, const std::string& sql)
{
    sqlite3* db = nullptr;
    ASSERT_EQ(sqlite3_open(database.c_str(), &db), SQLITE_OK);
    char* error = nullptr;
    const int rc = sqlite3_exec(db, sql.c_str(), nullptr, nullptr, &error);
    const std::string message = error ? error : "";
    sqlite3_free(error);
    sqlite3_close(db);
    ASSERT_EQ(rc, SQLITE_OK) << message << " in: " << sql;
}

std::string sqliteScalar(const fs::path& database, const std::string& sql)
{
    sqlite3* db = nullptr;
    if (sqlite3_open(database.c_str(), &db) != SQLITE_OK) {
        sqlite3_close(db);
        return "<cannot open>";
    }
    sqlite3_stmt* statement = nullptr;
    std::string result = "<error>";
    if (sqlite3_prepare_v2(db, sql.c_str(), -1, &statement, nullptr) == SQLITE_OK) {
        const int step = sqlite3_step(statement);
        if (step == SQLITE_ROW) {
            const auto* text = sqlite3_column_text(statement, 0);
            result = text ? std::string(reinterpret_cast<const char*>(text),
                                        static_cast<std::size_t>(sqlite3_column_bytes(statement, 0)))
                          : "<null>";
        } else if (step == SQLITE_DONE) {
            result = "<none>";
        }
    }
    sqlite3_finalize(statement);
    sqlite3_close(db);
    return result;
}

} // namespace qr::sheet::test
