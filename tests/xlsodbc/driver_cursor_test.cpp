// Cursors and column reads: the static scrollable cursor a snapshot walks, bound
// columns, and SQLGetData handing out a long text piece by piece.
#include "tests/xlsodbc/odbc_client.h"
#include "tests/xlsodbc/test_files.h"
#include "tests/xlsodbc/workbook_builder.h"

#include <gtest/gtest.h>

namespace qr::xls::testing {
namespace {

class DriverCursor : public ::testing::Test {
protected:
    void SetUp() override
    {
        book = dir.file("c.xls");
        writeFile(book, buildWorkbookFile({SheetSpec{u"Sheet1", {u"n", u"text"}, {}}}));
        ASSERT_TRUE(client.connectTo(book));
        for (int i = 1; i <= 5; ++i)
            ASSERT_TRUE(client.exec("INSERT INTO [Sheet1$] (n, text) VALUES (" + std::to_string(i) + ", 'row " +
                                    std::to_string(i) + "')"));
        stmt = client.newStatement();
    }
    void TearDown() override { SQLFreeHandle(SQL_HANDLE_STMT, stmt); }

    // The n of the current row, through a bound column.
    SQLRETURN scroll(SQLSMALLINT orientation, SQLLEN offset = 0) { return SQLFetchScroll(stmt, orientation, offset); }

    TempDir dir;
    std::string book;
    OdbcClient client;
    SQLHSTMT stmt = SQL_NULL_HSTMT;
};

TEST_F(DriverCursor, StaticCursorScrollsEveryWay)
{
    ASSERT_TRUE(
        SQL_SUCCEEDED(SQLSetStmtAttr(stmt, SQL_ATTR_CURSOR_TYPE, reinterpret_cast<SQLPOINTER>(SQL_CURSOR_STATIC), 0)));
    ASSERT_TRUE(SQL_SUCCEEDED(SQLExecDirect(stmt, (SQLCHAR*)"SELECT n FROM [sheet1$]", SQL_NTS)));
    SQLINTEGER n = 0;
    SQLLEN ind = 0;
    ASSERT_TRUE(SQL_SUCCEEDED(SQLBindCol(stmt, 1, SQL_C_SLONG, &n, 0, &ind)));

    // The snapshot's opening walk: every row once, then back to the first.
    int seen = 0;
    while (SQL_SUCCEEDED(scroll(SQL_FETCH_NEXT)))
        EXPECT_EQ(n, ++seen);
    EXPECT_EQ(seen, 5);
    EXPECT_EQ(scroll(SQL_FETCH_NEXT), SQL_NO_DATA); // stays past the end
    ASSERT_EQ(scroll(SQL_FETCH_PRIOR), SQL_SUCCESS);
    EXPECT_EQ(n, 5);
    ASSERT_EQ(scroll(SQL_FETCH_FIRST), SQL_SUCCESS);
    EXPECT_EQ(n, 1);
    EXPECT_EQ(scroll(SQL_FETCH_PRIOR), SQL_NO_DATA); // before the first row
    ASSERT_EQ(scroll(SQL_FETCH_NEXT), SQL_SUCCESS);
    EXPECT_EQ(n, 1);
    ASSERT_EQ(scroll(SQL_FETCH_LAST), SQL_SUCCESS);
    EXPECT_EQ(n, 5);
    ASSERT_EQ(scroll(SQL_FETCH_ABSOLUTE, 3), SQL_SUCCESS);
    EXPECT_EQ(n, 3);
    ASSERT_EQ(scroll(SQL_FETCH_ABSOLUTE, -2), SQL_SUCCESS);
    EXPECT_EQ(n, 4);
    ASSERT_EQ(scroll(SQL_FETCH_RELATIVE, -2), SQL_SUCCESS);
    EXPECT_EQ(n, 2);
    EXPECT_EQ(scroll(SQL_FETCH_ABSOLUTE, 6), SQL_NO_DATA);
    EXPECT_EQ(scroll(SQL_FETCH_ABSOLUTE, 0), SQL_NO_DATA);
    ASSERT_EQ(scroll(SQL_FETCH_NEXT), SQL_SUCCESS); // from before the start
    EXPECT_EQ(n, 1);
    EXPECT_EQ(SQLMoreResults(stmt), SQL_NO_DATA);
}

TEST_F(DriverCursor, ForwardOnlyCursorRefusesToScroll)
{
    ASSERT_TRUE(SQL_SUCCEEDED(SQLExecDirect(stmt, (SQLCHAR*)"SELECT * FROM [sheet1$]", SQL_NTS)));
    ASSERT_EQ(scroll(SQL_FETCH_NEXT), SQL_SUCCESS);
    EXPECT_EQ(scroll(SQL_FETCH_FIRST), SQL_ERROR);
    client.takeDiagnostics(SQL_HANDLE_STMT, stmt);
    EXPECT_EQ(client.lastState(), "HY106");
    // A second query needs the cursor closed first.
    EXPECT_EQ(SQLExecDirect(stmt, (SQLCHAR*)"SELECT * FROM [sheet1$]", SQL_NTS), SQL_ERROR);
    client.takeDiagnostics(SQL_HANDLE_STMT, stmt);
    EXPECT_EQ(client.lastState(), "24000");
    ASSERT_EQ(SQLCloseCursor(stmt), SQL_SUCCESS);
    EXPECT_TRUE(SQL_SUCCEEDED(SQLExecDirect(stmt, (SQLCHAR*)"SELECT * FROM [sheet1$]", SQL_NTS)));
}

TEST_F(DriverCursor, EmptyResultIsAtItsEndAtOnce)
{
    writeFile(dir.file("e.xls"), buildWorkbookFile({SheetSpec{u"Sheet1", {u"only", u"headings"}, {}}}));
    OdbcClient c;
    ASSERT_TRUE(c.connectTo(dir.file("e.xls")));
    SQLHSTMT st = c.newStatement();
    SQLSetStmtAttr(st, SQL_ATTR_CURSOR_TYPE, reinterpret_cast<SQLPOINTER>(SQL_CURSOR_STATIC), 0);
    ASSERT_TRUE(SQL_SUCCEEDED(SQLExecDirect(st, (SQLCHAR*)"select * from [sheet1$]", SQL_NTS)));
    SQLSMALLINT cols = 0;
    SQLNumResultCols(st, &cols);
    EXPECT_EQ(cols, 2);
    EXPECT_EQ(SQLFetchScroll(st, SQL_FETCH_FIRST, 0), SQL_NO_DATA);
    EXPECT_EQ(SQLFetchScroll(st, SQL_FETCH_NEXT, 0), SQL_NO_DATA);
    SQLFreeHandle(SQL_HANDLE_STMT, st);
}

TEST_F(DriverCursor, GetDataHandsOutLongTextsPieceByPiece)
{
    std::string longText;
    for (int i = 0; i < 400; ++i)
        longText += (i % 2) ? "字" : "a";
    ASSERT_TRUE(client.exec("INSERT INTO [sheet1$] (n, text) VALUES (6, '" + longText + "')"));
    ASSERT_TRUE(SQL_SUCCEEDED(SQLExecDirect(stmt, (SQLCHAR*)"SELECT text, n FROM [sheet1$]", SQL_NTS)));
    for (int i = 0; i < 6; ++i)
        ASSERT_TRUE(SQL_SUCCEEDED(SQLFetch(stmt)));
    char piece[101];
    SQLLEN ind = 0;
    ASSERT_EQ(SQLGetData(stmt, 1, SQL_C_CHAR, piece, sizeof piece, &ind), SQL_SUCCESS_WITH_INFO);
    EXPECT_EQ(ind, static_cast<SQLLEN>(longText.size())); // the whole length first
    client.takeDiagnostics(SQL_HANDLE_STMT, stmt);
    EXPECT_EQ(client.lastState(), "01004");
    std::string whole = piece;
    SQLRETURN rc;
    while ((rc = SQLGetData(stmt, 1, SQL_C_CHAR, piece, sizeof piece, &ind)) != SQL_NO_DATA) {
        ASSERT_TRUE(SQL_SUCCEEDED(rc));
        EXPECT_EQ(ind, static_cast<SQLLEN>(longText.size() - whole.size())); // what is left
        whole += piece;
    }
    EXPECT_EQ(whole, longText);
    // Another column, then the text again from its start.
    SQLDOUBLE n = 0;
    ASSERT_EQ(SQLGetData(stmt, 2, SQL_C_DOUBLE, &n, 0, &ind), SQL_SUCCESS);
    EXPECT_EQ(n, 6.0);
    EXPECT_EQ(SQLGetData(stmt, 2, SQL_C_DOUBLE, &n, 0, &ind), SQL_NO_DATA);
    EXPECT_EQ(readText(stmt, 1, 7), longText);
}

TEST_F(DriverCursor, ConversionsThatCannotWorkAreErrors)
{
    ASSERT_TRUE(client.exec("INSERT INTO [sheet1$] (n, text) VALUES (70000, NULL)"));
    ASSERT_TRUE(SQL_SUCCEEDED(SQLExecDirect(stmt, (SQLCHAR*)"SELECT n, text FROM [sheet1$]", SQL_NTS)));
    ASSERT_TRUE(SQL_SUCCEEDED(SQLFetch(stmt)));
    SQLINTEGER i = 0;
    SQLLEN ind = 0;
    EXPECT_EQ(SQLGetData(stmt, 2, SQL_C_SLONG, &i, 0, &ind), SQL_ERROR); // "row 1" is no number
    client.takeDiagnostics(SQL_HANDLE_STMT, stmt);
    EXPECT_EQ(client.lastState(), "22018");
    for (int r = 0; r < 5; ++r)
        ASSERT_TRUE(SQL_SUCCEEDED(SQLFetch(stmt)));
    SQLSMALLINT small = 0;
    EXPECT_EQ(SQLGetData(stmt, 1, SQL_C_SSHORT, &small, 0, &ind), SQL_ERROR);
    client.takeDiagnostics(SQL_HANDLE_STMT, stmt);
    EXPECT_EQ(client.lastState(), "22003");
    char text[8];
    EXPECT_EQ(SQLGetData(stmt, 2, SQL_C_CHAR, text, sizeof text, nullptr), SQL_ERROR); // NULL without indicator
    client.takeDiagnostics(SQL_HANDLE_STMT, stmt);
    EXPECT_EQ(client.lastState(), "22002");
}

TEST_F(DriverCursor, RowsetsFillBoundArrays)
{
    SQLSetStmtAttr(stmt, SQL_ATTR_CURSOR_TYPE, reinterpret_cast<SQLPOINTER>(SQL_CURSOR_STATIC), 0);
    SQLSetStmtAttr(stmt, SQL_ATTR_ROW_ARRAY_SIZE, reinterpret_cast<SQLPOINTER>(3), 0);
    SQLULEN fetched = 0;
    SQLUSMALLINT status[3];
    SQLSetStmtAttr(stmt, SQL_ATTR_ROWS_FETCHED_PTR, &fetched, 0);
    SQLSetStmtAttr(stmt, SQL_ATTR_ROW_STATUS_PTR, status, 0);
    ASSERT_TRUE(SQL_SUCCEEDED(SQLExecDirect(stmt, (SQLCHAR*)"SELECT n, text FROM [sheet1$]", SQL_NTS)));
    double n[3];
    char text[3][16];
    SQLLEN nInd[3], textInd[3];
    SQLBindCol(stmt, 1, SQL_C_DOUBLE, n, 0, nInd);
    SQLBindCol(stmt, 2, SQL_C_CHAR, text, sizeof text[0], textInd);
    ASSERT_EQ(SQLFetchScroll(stmt, SQL_FETCH_NEXT, 0), SQL_SUCCESS);
    EXPECT_EQ(fetched, 3u);
    EXPECT_EQ(n[2], 3.0);
    EXPECT_STREQ(text[1], "row 2");
    ASSERT_EQ(SQLFetchScroll(stmt, SQL_FETCH_NEXT, 0), SQL_SUCCESS);
    EXPECT_EQ(fetched, 2u);
    EXPECT_EQ(n[0], 4.0);
    EXPECT_STREQ(text[1], "row 5");
    EXPECT_EQ(status[2], SQL_ROW_NOROW);
}

} // namespace
} // namespace qr::xls::testing
