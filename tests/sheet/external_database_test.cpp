// The component against a real third-party driver: Debian's SQLite ODBC driver
// through unixODBC. Fixtures are built and checked with SQLite directly.
#include "sheet/external_database.h"

#include "odbc_test_setup.h"

#include <gtest/gtest.h>

#include <set>
#include <string>

namespace qr::sheet {
namespace {

using runtime::Kind;
using runtime::Value;
using test::sqliteConnect;
using test::sqliteExec;
using test::sqliteScalar;

class SqliteDatabaseTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        database = dir.file("roster.db");
        sqliteExec(database, "CREATE TABLE t (序号 INTEGER, 姓名 VARCHAR(20), 身高 DOUBLE, 照片 BLOB);"
                             "INSERT INTO t VALUES (1, '张三', 170, NULL);"
                             "INSERT INTO t VALUES (2, '李四', 45.5, NULL);"
                             "INSERT INTO t VALUES (3, 'O''Brien', NULL, X'00FF10');");
        ASSERT_TRUE(db.NewOpenDatabase(sqliteConnect(database)));
    }

    test::TempDir dir;
    std::filesystem::path database;
    ExternalDatabase db;
};

TEST_F(SqliteDatabaseTest, SnapshotStartsOnTheFirstRowAndWalksInOrder)
{
    const auto h = db.OpenTable("select * from [t] order by [序号]");
    ASSERT_NE(h, 0);
    EXPECT_EQ(db.BDGetRecCount(h), 3); // every row fetched once on open...
    EXPECT_FALSE(db.IsEOF(h));         // ...and back on the first
    std::vector<Value> names;
    for (db.MoveFirst(h); !db.IsEOF(h); db.MoveNext(h))
        names.push_back(db.ReadColByName(h, "姓名"));
    EXPECT_EQ(names, (std::vector<Value>{Value::text("张三"), Value::text("李四"), Value::text("O'Brien")}));

    // Past the end: reads are empty and further moves stay there.
    EXPECT_EQ(db.ReadColByName(h, "姓名"), Value::text(""));
    EXPECT_EQ(db.ReadColByIndex(h, 1), Value::text(""));
    db.MoveNext(h);
    EXPECT_TRUE(db.IsEOF(h));

    db.MoveFirst(h);
    EXPECT_EQ(db.ReadColByIndex(h, 1), Value::integer(1));
    db.MoveLast(h);
    EXPECT_EQ(db.ReadColByIndex(h, 1), Value::integer(3));
    db.MovePrev(h);
    EXPECT_EQ(db.ReadColByIndex(h, 1), Value::integer(2));
    db.MovePrev(h);
    db.MovePrev(h);
    EXPECT_TRUE(db.IsBOF(h));
    EXPECT_EQ(db.ReadColByIndex(h, 1), Value::text(""));
    db.MoveNext(h); // from before the first row onto it
    EXPECT_EQ(db.ReadColByIndex(h, 1), Value::integer(1));
}

TEST_F(SqliteDatabaseTest, TypedCellsAndRepeatedReads)
{
    const auto h = db.OpenTable("select * from [t] order by [序号]");
    ASSERT_NE(h, 0);
    EXPECT_EQ(db.ReadColByName(h, "身高"), Value::doubleFloat(170.0));
    EXPECT_EQ(db.ReadColByName(h, "身高"), Value::doubleFloat(170.0)); // the same cell twice
    EXPECT_EQ(db.ReadColByName(h, "照片"), Value::byteSet({}));        // a NULL binary cell
    db.MoveNext(h);
    db.MoveNext(h);
    EXPECT_EQ(db.ReadColByName(h, "身高"), Value::doubleFloat(0.0)); // a NULL number reads as 0
    const Value photo = Value::byteSet({0x00, 0xFF, 0x10});
    EXPECT_EQ(db.ReadColByName(h, "照片"), photo);
    EXPECT_EQ(db.ReadColByName(h, "照片"), photo);
}

TEST_F(SqliteDatabaseTest, EmptyQueryAndHandleZero)
{
    EXPECT_EQ(db.OpenTable(""), 0);
    EXPECT_TRUE(db.IsEOF(0));
    EXPECT_EQ(db.ReadColByName(0, "姓名"), Value::text(""));
    db.MoveNext(0);
    db.MoveFirst(0);
    EXPECT_FALSE(db.CloseTable(0));
}

TEST_F(SqliteDatabaseTest, QueryWithoutRowsIsAtEofAtOnce)
{
    const auto h = db.OpenTable("select * from [t] where [序号] > 100");
    ASSERT_NE(h, 0);
    EXPECT_TRUE(db.IsEOF(h));
    EXPECT_TRUE(db.IsBOF(h));
    EXPECT_EQ(db.BDGetRecCount(h), 0);
    EXPECT_EQ(db.BDGetColCount(h), 4);
    EXPECT_EQ(db.BDGetColName(h, 2), "姓名");
    db.MoveFirst(h);
    db.MoveNext(h);
    EXPECT_TRUE(db.IsEOF(h));
    EXPECT_EQ(db.ReadColByName(h, "姓名"), Value::text(""));
}

TEST_F(SqliteDatabaseTest, RejectedQueriesReturnZeroAndHoldNoSlot)
{
    for (int i = 0; i < 35; ++i) {
        EXPECT_EQ(db.OpenTable("select * from [missing]"), 0);
        EXPECT_EQ(db.OpenTable("select nosuchfunction([序号]) from [t]"), 0);
        EXPECT_EQ(db.OpenTable("create table u (a)"), 0); // runs, but gives no result set
    }
    EXPECT_NE(db.OpenTable("select * from [t]"), 0);
}

TEST_F(SqliteDatabaseTest, ThirtyFirstResultSetFailsWhileTheOthersStayOpen)
{
    std::vector<std::int32_t> handles;
    for (int i = 0; i < 30; ++i)
        handles.push_back(db.OpenTable("select * from [t] order by [序号]"));
    EXPECT_EQ(std::set<std::int32_t>(handles.begin(), handles.end()).size(), 30u);
    EXPECT_EQ(std::count(handles.begin(), handles.end(), 0), 0);

    EXPECT_EQ(db.OpenTable("select * from [t]"), 0);
    for (auto h : handles) {
        db.MoveNext(h);
        EXPECT_EQ(db.ReadColByName(h, "序号"), Value::integer(2));
    }
    // Closing one frees its slot for the next query; its handle is then unknown.
    EXPECT_TRUE(db.CloseTable(handles[7]));
    EXPECT_TRUE(db.IsEOF(handles[7]));
    const auto again = db.OpenTable("select * from [t]");
    EXPECT_NE(again, 0);
    EXPECT_NE(again, handles[7]);
    EXPECT_TRUE(db.CloseTable());
    EXPECT_TRUE(db.IsEOF(again));
}

TEST_F(SqliteDatabaseTest, ColumnNamesMatchExactlyAndCaseSensitively)
{
    const auto h = db.OpenTable("select 1 as [Height], 2 as [监护1关系], 3 as [x], 4 as [x], 5 as [ab]");
    ASSERT_NE(h, 0);
    EXPECT_EQ(db.ReadColByName(h, "Height"), Value::integer(1));
    EXPECT_EQ(db.ReadColByName(h, "height"), Value::text(""));
    EXPECT_EQ(db.ReadColByName(h, "HEIGHT"), Value::text(""));
    EXPECT_EQ(db.ReadColByName(h, "监护1关系"), Value::integer(2));
    EXPECT_EQ(db.ReadColByName(h, "监护人1关系"), Value::text(""));
    EXPECT_EQ(db.ReadColByName(h, "x"), Value::integer(3)); // the first of equal names
    EXPECT_EQ(db.ReadColByName(h, "a"), Value::text(""));   // no prefix matches
    EXPECT_EQ(db.ReadColByName(h, "ab "), Value::text(""));
    EXPECT_EQ(db.ReadColByName(h, ""), Value::text(""));
    EXPECT_EQ(db.ReadColByName(h, std::string("Height\0junk", 11)), Value::integer(1)); // ends at its NUL
}

TEST_F(SqliteDatabaseTest, ColumnNumbersAreOneBased)
{
    const auto h = db.OpenTable("select [序号], [姓名] from [t] order by [序号]");
    ASSERT_NE(h, 0);
    EXPECT_EQ(db.ReadColByIndex(h, 1), Value::integer(1));
    EXPECT_EQ(db.ReadColByIndex(h, Value::doubleFloat(2.7)), Value::text("张三"));
    EXPECT_EQ(db.ReadColByIndex(h, Value::byte(2)), Value::text("张三"));
    EXPECT_EQ(db.ReadColByIndex(h, 0), Value::text(""));
    EXPECT_EQ(db.ReadColByIndex(h, 3), Value::text(""));
    EXPECT_EQ(db.ReadColByIndex(h, -1), Value::text(""));
    EXPECT_EQ(db.ReadColByIndex(h, Value::doubleFloat(1e12)), Value::text(""));
}

TEST_F(SqliteDatabaseTest, BracketsInsideLiteralsReachTheDriverUnchanged)
{
    ASSERT_TRUE(db.ExecuteSql("INSERT INTO [t] ([序号],[姓名]) VALUES (4,'[班长] it''s [[me]]')"));
    EXPECT_EQ(sqliteScalar(database, "SELECT 姓名 FROM t WHERE 序号 = 4"), "[班长] it's [[me]]");
    // Outside literals a doubled bracket reaches the driver as one bracket, which
    // this driver also takes as identifier quoting; passed on doubled it would
    // be a syntax error.
    const auto h = db.OpenTable("select [[姓名]] from [t] where [序号] = 4");
    ASSERT_NE(h, 0);
    EXPECT_EQ(db.ReadColByIndex(h, 1), Value::text("[班长] it's [[me]]"));
}

TEST_F(SqliteDatabaseTest, ParametersBindTextsAndByteSetsInOrder)
{
    const Value photo = Value::byteSet({0x89, 'P', 'N', 'G', 0x00, 0x1A, 0x00});
    ASSERT_TRUE(db.ExecuteSql("INSERT INTO t (序号, 姓名, 照片) VALUES (10, ?, ?)", {Value::text("王小明"), photo}));
    // Values of other kinds are skipped: the text after one takes the next marker.
    ASSERT_TRUE(db.ExecuteSql("INSERT INTO t (序号, 姓名) VALUES (11, ?)", {Value::integer(5), Value::text("赵六")}));
    // A text ends at its first NUL; an empty byte set is a zero-length value, not NULL.
    ASSERT_TRUE(db.ExecuteSql("INSERT INTO t (序号, 姓名, 照片) VALUES (12, ?, ?)",
                              {Value::text(std::string("ab\0cd", 5)), Value::byteSet({})}));

    EXPECT_EQ(sqliteScalar(database, "SELECT 姓名 FROM t WHERE 序号 = 11"), "赵六");
    EXPECT_EQ(sqliteScalar(database, "SELECT 姓名 FROM t WHERE 序号 = 12"), "ab");
    EXPECT_EQ(sqliteScalar(database, "SELECT length(照片) FROM t WHERE 序号 = 12"), "0");
    EXPECT_EQ(sqliteScalar(database, "SELECT typeof(照片) FROM t WHERE 序号 = 12"), "blob");

    const auto h = db.OpenTable("select [姓名], [照片] from [t] where [序号] = 10");
    ASSERT_NE(h, 0);
    EXPECT_EQ(db.ReadColByIndex(h, 1), Value::text("王小明"));
    EXPECT_EQ(db.ReadColByIndex(h, 2), photo);
}

TEST_F(SqliteDatabaseTest, ExecuteSqlFailures)
{
    EXPECT_FALSE(db.ExecuteSql(""));
    EXPECT_FALSE(db.ExecuteSql("INSERT INTO [missing] VALUES (1)"));
    EXPECT_FALSE(db.ExecuteSql("THIS IS NOT SQL"));
    EXPECT_FALSE(db.ExecuteSql("INSERT INTO t (序号) VALUES (1 +"));
    // A query runs through ExecuteSql too; its rows are fetched and dropped.
    EXPECT_TRUE(db.ExecuteSql("select * from t"));
    EXPECT_TRUE(db.ExecuteSql("delete from t where 序号 > 100")); // no row affected is no error
    EXPECT_EQ(sqliteScalar(database, "SELECT count(*) FROM t"), "3");
}

TEST_F(SqliteDatabaseTest, LongTextsInUnboundColumnsArriveWhole)
{
    sqliteExec(database, "CREATE TABLE notes (n INTEGER, body TEXT)");
    std::string body;
    for (int i = 0; body.size() < 20000; ++i)
        body += "第" + std::to_string(i) + "行;";
    ASSERT_TRUE(db.ExecuteSql("INSERT INTO notes VALUES (1, ?)", {Value::text(body)}));
    const auto h = db.OpenTable("select * from notes");
    ASSERT_NE(h, 0);
    EXPECT_EQ(db.BDGetColSQLType(h, 2), -1); // long text: left out of the bound buffers
    EXPECT_EQ(db.BDGetColText(h, 2), "");
    EXPECT_EQ(db.ReadColByName(h, "body"), Value::text(body));
    EXPECT_EQ(db.ReadColByName(h, "body"), Value::text(body));
}

TEST_F(SqliteDatabaseTest, SnapshotKeepsItsRowsUntilRequeried)
{
    const auto h = db.OpenTable("select * from [t] order by [序号] desc");
    ASSERT_NE(h, 0);
    db.MoveNext(h);
    ASSERT_TRUE(db.ExecuteSql("INSERT INTO t (序号, 姓名) VALUES (9, '新生')"));
    EXPECT_EQ(db.BDGetRecCount(h), 3);
    EXPECT_EQ(db.ReadColByIndex(h, 1), Value::integer(2));
    ASSERT_TRUE(db.Requery(h));
    EXPECT_EQ(db.BDGetRecCount(h), 4);
    EXPECT_EQ(db.ReadColByName(h, "姓名"), Value::text("新生")); // back on the first row

    // A query that no longer runs leaves the result set without rows.
    sqliteExec(database, "DROP TABLE t");
    EXPECT_FALSE(db.Requery(h));
    EXPECT_TRUE(db.IsEOF(h));
    EXPECT_EQ(db.ReadColByIndex(h, 1), Value::text(""));
}

TEST_F(SqliteDatabaseTest, TransactionsCommitOrRollBack)
{
    ASSERT_TRUE(db.BeginTrans());
    ASSERT_TRUE(db.ExecuteSql("INSERT INTO t (序号) VALUES (20)"));
    ASSERT_TRUE(db.RollbackTrans());
    EXPECT_EQ(sqliteScalar(database, "SELECT count(*) FROM t WHERE 序号 = 20"), "0");
    ASSERT_TRUE(db.BeginTrans());
    ASSERT_TRUE(db.ExecuteSql("INSERT INTO t (序号) VALUES (21)"));
    ASSERT_TRUE(db.CommitTrans());
    EXPECT_EQ(sqliteScalar(database, "SELECT count(*) FROM t WHERE 序号 = 21"), "1");
    EXPECT_FALSE(db.CommitTrans()); // no transaction open
}

class SqliteTypesTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        database = dir.file("types.db");
        sqliteExec(database, "CREATE TABLE ty (id INTEGER, a TINYINT, b SMALLINT, c INTEGER, d DOUBLE, e FLOAT, g BIT, "
                             "h CHAR(4), i NUMERIC, j DECIMAL(10,2), k VARCHAR(20), l TEXT, m BIGINT, n DATE, o TIME, "
                             "p TIMESTAMP, q BLOB, r VARBINARY(10));"
                             "INSERT INTO ty (id) VALUES (1);"
                             "INSERT INTO ty (id, a) VALUES (3, 200);"
                             "INSERT INTO ty (id, n, p) VALUES (4, 'someday', 'later');"
                             "INSERT INTO ty VALUES (2, 7, -3, 123456, 45.5, 0.1, 1, 'ab', 12.5, '3.25', '王', 'long', "
                             "9007199254740993, '2017-09-01', '06:00:00', '2017-09-01 12:00:00', X'0001', X'FF');");
        ASSERT_TRUE(db.NewOpenDatabase(sqliteConnect(database)));
    }

    Value cell(std::int32_t h, const char* column) { return db.ReadColByName(h, column); }

    test::TempDir dir;
    std::filesystem::path database;
    ExternalDatabase db;
};

TEST_F(SqliteTypesTest, NullCellsOfEveryTypeComeFromTheBoundText)
{
    const auto h = db.OpenTable("select * from ty where id = 1");
    ASSERT_NE(h, 0);
    EXPECT_EQ(cell(h, "a"), Value::byte(0));
    EXPECT_EQ(cell(h, "b"), Value::shortInt(0));
    EXPECT_EQ(cell(h, "c"), Value::integer(0));
    EXPECT_EQ(cell(h, "d"), Value::doubleFloat(0.0));
    EXPECT_EQ(cell(h, "e"), Value::doubleFloat(0.0));
    EXPECT_EQ(cell(h, "g"), Value::logical(false));
    EXPECT_EQ(cell(h, "i"), Value::doubleFloat(0.0)); // this driver reports NUMERIC as SQL_DOUBLE
    for (const char* text : {"h", "j", "k", "l", "m", "n", "o", "p"})
        EXPECT_EQ(cell(h, text), Value::text("")) << text;
    EXPECT_EQ(cell(h, "q"), Value::byteSet({}));
    EXPECT_EQ(cell(h, "r"), Value::byteSet({}));
}

TEST_F(SqliteTypesTest, ValuesTakeTheKindOfTheirSqlType)
{
    const auto h = db.OpenTable("select * from ty where id = 2");
    ASSERT_NE(h, 0);
    EXPECT_EQ(cell(h, "a"), Value::byte(7));
    EXPECT_EQ(cell(h, "b"), Value::shortInt(-3));
    EXPECT_EQ(cell(h, "c"), Value::integer(123456));
    EXPECT_EQ(cell(h, "d"), Value::doubleFloat(45.5));
    EXPECT_EQ(cell(h, "e"), Value::doubleFloat(0.1));
    EXPECT_EQ(cell(h, "g"), Value::logical(true));
    EXPECT_EQ(cell(h, "h"), Value::text("ab"));
    EXPECT_EQ(cell(h, "i"), Value::doubleFloat(12.5));
    EXPECT_EQ(cell(h, "j"), Value::text("3.25")); // DECIMAL arrives as text
    EXPECT_EQ(cell(h, "k"), Value::text("王"));
    EXPECT_EQ(cell(h, "l"), Value::text("long"));
    EXPECT_EQ(cell(h, "m"), Value::text("9007199254740993")); // big integers stay exact as text
    EXPECT_EQ(cell(h, "n"), Value::dateTime(42979.0));
    EXPECT_EQ(cell(h, "o"), Value::dateTime(0.25));
    EXPECT_EQ(cell(h, "p"), Value::dateTime(42979.5));
    EXPECT_EQ(cell(h, "q"), Value::byteSet({0x00, 0x01}));
    EXPECT_EQ(cell(h, "r"), Value::byteSet({0xFF}));
    EXPECT_EQ(db.BDGetColText(h, 5), "45.5");
}

TEST_F(SqliteTypesTest, TinyIntegersAboveTheSignedRangeStayBytes)
{
    const auto h = db.OpenTable("select a from ty where id = 3");
    ASSERT_NE(h, 0);
    EXPECT_EQ(cell(h, "a"), Value::byte(200));
}

TEST_F(SqliteTypesTest, CellsTheDriverCannotConvertComeFromTheBoundText)
{
    const auto h = db.OpenTable("select n, p from ty where id = 4");
    ASSERT_NE(h, 0);
    EXPECT_EQ(db.ReadColByIndex(h, 1), Value::text("someday"));
    EXPECT_EQ(db.ReadColByIndex(h, 2), Value::text("later"));
}

TEST(OdbcConnect, FailedConnectsKeepNothing)
{
    ExternalDatabase db;
    EXPECT_FALSE(db.NewOpenDatabase("ODBC;DRIVER={No Such Driver};DBQ=/nowhere.xls;"));
    EXPECT_FALSE(db.NewOpenDatabase("DSN=NoSuchDsn", false, true));
    // No string and no dialog allowed: nothing can connect.
    EXPECT_FALSE(db.NewOpenDatabase("", false, true));
    // Asking the user needs a window to own the dialog; without one it fails.
    EXPECT_FALSE(db.NewOpenDatabase(""));
    EXPECT_FALSE(db.isConnected());
    EXPECT_EQ(db.OpenTable("select 1"), 0);
    EXPECT_FALSE(db.ExecuteSql("select 1"));
    EXPECT_EQ(db.GetConnectString(), "");
    db.CloseDatabase();
}

TEST(OdbcConnect, ReplacingAConnectionClosesTheOldOneAndItsResultSets)
{
    test::TempDir dir;
    const std::filesystem::path first = dir.file("first.db");
    const std::filesystem::path second = dir.file("second.db");
    sqliteExec(first, "CREATE TABLE t (v VARCHAR(10)); INSERT INTO t VALUES ('first');");
    sqliteExec(second, "CREATE TABLE t (v VARCHAR(10)); INSERT INTO t VALUES ('second');");

    ExternalDatabase db;
    ASSERT_TRUE(db.NewOpenDatabase(sqliteConnect(first)));
    const auto old = db.OpenTable("select v from t");
    ASSERT_NE(old, 0);

    // A failed open keeps the connection and its result sets.
    EXPECT_FALSE(db.NewOpenDatabase("DRIVER={No Such Driver};"));
    EXPECT_EQ(db.ReadColByIndex(old, 1), Value::text("first"));

    ASSERT_TRUE(db.NewOpenDatabase(sqliteConnect(second)));
    EXPECT_TRUE(db.IsEOF(old));
    EXPECT_EQ(db.ReadColByIndex(old, 1), Value::text(""));
    const auto now = db.OpenTable("select v from t");
    ASSERT_NE(now, 0);
    EXPECT_NE(now, old);
    EXPECT_EQ(db.ReadColByIndex(now, 1), Value::text("second"));

    db.CloseDatabase();
    db.CloseDatabase();
    EXPECT_TRUE(db.IsEOF(now));
    EXPECT_EQ(db.ReadColByIndex(now, 1), Value::text(""));
    EXPECT_EQ(db.OpenTable("select v from t"), 0);
}

TEST(OdbcConnect, PrefixAndDataSourceNames)
{
    sqliteExec(test::dsnDatabasePath(),
               "CREATE TABLE IF NOT EXISTS d (v INTEGER); DELETE FROM d; INSERT INTO d VALUES (9);");
    ExternalDatabase db;
    ASSERT_TRUE(db.NewOpenDatabase("odbc;DSN=QrSqlite;"));
    EXPECT_EQ(db.GetConnectString().rfind("ODBC;", 0), 0u);
    const auto h = db.OpenTable("select v from d");
    ASSERT_NE(h, 0);
    EXPECT_EQ(db.ReadColByIndex(h, 1), Value::integer(9));
}

} // namespace
} // namespace qr::sheet
