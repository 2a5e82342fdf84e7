// GBK at the boundary: what happens to bytes and units that cannot be converted,
// four-byte sequences, and comparing texts without the case of half-width letters.
#include "runtime/gbk.h"

#include <gtest/gtest.h>

namespace qr::runtime {
namespace {

TEST(GbkConversion, EveryBadByteBecomesOneReplacement)
{
    EXPECT_EQ(gbkToUtf16("a\x81"), u"a\uFFFD");   // a lead byte at the end
    EXPECT_EQ(gbkToUtf16("\x81 b"), u"\uFFFD b"); // a lead byte without a trail byte
    EXPECT_EQ(gbkToUtf16("\xFF\xFF"), u"\uFFFD\uFFFD");
    EXPECT_EQ(gbkToUtf8("\x81"), "\xEF\xBF\xBD");
    EXPECT_EQ(utf8ToGbk("x\xC3"), "x?"); // a cut UTF-8 sequence
    // Lone surrogates are the UTF-16 that GBK cannot take.
    EXPECT_EQ(utf16ToGbk(std::u16string(1, char16_t(0xD800))), "?");
    EXPECT_EQ(utf16ToGbk(u"a" + std::u16string(1, char16_t(0xDC00)) + u"b"), "a?b");
}

TEST(GbkConversion, FourByteSequencesAndAsciiRoundTrip)
{
    EXPECT_EQ(gbkToUtf16("\x81\x30\x81\x30"), u"\u0080");
    EXPECT_EQ(utf16ToGbk(u"\U00020000"), "\x95\x32\x82\x36");
    EXPECT_EQ(gbkToUtf16("\x95\x32\x82\x36"), u"\U00020000");
    std::string ascii;
    std::u16string wide;
    for (int c = 0; c < 0x80; ++c) {
        ascii.push_back(static_cast<char>(c));
        wide.push_back(static_cast<char16_t>(c));
    }
    EXPECT_EQ(gbkToUtf16(ascii), wide);
    EXPECT_EQ(utf16ToGbk(wide), ascii);
}

TEST(GbkConversion, AppendKeepsWhatWasThere)
{
    std::string out = "姓名:";
    appendUtf16AsGbk(u"张三", out);
    appendUtf16AsGbk(u"/x", out);
    EXPECT_EQ(out, "姓名:张三/x");
    appendUtf16AsGbk(std::u16string(1, char16_t(0xD800)), out);
    EXPECT_EQ(out, "姓名:张三/x?");
}

TEST(GbkCase, FoldsHalfWidthLettersOnly)
{
    EXPECT_TRUE(equalsIgnoringCase("Name_1", "nAME_1"));
    EXPECT_TRUE(equalsIgnoringCase("", ""));
    EXPECT_FALSE(equalsIgnoringCase("ab", "abc"));
    EXPECT_FALSE(equalsIgnoringCase("[", "{")); // 0x20 apart, but not letters
    // The trail byte of a double-byte character is never folded ...
    EXPECT_FALSE(equalsIgnoringCase("\x81\x61", "\x81\x41"));
    EXPECT_TRUE(equalsIgnoringCase("姓名a", "姓名A"));
    // ... and a lead byte at the very end opens no character.
    EXPECT_TRUE(equalsIgnoringCase("a\x81", "A\x81"));
    EXPECT_EQ(gbkCharLength("a\x81", 1), 1u);
    EXPECT_EQ(gbkCharLength("\x81\x61z", 0), 2u);
    EXPECT_EQ(gbkCharLength("\x80\x61", 0), 1u);
}

} // namespace
} // namespace qr::runtime
