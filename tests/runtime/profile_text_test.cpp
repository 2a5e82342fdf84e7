#include "runtime/profile_text.h"

#include <gtest/gtest.h>

namespace qr::runtime::profile {
namespace {

std::string set(std::string_view content, std::string_view section, std::string_view key, std::string_view value)
{
    return edit(content, section, key, value).value_or("<refused>");
}

TEST(ProfileLookup, NamesMatchWithoutAsciiCaseButDoubleByteCharactersExactly)
{
    const std::string content = "[SeCtIoN]\nKeY=1\n[\x81\x41]\nk=2\n";
    EXPECT_EQ(lookup(content, "section", "key"), "1");
    EXPECT_EQ(lookup(content, "SECTION", "KEY"), "1");
    EXPECT_EQ(lookup(content, "\x81\x41", "K"), "2");
    // 0x81 0x61 is another character, though its trailing byte is "a" to A's "A".
    EXPECT_EQ(lookup(content, "\x81\x61", "k"), std::nullopt);
    EXPECT_TRUE(sameName("  学校班级\t", "学校班级"));
}

TEST(ProfileLookup, ABracketAsTrailingByteDoesNotCloseTheHeader)
{
    // 0x81 0x5D is one character whose trailing byte is "]".
    const std::string name = "\x81\x5D"
                             "x";
    const std::string content = set("", name, "k", "v");
    EXPECT_EQ(content, "[" + name + "]\r\nk=v\r\n");
    EXPECT_EQ(lookup(content, name, "k"), "v");
    EXPECT_EQ(lookup("[\x81]x]\nk=v\n", "\x81]x", "k"), "v");
}

TEST(ProfileLookup, HeadersKeysAndValuesLoseSurroundingBlanks)
{
    const std::string content = "  [ 学校班级 ]  \n\t date \t=  Tarnfield初中2017级1班 \t\n";
    EXPECT_EQ(lookup(content, "学校班级", "date"), "Tarnfield初中2017级1班");
}

TEST(ProfileLookup, OneMatchingPairOfQuotesIsStripped)
{
    const std::string content = "[q]\n"
                                "a=\" inner blanks \"\n"
                                "b='single'\n"
                                "c=\"unbalanced\n"
                                "d=\"a\"b\"\n"
                                "e=\"mixed'\n"
                                "f=\"\"\n"
                                "g=\"\n";
    EXPECT_EQ(lookup(content, "q", "a"), " inner blanks ");
    EXPECT_EQ(lookup(content, "q", "b"), "single");
    EXPECT_EQ(lookup(content, "q", "c"), "\"unbalanced");
    EXPECT_EQ(lookup(content, "q", "d"), "a\"b");
    EXPECT_EQ(lookup(content, "q", "e"), "\"mixed'");
    EXPECT_EQ(lookup(content, "q", "f"), "");
    EXPECT_EQ(lookup(content, "q", "g"), "\"");
}

TEST(ProfileLookup, LinesThatAreNoKeys)
{
    const std::string content = "orphan=0\n"
                                "[s]\n"
                                "; k=comment\n"
                                "  ;k=indented comment\n"
                                "just words\n"
                                "=no key\n"
                                "[broken\n"
                                "k=found\n";
    EXPECT_EQ(lookup(content, "s", "k"), "found");
    EXPECT_EQ(lookup(content, "s", "orphan"), std::nullopt);
    EXPECT_EQ(lookup(content, "s", "; k"), std::nullopt);
    EXPECT_EQ(lookup(content, "broken", "k"), std::nullopt);
}

TEST(ProfileEdit, ReplacesAKeyInPlaceKeepingEveryOtherByte)
{
    const std::string crlf = "; top\r\n[学校班级]\r\nDate = old \r\nk2=v\r\n\r\n[other]\r\ndate=z\r\n";
    EXPECT_EQ(set(crlf, "学校班级", "date", "new"),
              "; top\r\n[学校班级]\r\nDate=new\r\nk2=v\r\n\r\n[other]\r\ndate=z\r\n");
    // Only the first of duplicate keys is the key; the copy stays shadowed.
    EXPECT_EQ(set("[a]\nx=1\nx=2", "A", "X", "3"), "[a]\nx=3\nx=2");
}

TEST(ProfileEdit, AppendsAMissingKeyAtTheEndOfItsSection)
{
    EXPECT_EQ(set("[a]\nx=1\n\n; b follows\n[b]\ny=2\n", "a", "z", "3"), "[a]\nx=1\n\n; b follows\nz=3\n[b]\ny=2\n");
    EXPECT_EQ(set("[a]\nx=1\n\n[b]\ny=2\n", "a", "z", "3"), "[a]\nx=1\nz=3\n\n[b]\ny=2\n");
    EXPECT_EQ(set("[a]\r\n\r\n[b]\r\n", "a", "z", "3"), "[a]\r\nz=3\r\n\r\n[b]\r\n");
    // The section that appears twice gets the key in its first occurrence.
    EXPECT_EQ(set("[a]\nx=1\n[b]\n[a]\ny=2\n", "a", "y", "3"), "[a]\nx=1\ny=3\n[b]\n[a]\ny=2\n");
}

TEST(ProfileEdit, AppendsAMissingSectionAndKeepsTheFinalLineBreakAsItWas)
{
    EXPECT_EQ(set("", "学校班级", "date", "1班"), "[学校班级]\r\ndate=1班\r\n");
    EXPECT_EQ(set("[a]\nx=1\n", "b", "y", "2"), "[a]\nx=1\n[b]\ny=2\n");
    EXPECT_EQ(set("[a]\nx=1", "b", "y", "2"), "[a]\nx=1\n[b]\ny=2");
    EXPECT_EQ(set("[a]\r\nx=1", "a", "y", "2"), "[a]\r\nx=1\r\ny=2");
    EXPECT_EQ(set("[a]", "a", "y", "2"), "[a]\r\ny=2");
}

TEST(ProfileEdit, DeletesEveryLineOfAKeyInTheSection)
{
    EXPECT_EQ(edit("[a]\nx=1\ny=2\nX=3\n[b]\nx=4\n", "a", "x", std::nullopt), "[a]\ny=2\n[b]\nx=4\n");
    EXPECT_EQ(edit("[a]\r\ny=2\r\nx=1", "a", "x", std::nullopt), "[a]\r\ny=2");
    EXPECT_EQ(edit("[a]\ny=2\n", "a", "x", std::nullopt), "[a]\ny=2\n");
    EXPECT_EQ(edit("[a]\ny=2\n", "b", "x", std::nullopt), "[a]\ny=2\n");
}

TEST(ProfileEdit, DeletesEveryOccurrenceOfASection)
{
    EXPECT_EQ(edit("; keep\n[a]\nx=1\n; a's note\n[b]\ny=2\n[A]\nz=3\n", "a", std::nullopt, std::nullopt),
              "; keep\n[b]\ny=2\n");
    EXPECT_EQ(edit("[b]\ny=2\n[a]\nz=3", "a", std::nullopt, std::nullopt), "[b]\ny=2");
    EXPECT_EQ(edit("[a]\nz=3\n", "a", std::nullopt, std::nullopt), "");
}

TEST(ProfileEdit, RefusesTextsThatWouldCorruptTheFile)
{
    EXPECT_EQ(edit("", "a", "k", "line\r\n[evil]"), std::nullopt);
    EXPECT_EQ(edit("", "a", "k\nx", "v"), std::nullopt);
    EXPECT_EQ(edit("", "a]", "k", "v"), std::nullopt);
    EXPECT_EQ(edit("", "a", "k=x", "v"), std::nullopt);
    EXPECT_EQ(edit("", "a", ";k", "v"), std::nullopt);
    EXPECT_EQ(edit("", "a", "[k", "v"), std::nullopt);
    EXPECT_EQ(edit("", "a", "", "v"), std::nullopt);
    EXPECT_EQ(edit("", " ", "k", "v"), std::nullopt);
    // Values may hold anything else, "=" and ";" included.
    EXPECT_EQ(set("", "a", "k", "x=y;z"), "[a]\r\nk=x=y;z\r\n");
}

} // namespace
} // namespace qr::runtime::profile
