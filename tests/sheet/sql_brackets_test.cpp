#include "sheet/sql_brackets.h"

#include <gtest/gtest.h>

namespace qr::sheet {
namespace {

TEST(ReplaceBrackets, SingleBracketsOutsideLiteralsBecomeTheQuoteCharacter)
{
    EXPECT_EQ(replaceBrackets("select * from [sheet1$]", '`'), "select * from `sheet1$`");
    EXPECT_EQ(replaceBrackets("INSERT INTO [t] ([序号],[姓名])", '"'), "INSERT INTO \"t\" (\"序号\",\"姓名\")");
}

TEST(ReplaceBrackets, DoubledBracketsOutsideLiteralsBecomeOneBracket)
{
    EXPECT_EQ(replaceBrackets("select [[a]] from t", '"'), "select [a] from t");
    // Three in a row: a doubled one, then a single one.
    EXPECT_EQ(replaceBrackets("[[[x]]]", '"'), "[\"x]\"");
}

TEST(ReplaceBrackets, LiteralsAreCopiedUnchangedWithTheirDoubledQuotes)
{
    EXPECT_EQ(replaceBrackets("VALUES ('[a] it''s [[b]]',[c])", '"'), "VALUES ('[a] it''s [[b]]',\"c\")");
    EXPECT_EQ(replaceBrackets("'''[x]''' [y]", '"'), "'''[x]''' \"y\"");
    EXPECT_EQ(replaceBrackets("'' [y]", '"'), "'' \"y\"");
    // An unterminated literal runs to the end of the text.
    EXPECT_EQ(replaceBrackets("values ('[open", '"'), "values ('[open");
}

TEST(ReplaceBrackets, DoubleByteCharactersAreNeverSplit)
{
    // GBK characters whose trail bytes are '[' (0x5B), ']' (0x5D) and '\'' is impossible
    // as a trail byte, so only the brackets matter here.
    const std::string gbk = "\x81\x5B\x81\x5D";
    EXPECT_EQ(replaceBrackets("[" + gbk + "]", '"'), "\"" + gbk + "\"");
    EXPECT_EQ(replaceBrackets(gbk + "[[", '"'), gbk + "[");
    // A lead byte at the very end is copied as it is.
    EXPECT_EQ(replaceBrackets("[a]\x81", '"'), "\"a\"\x81");
}

TEST(ReplaceBrackets, TextEndsAtItsFirstNul)
{
    const std::string withNul("select 1\0 junk", 14);
    EXPECT_EQ(upToFirstNul(withNul), "select 1");
    EXPECT_EQ(upToFirstNul("no nul"), "no nul");
}

} // namespace
} // namespace qr::sheet
