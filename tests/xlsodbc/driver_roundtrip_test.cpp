// Round trips through the driver manager: what INSERT writes, SELECT reads back, on
// the same connection and after the file was written and opened again.
#include "tests/xlsodbc/odbc_client.h"
#include "tests/xlsodbc/test_files.h"
#include "tests/xlsodbc/workbook_builder.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>

namespace qr::xls::testing {
namespace {

using Cells = std::vector<std::optional<std::string>>;

class DriverRoundTrip : public ::testing::Test {
protected:
    void SetUp() override
    {
        book = dir.file("list.xls");
        writeFile(book,
                  buildWorkbookFile({SheetSpec{u"Sheet1", {u"序号", u"姓名", u"备注", u"身高", u"乚乣号"}, {{1, 3000}}},
                                     SheetSpec{u"Sheet2", {}, {}}}));
    }

    QueryResult selectAll(OdbcClient& c, const std::string& sql = "SELECT * FROM `sheet1$`")
    {
        QueryResult r;
        EXPECT_TRUE(c.query(sql, r)) << c.lastState() << " " << c.lastMessage();
        return r;
    }

    TempDir dir;
    std::string book;
};

TEST_F(DriverRoundTrip, TextsKeepQuotesBracketsChineseAndLength)
{
    const std::string longText(300, 'x');
    const std::string longChinese = [] {
        std::string s;
        for (int i = 0; i < 260; ++i)
            s += "汉";
        return s;
    }();
    {
        OdbcClient c;
        ASSERT_TRUE(c.connect(exportConnectString(book))) << c.lastMessage();
        ASSERT_TRUE(c.exec(
            "INSERT INTO `sheet1$` (`序号`,`姓名`,`备注`,`身高`,`乚乣号`) VALUES ('1','张三','O''Neil [x] ]]','170','乚乣')"))
            << c.lastMessage();
        ASSERT_TRUE(c.exec("INSERT INTO `sheet1$` (`序号`,`姓名`,`备注`,`身高`,`乚乣号`) VALUES ('2','" + longChinese +
                           "','" + longText + "','','''')"))
            << c.lastMessage();
        // The same connection sees its rows before anything is written.
        const QueryResult before = selectAll(c);
        ASSERT_EQ(before.rows.size(), 2u);
    }
    OdbcClient c;
    ASSERT_TRUE(c.connect("DBQ=" + book + ";Driver={Microsoft Excel Driver (*.xls)}; ")) << c.lastMessage();
    const QueryResult r = selectAll(c);
    ASSERT_EQ(r.names, (std::vector<std::string>{"序号", "姓名", "备注", "身高", "乚乣号"}));
    ASSERT_EQ(r.rows.size(), 2u);
    EXPECT_EQ(r.rows[0], (Cells{"1", "张三", "O'Neil [x] ]]", "170", "乚乣"}));
    EXPECT_EQ(r.rows[1], (Cells{"2", longChinese, longText, "", "'"}));
    EXPECT_EQ(r.types[1], SQL_LONGVARCHAR); // longer than 255 characters somewhere
    EXPECT_EQ(r.types[0], SQL_VARCHAR);
}

TEST_F(DriverRoundTrip, NumbersAndEmptyCellsAsASpreadsheetDriverReportsThem)
{
    {
        OdbcClient c;
        ASSERT_TRUE(c.connectTo(book));
        ASSERT_TRUE(c.exec("INSERT INTO [Sheet1$] (序号, 姓名, 身高) VALUES (3, 'a', 170)"));
        ASSERT_TRUE(c.exec("INSERT INTO [Sheet1$] (序号, 姓名, 身高) VALUES (3, 'b', 45.5)"));
        ASSERT_TRUE(c.exec("INSERT INTO [Sheet1$] (序号, 姓名, 身高) VALUES (7, NULL, -1.5e3)"));
        ASSERT_TRUE(c.exec("INSERT INTO [Sheet1$] (序号, 姓名) VALUES (8, 'no height')"));
    }
    OdbcClient c;
    ASSERT_TRUE(c.connectTo(book, "ReadOnly=1;"));
    const QueryResult r = selectAll(c, "select * from [sheet1$]");
    EXPECT_EQ(r.types[0], SQL_DOUBLE);
    EXPECT_EQ(r.types[1], SQL_VARCHAR);
    EXPECT_EQ(r.types[2], SQL_VARCHAR); // nothing in the column: text
    EXPECT_EQ(r.types[3], SQL_DOUBLE);
    ASSERT_EQ(r.rows.size(), 4u);
    EXPECT_EQ(r.rows[0], (Cells{"3", "a", std::nullopt, "170", std::nullopt}));
    EXPECT_EQ(r.rows[1], (Cells{"3", "b", std::nullopt, "45.5", std::nullopt}));
    EXPECT_EQ(r.rows[2], (Cells{"7", std::nullopt, std::nullopt, "-1500", std::nullopt}));
    EXPECT_EQ(r.rows[3], (Cells{"8", "no height", std::nullopt, std::nullopt, std::nullopt}));

    // A double column reads as SQL_C_DOUBLE too.
    SQLHSTMT st = c.newStatement();
    ASSERT_TRUE(SQL_SUCCEEDED(SQLExecDirect(st, (SQLCHAR*)"SELECT 身高 FROM sheet1$", SQL_NTS)));
    ASSERT_TRUE(SQL_SUCCEEDED(SQLFetch(st)));
    double v = 0;
    SQLLEN ind = 0;
    ASSERT_TRUE(SQL_SUCCEEDED(SQLGetData(st, 1, SQL_C_DEFAULT, &v, sizeof v, &ind)));
    EXPECT_EQ(v, 170.0);
    SQLFreeHandle(SQL_HANDLE_STMT, st);
}

TEST_F(DriverRoundTrip, ParameterMarkersCarryTextsNumbersAndNull)
{
    {
        OdbcClient c;
        ASSERT_TRUE(c.connectTo(book));
        SQLHSTMT st = c.newStatement();
        ASSERT_TRUE(SQL_SUCCEEDED(
            SQLPrepare(st, (SQLCHAR*)"INSERT INTO `Sheet1$` (`姓名`, `身高`, `备注`) VALUES (?, ?, ?)", SQL_NTS)));
        SQLSMALLINT count = 0;
        ASSERT_TRUE(SQL_SUCCEEDED(SQLNumParams(st, &count)));
        EXPECT_EQ(count, 3);
        char name[64] = "李'四 [甲]";
        double height = 45.5;
        SQLLEN nameInd = SQL_NTS, heightInd = 0, nullInd = SQL_NULL_DATA;
        SQLBindParameter(st, 1, SQL_PARAM_INPUT, SQL_C_CHAR, SQL_LONGVARCHAR, 64, 0, name, sizeof name, &nameInd);
        SQLBindParameter(st, 2, SQL_PARAM_INPUT, SQL_C_DOUBLE, SQL_DOUBLE, 15, 0, &height, 0, &heightInd);
        SQLBindParameter(st, 3, SQL_PARAM_INPUT, SQL_C_CHAR, SQL_VARCHAR, 10, 0, name, 0, &nullInd);
        ASSERT_TRUE(SQL_SUCCEEDED(SQLExecute(st)));
        SQLLEN rows = 0;
        SQLRowCount(st, &rows);
        EXPECT_EQ(rows, 1);
        height = 170;
        std::snprintf(name, sizeof name, "%s", "王五");
        ASSERT_TRUE(SQL_SUCCEEDED(SQLExecute(st))); // the same prepared statement again
        SQLFreeHandle(SQL_HANDLE_STMT, st);
    }
    OdbcClient c;
    ASSERT_TRUE(c.connectTo(book));
    const QueryResult r = selectAll(c, "SELECT `姓名`, `身高`, `备注` FROM `SHEET1$`");
    ASSERT_EQ(r.rows.size(), 2u);
    EXPECT_EQ(r.rows[0], (Cells{"李'四 [甲]", "45.5", std::nullopt}));
    EXPECT_EQ(r.rows[1], (Cells{"王五", "170", std::nullopt}));
}

TEST_F(DriverRoundTrip, RowsReachTheFileAtCommitOrDisconnectOnly)
{
    const auto original = readFile(book);
    OdbcClient c;
    ASSERT_TRUE(c.connect(exportConnectString(book)));
    for (int i = 0; i < 50; ++i)
        ASSERT_TRUE(c.exec("INSERT INTO [sheet1$] ([序号],[姓名]) VALUES ('" + std::to_string(i) + "','n')"));
    EXPECT_EQ(readFile(book), original);
    ASSERT_TRUE(SQL_SUCCEEDED(SQLEndTran(SQL_HANDLE_DBC, c.dbc(), SQL_COMMIT)));
    const auto committed = readFile(book);
    EXPECT_NE(committed, original);
    ASSERT_TRUE(c.exec("INSERT INTO [sheet1$] ([序号]) VALUES ('50')"));
    EXPECT_EQ(readFile(book), committed);
    c.disconnect();
    EXPECT_EQ(c.lastState(), ""); // a clean disconnect leaves no diagnostic

    OdbcClient again;
    ASSERT_TRUE(again.connectTo(book));
    QueryResult r;
    ASSERT_TRUE(again.query("SELECT 序号 FROM Sheet1$", r));
    ASSERT_EQ(r.rows.size(), 51u);
    for (int i = 0; i <= 50; ++i)
        EXPECT_EQ(r.rows[i][0], std::to_string(i));
}

TEST_F(DriverRoundTrip, DisconnectReportsAFileThatCannotBeWritten)
{
    OdbcClient c;
    ASSERT_TRUE(c.connect(exportConnectString(book)));
    ASSERT_TRUE(c.exec("INSERT INTO [sheet1$] ([序号]) VALUES ('1')"));
    // The directory disappears under the connection: the rows cannot be written.
    std::filesystem::remove_all(dir.path());
    EXPECT_EQ(SQLEndTran(SQL_HANDLE_DBC, c.dbc(), SQL_COMMIT), SQL_ERROR);
    c.takeDiagnostics(SQL_HANDLE_DBC, c.dbc());
    EXPECT_EQ(c.lastState(), "HY000");
    c.disconnect();
    EXPECT_EQ(c.lastState(), "01002");
}

TEST_F(DriverRoundTrip, StatementErrorsCarryTheirStates)
{
    OdbcClient c;
    ASSERT_TRUE(c.connect(exportConnectString(book)));
    EXPECT_FALSE(c.exec("INSERT INTO [nosuch$] ([序号]) VALUES ('1')"));
    EXPECT_EQ(c.lastState(), "42S02");
    EXPECT_FALSE(c.exec("INSERT INTO [sheet1$] ([序号],[监护人1关系]) VALUES ('1','x')"));
    EXPECT_EQ(c.lastState(), "42S22");
    QueryResult r;
    EXPECT_FALSE(c.query("SELECT [监护人1关系] FROM [sheet1$]", r));
    EXPECT_EQ(c.lastState(), "42S22");
    EXPECT_FALSE(c.exec("INSERT INTO [sheet1$] ([序号]) VALUES ('1'"));
    EXPECT_EQ(c.lastState(), "42000");
    EXPECT_FALSE(c.exec("INSERT INTO [sheet1$] ([序号],[姓名]) VALUES ('1')"));
    EXPECT_EQ(c.lastState(), "42000");
    EXPECT_FALSE(c.exec("INSERT INTO [sheet1$] VALUES ('1')"));
    EXPECT_EQ(c.lastState(), "21S01");
    EXPECT_FALSE(c.exec("INSERT INTO [sheet1$] ([序号]) VALUES (?)"));
    EXPECT_EQ(c.lastState(), "07002");
    EXPECT_FALSE(c.exec("DELETE FROM [sheet1$]"));
    EXPECT_EQ(c.lastState(), "42000");
    // Nothing of the failed statements reached the sheet.
    ASSERT_TRUE(c.query("SELECT * FROM [sheet1$]", r));
    EXPECT_TRUE(r.rows.empty());

    OdbcClient readOnly;
    ASSERT_TRUE(readOnly.connect("DBQ=" + book + ";Driver={Microsoft Excel Driver (*.xls)}; "));
    EXPECT_FALSE(readOnly.exec("INSERT INTO [sheet1$] ([序号]) VALUES ('1')"));
    EXPECT_EQ(readOnly.lastState(), "HY000");
    EXPECT_NE(readOnly.lastMessage().find("read-only"), std::string::npos);
}

TEST_F(DriverRoundTrip, ConnectStringsAndQuoteCharacter)
{
    OdbcClient c;
    // A relative DBQ resolves against DefaultDir; braces may hold any value.
    ASSERT_TRUE(c.connect("DBQ={list.xls};DefaultDir=" + dir.path() +
                          ";Driver={Microsoft Excel Driver (*.xls)};MaxScanRows=0;"))
        << c.lastMessage();
    SQLCHAR quote[8] = {};
    SQLSMALLINT len = 0;
    ASSERT_TRUE(SQL_SUCCEEDED(SQLGetInfo(c.dbc(), SQL_IDENTIFIER_QUOTE_CHAR, quote, sizeof quote, &len)));
    EXPECT_STREQ(reinterpret_cast<char*>(quote), "`");
    c.disconnect();

    OdbcClient bad;
    EXPECT_FALSE(bad.connect("Driver={Microsoft Excel Driver (*.xls)};MaxScanRows=99;DBQ=" + book));
    EXPECT_EQ(bad.lastState(), "08001");
    EXPECT_FALSE(bad.connect("Driver={Microsoft Excel Driver (*.xls)};"));
    EXPECT_EQ(bad.lastState(), "08001");
    EXPECT_FALSE(bad.connectTo(dir.file("missing.xls")));
    EXPECT_EQ(bad.lastState(), "08001");
    EXPECT_NE(bad.lastMessage().find("missing.xls"), std::string::npos);
}

TEST_F(DriverRoundTrip, ScanRowsDecideTheColumnType)
{
    {
        OdbcClient c;
        ASSERT_TRUE(c.connectTo(book));
        for (int i = 1; i <= 8; ++i)
            ASSERT_TRUE(c.exec("INSERT INTO [sheet1$] (序号, 身高) VALUES (" + std::to_string(i) + ", 1" +
                               std::to_string(i) + ".5)"));
        ASSERT_TRUE(c.exec("INSERT INTO [sheet1$] (序号, 身高) VALUES ('nine', 'tall')"));
    }
    OdbcClient scanned8;
    ASSERT_TRUE(scanned8.connectTo(book, "MaxScanRows=8;"));
    QueryResult r;
    ASSERT_TRUE(scanned8.query("SELECT 序号, 身高 FROM [sheet1$]", r));
    EXPECT_EQ(r.types, (std::vector<SQLSMALLINT>{SQL_DOUBLE, SQL_DOUBLE}));
    ASSERT_EQ(r.rows.size(), 9u);
    EXPECT_EQ(r.rows[7], (Cells{"8", "18.5"}));
    EXPECT_EQ(r.rows[8], (Cells{std::nullopt, std::nullopt})); // texts in number columns

    OdbcClient scannedAll;
    ASSERT_TRUE(scannedAll.connectTo(book, "MaxScanRows=0;"));
    ASSERT_TRUE(scannedAll.query("SELECT 序号, 身高 FROM [sheet1$]", r));
    EXPECT_EQ(r.types, (std::vector<SQLSMALLINT>{SQL_VARCHAR, SQL_VARCHAR}));
    EXPECT_EQ(r.rows[0], (Cells{"1", "11.5"}));
    EXPECT_EQ(r.rows[8], (Cells{"nine", "tall"}));
}

TEST_F(DriverRoundTrip, EmptySheetsAndSheetNamesWithoutRegardToCase)
{
    OdbcClient c;
    ASSERT_TRUE(c.connectTo(book));
    QueryResult r;
    ASSERT_TRUE(c.query("SELECT * FROM [SHEET2$]", r));
    EXPECT_TRUE(r.rows.empty());
    ASSERT_TRUE(c.query("SELECT * FROM sHeEt1$", r));
    EXPECT_EQ(r.names.size(), 5u);
    EXPECT_FALSE(c.exec("INSERT INTO [sheet2$] ([a]) VALUES ('1')")); // no headings to match
    EXPECT_EQ(c.lastState(), "42S22");
}

} // namespace
} // namespace qr::xls::testing

namespace qr::xls::testing {
namespace {

TEST_F(DriverRoundTrip, DisconnectWithStatementsLeftOpenKeepsTheRows)
{
    {
        OdbcClient c;
        ASSERT_TRUE(c.connectTo(book));
        SQLHSTMT insert = c.newStatement();
        ASSERT_TRUE(
            SQL_SUCCEEDED(SQLExecDirect(insert, (SQLCHAR*)"INSERT INTO [sheet1$] ([序号]) VALUES ('kept')", SQL_NTS)));
        SQLHSTMT query = c.newStatement();
        ASSERT_TRUE(SQL_SUCCEEDED(SQLExecDirect(query, (SQLCHAR*)"SELECT * FROM [sheet1$]", SQL_NTS)));
        ASSERT_TRUE(SQL_SUCCEEDED(SQLFetch(query)));
        // Neither statement is freed: the disconnect frees them.
    }
    OdbcClient c;
    ASSERT_TRUE(c.connectTo(book));
    QueryResult r;
    ASSERT_TRUE(c.query("SELECT 序号 FROM [sheet1$]", r));
    ASSERT_EQ(r.rows.size(), 1u);
    EXPECT_EQ(r.rows[0][0], "kept");
}

TEST_F(DriverRoundTrip, FileNamesInTheApplicationsEncoding)
{
    // The connect string carries GBK; the file system holds UTF-8 names.
    const std::string gbkName = dir.path() + "/" + gbk(u8"班级名单.xls");
    std::filesystem::copy_file(book, dir.path() + "/" + reinterpret_cast<const char*>(u8"班级名单.xls"));
    OdbcClient c;
    ASSERT_TRUE(c.connect(exportConnectString(gbkName))) << c.lastMessage();
    ASSERT_TRUE(c.exec("INSERT INTO [sheet1$] ([姓名]) VALUES ('张三')"));
    c.disconnect();
    EXPECT_NE(readFile(dir.path() + "/" + reinterpret_cast<const char*>(u8"班级名单.xls")), readFile(book));
}

} // namespace
} // namespace qr::xls::testing

namespace qr::xls::testing {
namespace {

TEST_F(DriverRoundTrip, ManualCommitAndRollback)
{
    OdbcClient c;
    ASSERT_TRUE(c.connectTo(book));
    ASSERT_TRUE(SQL_SUCCEEDED(
        SQLSetConnectAttr(c.dbc(), SQL_ATTR_AUTOCOMMIT, reinterpret_cast<SQLPOINTER>(SQL_AUTOCOMMIT_OFF), 0)));
    ASSERT_TRUE(c.exec("INSERT INTO [sheet1$] ([姓名]) VALUES ('forgotten')"));
    ASSERT_TRUE(SQL_SUCCEEDED(SQLEndTran(SQL_HANDLE_DBC, c.dbc(), SQL_ROLLBACK)));
    QueryResult r;
    ASSERT_TRUE(c.query("SELECT 姓名 FROM [sheet1$]", r));
    EXPECT_TRUE(r.rows.empty());
    ASSERT_TRUE(c.exec("INSERT INTO [sheet1$] ([姓名]) VALUES ('kept')"));
    ASSERT_TRUE(SQL_SUCCEEDED(SQLEndTran(SQL_HANDLE_DBC, c.dbc(), SQL_COMMIT)));
    ASSERT_TRUE(SQL_SUCCEEDED(SQLEndTran(SQL_HANDLE_DBC, c.dbc(), SQL_ROLLBACK))); // nothing left to forget
    ASSERT_TRUE(c.query("SELECT 姓名 FROM [sheet1$]", r));
    ASSERT_EQ(r.rows.size(), 1u);
    EXPECT_EQ(r.rows[0][0], "kept");

    SQLHSTMT st = c.newStatement();
    ASSERT_TRUE(SQL_SUCCEEDED(SQLExecDirect(st, (SQLCHAR*)"SELECT 姓名 FROM [sheet1$]", SQL_NTS)));
    ASSERT_TRUE(SQL_SUCCEEDED(SQLFetch(st)));
    char16_t wide[8] = {};
    SQLLEN ind = 0;
    ASSERT_EQ(SQLGetData(st, 1, SQL_C_WCHAR, wide, sizeof wide, &ind), SQL_SUCCESS);
    EXPECT_EQ(std::u16string(wide), u"kept");
    EXPECT_EQ(ind, 8);
    SQLFreeHandle(SQL_HANDLE_STMT, st);
}

} // namespace
} // namespace qr::xls::testing

namespace qr::xls::testing {
namespace {

TEST_F(DriverRoundTrip, WithoutAHeadingRowColumnsAreNumbered)
{
    {
        OdbcClient c;
        ASSERT_TRUE(c.connectTo(book));
        ASSERT_TRUE(c.exec("INSERT INTO [sheet1$] ([序号],[身高]) VALUES ('x', 1)"));
    }
    OdbcClient c;
    ASSERT_TRUE(c.connectTo(book, "FirstRowHasNames=0;"));
    QueryResult r;
    ASSERT_TRUE(c.query("SELECT F1, F4, f1 FROM [sheet1$]", r)) << c.lastMessage();
    EXPECT_EQ(r.names, (std::vector<std::string>{"F1", "F4", "F1"}));
    ASSERT_EQ(r.rows.size(), 2u);
    EXPECT_EQ(r.rows[0], (Cells{"序号", "身高", "序号"})); // the headings are data now
    EXPECT_EQ(r.rows[1], (Cells{"x", "1", "x"}));
}

} // namespace
} // namespace qr::xls::testing
