#include "runtime/text_search.h"

#include <gtest/gtest.h>

namespace qr::runtime {
namespace {

// "丂" is 0x81 0x41: its trailing byte is the letter "A". "乤" is 0x81 0x61 ("a").
const std::string kTrailA = "\x81\x41";
const std::string kTrailLowerA = "\x81\x61";

TEST(LeftText, CountsBytesAndMaySplitACharacter)
{
    EXPECT_EQ(leftText("中文", 3), "\xD6\xD0\xCE");
    EXPECT_EQ(leftText("中文", 4), "中文");
    EXPECT_EQ(leftText("中文", 100), "中文");
    EXPECT_EQ(leftText("中文", 0), "");
    EXPECT_EQ(leftText("中文", -3), "");
    EXPECT_EQ(leftText("", 2), "");
}

TEST(FindText, PositionsAreOneBasedAndRespectTheStart)
{
    EXPECT_EQ(findText("abcabc", "abc"), 1);
    EXPECT_EQ(findText("abcabc", "abc", 2), 4);
    EXPECT_EQ(findText("abcabc", "abc", 4), 4);
    EXPECT_EQ(findText("abcabc", "abc", 5), -1);
    EXPECT_EQ(findText("abc", "c", 3), 3);
    EXPECT_EQ(findText("abc", "c", 4), -1);
    EXPECT_EQ(findText("abc", "a", 0), 1);
    EXPECT_EQ(findText("abc", "a", -9), 1);
    EXPECT_EQ(findText("abc", "abcd"), -1);
    EXPECT_EQ(findText("学校班级", "班级"), 5);
}

TEST(FindText, NeverMatchesFromATrailingByte)
{
    EXPECT_EQ(findText(kTrailA + "A", "A"), 3);
    EXPECT_EQ(findText(kTrailA, "A"), -1);
    // "中中" is D6 D0 D6 D0; "兄" is D0 D6 and straddles the two characters.
    EXPECT_EQ(findText("中中", "兄"), -1);
    EXPECT_EQ(findTextBackwards("中中", "兄"), -1);
    // A start inside a character moves on to the next character.
    EXPECT_EQ(findText("中中", "中", 2), 3);
    EXPECT_EQ(findTextBackwards("A" + kTrailA, "A"), 1);
}

TEST(FindText, IgnoreCaseFoldsOnlyAsciiLetters)
{
    EXPECT_EQ(findText("Hello World", "WORLD"), -1);
    EXPECT_EQ(findText("Hello World", "WORLD", std::nullopt, true), 7);
    EXPECT_EQ(findText(kTrailA + "a", "A", std::nullopt, true), 3);
    // The trailing bytes "A" and "a" name different characters: no folding there.
    EXPECT_EQ(findText(kTrailLowerA, kTrailA, std::nullopt, true), -1);
    EXPECT_EQ(findText("x" + kTrailA + "Y", kTrailA + "y", std::nullopt, true), 2);
    EXPECT_EQ(findTextBackwards(kTrailLowerA + kTrailA, kTrailA, std::nullopt, true), 3);
}

TEST(FindText, EmptySoughtTextDependsOnTheSearchedRange)
{
    EXPECT_EQ(findText("abc", ""), 1);
    EXPECT_EQ(findText("abc", "", 3), 1);
    EXPECT_EQ(findText("abc", "", 4), -1);
    EXPECT_EQ(findText("", ""), -1);
    EXPECT_EQ(findText("", "a"), -1);
    EXPECT_EQ(findTextBackwards("abc", ""), 1);
    EXPECT_EQ(findTextBackwards("abc", "", 0), -1);
    EXPECT_EQ(findTextBackwards("", ""), -1);
}

TEST(FindTextBackwards, FindsTheLastMatchStartingAtOrBeforeTheStart)
{
    EXPECT_EQ(findTextBackwards("abcabc", "abc"), 4);
    EXPECT_EQ(findTextBackwards("abcabc", "abc", 4), 4);
    EXPECT_EQ(findTextBackwards("abcabc", "abc", 3), 1);
    EXPECT_EQ(findTextBackwards("abcabc", "abc", 100), 4);
    EXPECT_EQ(findTextBackwards("abcabc", "abc", 0), -1);
    EXPECT_EQ(findTextBackwards("abcabc", "x"), -1);
    EXPECT_EQ(findTextBackwards("aaa", "aa"), 2);
    EXPECT_EQ(findTextBackwards("班级班级", "班级"), 5);
}

} // namespace
} // namespace qr::runtime
