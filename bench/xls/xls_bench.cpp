// Measures a 3,000-row export and a 3,000-row import through the driver manager and
// the .xls driver, the way the spreadsheet connection component drives them:
// export = one prepared INSERT of 19 quoted texts per row, then a disconnect that
// writes the file; import = a static snapshot over SELECT * (every row fetched once,
// back to the first row) and then 19 SQLGetData reads per row.
#include "tests/xlsodbc/workbook_builder.h"
#include "xlsodbc/driver_registration.h"

#include <sql.h>
#include <sqlext.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace {

constexpr int kRows = 3000;
constexpr int kColumns = 19;
constexpr int kRounds = 5;

using Clock = std::chrono::steady_clock;

bool ok(SQLRETURN rc) { return SQL_SUCCEEDED(rc); }

void fail(const char* what)
{
    std::fprintf(stderr, "quillroll-bench-xls: %s failed\n", what);
    std::exit(1);
}

std::string quoted(const std::string& v)
{
    std::string out = "'";
    for (char c : v) {
        out += c;
        if (c == '\'')
            out += '\'';
    }
    return out + "'";
}

std::string insertFor(int row)
{
    const std::string n = std::to_string(row);
    const std::vector<std::string> values = {n,
                                             "学生" + n,
                                             row % 2 ? "男" : "女",
                                             "170",
                                             "45.5",
                                             "15",
                                             "G11010520090101" + n,
                                             "L2009" + n,
                                             "是",
                                             "3-201",
                                             "2",
                                             "11010520090101002X",
                                             "北京市海淀区学院路" + n + "号 O'Neil 楼 [东]",
                                             "父亲",
                                             "家长" + n,
                                             "13800138000",
                                             "母亲",
                                             "家长乙" + n,
                                             "13900139000"};
    std::string sql =
        "INSERT INTO `sheet1$` (`序号`,`姓名`,`性别`,`身高`,`体重`,`年龄`,`学籍辅号`,`全国学号`,`是否住宿`,"
        "`宿舍号`,`床位号`,`身份证号`,`家庭住址`,`监护1关系`,`监护1姓名`,`监护1电话`,`监护2关系`,`监护2姓名`,"
        "`监护2电话`) VALUES (";
    for (int c = 0; c < kColumns; ++c)
        sql += (c ? "," : "") + quoted(values[static_cast<std::size_t>(c)]);
    return sql + ")";
}

struct Session {
    SQLHENV env = SQL_NULL_HENV;
    SQLHDBC dbc = SQL_NULL_HDBC;
    explicit Session(const std::string& connect)
    {
        SQLAllocHandle(SQL_HANDLE_ENV, SQL_NULL_HANDLE, &env);
        SQLSetEnvAttr(env, SQL_ATTR_ODBC_VERSION, reinterpret_cast<SQLPOINTER>(SQL_OV_ODBC3), 0);
        SQLAllocHandle(SQL_HANDLE_DBC, env, &dbc);
        if (!ok(SQLDriverConnect(dbc, nullptr, (SQLCHAR*)connect.c_str(), SQL_NTS, nullptr, 0, nullptr,
                                 SQL_DRIVER_NOPROMPT)))
            fail("connect");
    }
    void close()
    {
        if (!ok(SQLDisconnect(dbc)))
            fail("disconnect");
        SQLFreeHandle(SQL_HANDLE_DBC, dbc);
        SQLFreeHandle(SQL_HANDLE_ENV, env);
    }
};

double exportRows(const std::string& file, const std::vector<std::string>& statements)
{
    const auto start = Clock::now();
    const std::string dir = file.substr(0, file.rfind('/') + 1);
    Session s("DBQ=" + file + ";DefaultDir=" + dir +
              ";Driver={Microsoft Excel Driver (*.xls)};DriverId=790;FIL=excel 8.0;MaxBufferSize=2048;MaxScanRows=8;"
              "PageTimeout=5;ReadOnly=0;SafeTransactions=0;Threads=3;UID=admin;UserCommitSync=Yes;");
    for (const std::string& sql : statements) {
        SQLHSTMT st;
        SQLAllocHandle(SQL_HANDLE_STMT, s.dbc, &st);
        if (!ok(SQLPrepare(st, (SQLCHAR*)sql.c_str(), SQL_NTS)) || !ok(SQLExecute(st)))
            fail("insert");
        SQLSMALLINT cols = 0;
        SQLNumResultCols(st, &cols);
        while (SQLMoreResults(st) == SQL_SUCCESS) {}
        SQLFreeStmt(st, SQL_DROP);
    }
    s.close();
    return std::chrono::duration<double>(Clock::now() - start).count();
}

double importRows(const std::string& file, std::size_t& bytesRead)
{
    const auto start = Clock::now();
    Session s("DBQ=" + file + ";Driver={Microsoft Excel Driver (*.xls)}; ");
    SQLHSTMT st;
    SQLAllocHandle(SQL_HANDLE_STMT, s.dbc, &st);
    SQLSetStmtAttr(st, SQL_ATTR_CURSOR_TYPE, reinterpret_cast<SQLPOINTER>(SQL_CURSOR_STATIC), 0);
    if (!ok(SQLExecDirect(st, (SQLCHAR*)"select * from `sheet1$`", SQL_NTS)))
        fail("select");
    SQLSMALLINT cols = 0;
    SQLNumResultCols(st, &cols);
    std::vector<std::vector<char>> bound(static_cast<std::size_t>(cols), std::vector<char>(512));
    std::vector<SQLLEN> ind(static_cast<std::size_t>(cols));
    for (SQLUSMALLINT c = 1; c <= cols; ++c) {
        SQLCHAR name[128];
        SQLSMALLINT len, type, digits, nullable;
        SQLULEN size;
        SQLDescribeCol(st, c, name, sizeof name, &len, &type, &size, &digits, &nullable);
        SQLBindCol(st, c, SQL_C_CHAR, bound[c - 1].data(), 512, &ind[c - 1]);
    }
    int rows = 0;
    while (ok(SQLFetchScroll(st, SQL_FETCH_NEXT, 0)))
        ++rows;
    if (rows != kRows)
        fail("row count");
    char cell[1024];
    for (SQLRETURN rc = SQLFetchScroll(st, SQL_FETCH_FIRST, 0); ok(rc); rc = SQLFetchScroll(st, SQL_FETCH_NEXT, 0)) {
        for (SQLUSMALLINT c = 1; c <= cols; ++c) {
            SQLLEN len = 0;
            if (ok(SQLGetData(st, c, SQL_C_CHAR, cell, sizeof cell, &len)) && len > 0)
                bytesRead += static_cast<std::size_t>(len);
        }
    }
    SQLFreeHandle(SQL_HANDLE_STMT, st);
    s.close();
    return std::chrono::duration<double>(Clock::now() - start).count();
}

} // namespace

int main()
{
    std::string problem;
    if (qr::xls::registerDriver(QR_TEST_ODBC_DIR, QR_XLS_DRIVER_FILE, problem) == qr::xls::Registration::Failed)
        fail(("registering the driver (" + problem + ")").c_str());
    qr::xls::useRegistrationIn(QR_TEST_ODBC_DIR);
    char tmpl[] = "/tmp/qr-xls-bench-XXXXXX";
    if (!mkdtemp(tmpl))
        fail("mkdtemp");
    const std::string file = std::string(tmpl) + "/roster.xls";
    std::vector<std::u16string> headings = {u"序号",      u"姓名",      u"性别",      u"身高",      u"体重",
                                            u"年龄",      u"学籍辅号",  u"全国学号",  u"是否住宿",  u"宿舍号",
                                            u"床位号",    u"身份证号",  u"家庭住址",  u"监护1关系", u"监护1姓名",
                                            u"监护1电话", u"监护2关系", u"监护2姓名", u"监护2电话"};
    const auto templateBytes = qr::xls::testing::buildRosterStyleFile(headings, {{0, 1312}, {1, 1696}});
    std::vector<std::string> statements;
    for (int r = 1; r <= kRows; ++r)
        statements.push_back(insertFor(r));

    std::vector<double> exports, imports;
    std::size_t bytesRead = 0;
    for (int round = 0; round < kRounds; ++round) {
        std::ofstream(file, std::ios::binary | std::ios::trunc)
            .write(reinterpret_cast<const char*>(templateBytes.data()),
                   static_cast<std::streamsize>(templateBytes.size()));
        exports.push_back(exportRows(file, statements));
        imports.push_back(importRows(file, bytesRead));
    }
    const auto size = std::filesystem::file_size(file);
    std::filesystem::remove_all(tmpl);
    auto report = [](const char* what, std::vector<double> t) {
        std::sort(t.begin(), t.end());
        std::printf("%-44s best %7.1f ms   median %7.1f ms   worst %7.1f ms\n", what, t.front() * 1000,
                    t[t.size() / 2] * 1000, t.back() * 1000);
    };
    std::printf("%d rows x %d text columns, %d rounds, workbook of %ju bytes\n", kRows, kColumns, kRounds,
                static_cast<std::uintmax_t>(size));
    report("export (connect, 3000 INSERTs, disconnect)", exports);
    report("import (connect, snapshot, 19 reads/row)", imports);
    return 0;
}
