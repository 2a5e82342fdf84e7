// The tool's text pieces: CSV, numbers typed as text, JSON numbers, picture kinds.
#include "tools/store_cli/csv.h"
#include "tools/store_cli/json_text.h"
#include "tools/store_cli/photo_kind.h"
#include "tools/store_cli/text_number.h"

#include <gtest/gtest.h>

#include <charconv>
#include <cmath>
#include <random>

namespace qr::tools {
namespace {

TEST(Csv, RoundTripsQuotesCommasLineBreaksAndChinese)
{
    const std::vector<CsvRow> rows = {
        {"序号", "姓名", "家庭住址"},
        {"1", "O'Neil \"Jr\"", "Hollowmere村, 二组\r\n188号"},
        {"2", "", "\n"},
        {""}, // a record of one empty field must not vanish as a blank line
        {"3", "张,三", " leading and trailing "},
    };
    std::string text;
    for (const auto& r : rows)
        appendCsvRow(text, r);
    CsvTable table;
    std::string error;
    ASSERT_TRUE(parseCsv(text, table, error)) << error;
    EXPECT_EQ(table.rows, rows);
    EXPECT_EQ(table.lines, (std::vector<int>{1, 2, 4, 6, 7}));
}

TEST(Csv, ReadsWhatOtherProgramsWrite)
{
    CsvTable table;
    std::string error;
    // A byte-order mark, LF line ends, a blank line and no final line end.
    ASSERT_TRUE(parseCsv("\xEF\xBB\xBF"
                         "a,b\n\n1,\"x\"\"y\"\n2,z",
                         table, error))
        << error;
    EXPECT_EQ(table.rows, (std::vector<CsvRow>{{"a", "b"}, {"1", "x\"y"}, {"2", "z"}}));
    EXPECT_EQ(table.lines, (std::vector<int>{1, 3, 4}));
}

TEST(Csv, RefusesMalformedTextNamingTheLine)
{
    CsvTable table;
    std::string error;
    EXPECT_FALSE(parseCsv("a,b\r\n1,\"open\r\n2,3\r\n", table, error));
    EXPECT_EQ(error, "line 2: a quoted field is never closed");
    EXPECT_FALSE(parseCsv("a\nb\"c\n", table, error));
    EXPECT_EQ(error, "line 2: a quote inside an unquoted field");
    EXPECT_FALSE(parseCsv("a\n\"b\"c\n", table, error));
    EXPECT_EQ(error, "line 2: text after the closing quote of a field");
}

TEST(TextNumber, FollowsTheRuntimeRule)
{
    EXPECT_EQ(textToNumber("165.5"), 165.5);
    EXPECT_EQ(textToNumber("  45.5kg"), 45.5);
    EXPECT_EQ(textToNumber("abc"), 0.0);
    EXPECT_EQ(textToNumber(""), 0.0);
    EXPECT_EQ(textToNumber("-3.5e2x"), -350.0);
    EXPECT_EQ(textToNumber("7e"), 7.0);
    EXPECT_EQ(textToNumber(".5"), 0.5);
    EXPECT_EQ(textToNumber("."), 0.0);
    EXPECT_EQ(textToNumber("0x10"), 0.0); // decimal only
    EXPECT_EQ(textToNumber("inf"), 0.0);
    EXPECT_EQ(textToNumber("1e999"), HUGE_VAL);
    // Full-width digits, point, sign and space (GBK, as literals are compiled).
    EXPECT_EQ(textToNumber("１７０"), 170.0);
    EXPECT_EQ(textToNumber("　－１６５．５厘米"), -165.5);
    EXPECT_EQ(textToNumber("1高2"), 1.0);
}

TEST(TextNumber, FloatIsRoundedOnceAndMatchesShortestText)
{
    EXPECT_EQ(textToFloat("45.5"), 45.5f);
    EXPECT_EQ(textToFloat("0.1"), 0.1f);
    // Every float written in its shortest form reads back to itself.
    std::mt19937 random(7);
    std::uniform_real_distribution<float> weights(0.0f, 200.0f);
    for (int i = 0; i < 20000; ++i) {
        const float w = weights(random);
        ASSERT_EQ(textToFloat(shortestText(w)), w) << shortestText(w);
    }
}

TEST(JsonText, NumbersAndStrings)
{
    std::string out;
    appendJsonNumber(out, 0.1f);
    out += ' ';
    appendJsonNumber(out, 165.5);
    out += ' ';
    appendJsonNumber(out, std::nan(""));
    out += ' ';
    appendJsonNumber(out, std::int64_t(-9007199254740993));
    EXPECT_EQ(out, "0.1 165.5 null -9007199254740993");
    out.clear();
    appendJsonString(out, std::string("a\"b\\c\n\x01\x1f") + "\xE5\xBC\xA0");
    EXPECT_EQ(out, "\"a\\\"b\\\\c\\n\\u0001\\u001f\xE5\xBC\xA0\"");
}

TEST(PhotoKind, ByFirstBytes)
{
    auto kind = [](std::vector<std::uint8_t> b) { return std::string(pictureExtension(b)); };
    EXPECT_EQ(kind({0xFF, 0xD8, 0xFF, 0xE0}), "jpg");
    EXPECT_EQ(kind({0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A, 0}), "png");
    EXPECT_EQ(kind({'G', 'I', 'F', '8', '9', 'a'}), "gif");
    EXPECT_EQ(kind({'B', 'M', 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}), "bmp");
    EXPECT_EQ(kind({0, 0, 1, 0, 1, 0}), "ico");
    EXPECT_EQ(kind({0, 0, 2, 0, 1, 0}), "cur");
    EXPECT_EQ(kind({0, 0, 1, 0, 0, 0}), ""); // an icon directory without images
    EXPECT_EQ(kind({'B', 'M'}), "");         // too short for a bitmap header
    EXPECT_EQ(kind({}), "");
    EXPECT_TRUE(isPhotoExtension("jpeg"));
    EXPECT_TRUE(isPhotoExtension("bin"));
    EXPECT_FALSE(isPhotoExtension("txt"));
}

} // namespace
} // namespace qr::tools
