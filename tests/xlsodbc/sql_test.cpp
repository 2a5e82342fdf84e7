// The statement parser: quoting, double-byte names, literals and what it rejects.
#include "xlsodbc/sql.h"

#include <gtest/gtest.h>

namespace qr::xls {
namespace {

SqlStatement parsed(const std::string& sql)
{
    SqlStatement st;
    std::string error;
    EXPECT_TRUE(parseSql(sql, st, error)) << sql << ": " << error;
    return st;
}

std::string rejected(const std::string& sql)
{
    SqlStatement st;
    std::string error;
    EXPECT_FALSE(parseSql(sql, st, error)) << sql;
    return error;
}

TEST(SqlParser, InsertAsTheExportWritesIt)
{
    const SqlStatement st = parsed("INSERT INTO `sheet1$` (`序号`,`姓名`,`乚乣`) VALUES ('1','O''Neil','[x]'',''y')");
    EXPECT_EQ(st.kind, SqlStatement::Kind::Insert);
    EXPECT_EQ(st.table, "sheet1$");
    EXPECT_EQ(st.columns, (std::vector<std::string>{"序号", "姓名", "乚乣"})); // trail bytes ']' and '`' inside names
    ASSERT_EQ(st.values.size(), 3u);
    EXPECT_EQ(st.values[1].text, "O'Neil");
    EXPECT_EQ(st.values[2].text, "[x]','y");
}

TEST(SqlParser, ValuesOfEveryKind)
{
    const SqlStatement st = parsed("insert into [Sheet 1$] values (-1.5e3, +7, .5, NULL, ?, 'a', ?);");
    EXPECT_TRUE(st.allColumns);
    EXPECT_EQ(st.table, "Sheet 1$");
    ASSERT_EQ(st.values.size(), 7u);
    EXPECT_EQ(st.values[0].number, -1500);
    EXPECT_EQ(st.values[1].number, 7);
    EXPECT_EQ(st.values[2].number, 0.5);
    EXPECT_EQ(st.values[3].kind, SqlValue::Kind::Null);
    EXPECT_EQ(st.values[4].parameter, 0);
    EXPECT_EQ(st.values[6].parameter, 1);
    EXPECT_EQ(st.parameterCount, 2);
}

TEST(SqlParser, SelectStarOrNamedColumns)
{
    EXPECT_TRUE(parsed("select * from [sheet1$]").allColumns);
    const SqlStatement st = parsed("SELECT 姓名, `身 高`, [a`b] FROM Sheet1$");
    EXPECT_EQ(st.columns, (std::vector<std::string>{"姓名", "身 高", "a`b"}));
    EXPECT_EQ(st.table, "Sheet1$");
}

TEST(SqlParser, RejectsWhatItDoesNotKnow)
{
    EXPECT_NE(rejected("INSERT INTO t (a) VALUES ('x").find("missing closing '"), std::string::npos);
    rejected("INSERT INTO t (a, b) VALUES ('x')");
    rejected("INSERT INTO t (a) VALUES ('x') extra");
    rejected("SELECT * FROM [t$");
    rejected("SELECT FROM t");
    rejected("SELECT * FROM []");
    rejected("UPDATE t SET a = 1");
    rejected("INSERT INTO t (a) VALUES (12abc)");
    rejected("");
}

} // namespace
} // namespace qr::xls
