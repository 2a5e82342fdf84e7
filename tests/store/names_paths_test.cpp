#include "store/names.h"
#include "store/paths.h"

#include <gtest/gtest.h>

namespace qr::store {
namespace {

TEST(FieldNameRule, AcceptsLettersChineseAndFullWidthCharacters)
{
    EXPECT_TRUE(isValidFieldName("姓名"));
    EXPECT_TRUE(isValidFieldName("监护1关系"));
    EXPECT_TRUE(isValidFieldName("_a9"));
    EXPECT_TRUE(isValidFieldName("Ａｂ０")); // full-width letters, then a full-width digit
    EXPECT_TRUE(isValidFieldName("あア"));   // hiragana, katakana
    EXPECT_TRUE(isValidFieldName("\xA9\x60"));
}

TEST(FieldNameRule, RefusesDigitsFirstPointsBlanksAndBrokenCharacters)
{
    EXPECT_FALSE(isValidFieldName(""));
    EXPECT_FALSE(isValidFieldName("1a"));
    EXPECT_FALSE(isValidFieldName("０a")); // full-width digit first
    EXPECT_FALSE(isValidFieldName("a.b"));
    EXPECT_FALSE(isValidFieldName("a b"));
    EXPECT_FALSE(isValidFieldName("a-b"));
    EXPECT_FALSE(isValidFieldName("，"));       // full-width punctuation (A3AC)
    EXPECT_FALSE(isValidFieldName("\xA1\xA1")); // ideographic space
    EXPECT_FALSE(isValidFieldName("a\xB0"));    // lead byte without trail byte
}

TEST(FieldNameRule, LengthLimitCountsCharactersAndTheSixteenByteSlot)
{
    EXPECT_TRUE(isValidFieldName(std::string(15, 'a')));
    EXPECT_FALSE(isValidFieldName(std::string(16, 'a')));
    EXPECT_TRUE(isValidFieldName("一二三四五六七八"));    // 8 characters, 16 bytes
    EXPECT_FALSE(isValidFieldName("一二三四五六七八九")); // 18 bytes do not fit
    // Aliases follow the characters, not the length.
    EXPECT_TRUE(followsNameCharacterRule(std::string(40, 'a')));
    EXPECT_FALSE(followsNameCharacterRule("9a"));
}

TEST(NameComparison, FoldsHalfWidthLettersOnly)
{
    EXPECT_TRUE(namesEqual("Name", "nAME"));
    EXPECT_TRUE(namesEqual("姓名a", "姓名A"));
    EXPECT_FALSE(namesEqual("姓名", "姓石"));
    // A trail byte that looks like 'a' is part of a Chinese character, not a letter.
    EXPECT_FALSE(namesEqual("\x81\x61", "\x81\x41"));
    EXPECT_FALSE(namesEqual("ab", "abc"));
}

TEST(StorePaths, DefaultExtensionApplies)
{
    EXPECT_EQ(withDefaultExtension("xsdate"), "xsdate.EDB");
    EXPECT_EQ(withDefaultExtension("xsdate."), "xsdate.EDB");
    EXPECT_EQ(withDefaultExtension("xsdate.edb"), "xsdate.edb");
    EXPECT_EQ(withDefaultExtension("a.dir/xsdate"), "a.dir/xsdate.EDB");
}

TEST(StorePaths, AuxiliaryNameTitleAndFullPath)
{
    EXPECT_EQ(auxiliaryPath("/run/xsdate.edb"), "/run/xsdate.EDT");
    EXPECT_EQ(auxiliaryPath("/r.d/x.y.edb"), "/r.d/x.y.EDT");
    EXPECT_EQ(fileTitle("/run/xsdate.edb"), "xsdate");
    EXPECT_EQ(fileTitle("/run/a.b.edb"), "a.b");
    EXPECT_EQ(fullPath("x.edb", "/home/t"), "/home/t/x.edb");
    EXPECT_EQ(fullPath("./x.edb", "/home/t"), "/home/t/x.edb");
    EXPECT_EQ(fullPath("../u//x.edb", "/home/t"), "/home/u/x.edb");
    EXPECT_EQ(fullPath("/a/./b/../x.edb", "/home/t"), "/a/x.edb");
}

} // namespace
} // namespace qr::store
