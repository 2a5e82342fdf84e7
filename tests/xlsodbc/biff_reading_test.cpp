// Reading workbooks as other programs write them: shared strings continued across
// records (with and without a fresh flag byte), rich and phonetic strings, and every
// kind of cell record.
#include "runtime/coding.h"
#include "xlsodbc/biff_io.h"
#include "xlsodbc/sheet_table.h"
#include "xlsodbc/workbook.h"

#include <gtest/gtest.h>

namespace qr::xls {
namespace {

using Bytes = std::vector<std::uint8_t>;

struct StreamBuilder {
    ByteWriter w;
    void rec(std::uint16_t type, const Bytes& data) { w.record(type, data); }
};

Bytes cat(std::initializer_list<Bytes> parts)
{
    Bytes out;
    for (const Bytes& p : parts)
        out.insert(out.end(), p.begin(), p.end());
    return out;
}
Bytes u16(std::uint16_t v)
{
    Bytes out;
    runtime::appendU16(out, v);
    return out;
}
Bytes u32(std::uint32_t v)
{
    Bytes out;
    runtime::appendU32(out, v);
    return out;
}
Bytes f64(double d)
{
    ByteWriter w;
    w.f64(d);
    return w.bytes();
}
Bytes compressed(const std::string& s) { return Bytes(s.begin(), s.end()); }
Bytes wide(std::u16string_view s)
{
    Bytes out;
    for (char16_t c : s)
        runtime::appendU16(out, c);
    return out;
}
Bytes cell(std::uint16_t row, std::uint16_t col) { return cat({u16(row), u16(col), u16(0)}); }
Bytes bof(std::uint16_t type) { return cat({u16(0x0600), u16(type), u32(0), u32(0), u32(0)}); }

// A workbook whose shared strings and cells cover what other writers produce.
Bytes foreignWorkbook(std::size_t& sheet1Bound, std::size_t& sheet2Bound)
{
    StreamBuilder b;
    b.rec(rt::Bof, bof(0x0005));
    b.rec(rt::CodePage, u16(1200));
    b.rec(rt::Xf, Bytes(20, 0));
    sheet1Bound = b.w.size() + 4;
    b.rec(rt::BoundSheet, cat({u32(0), {0, 0}, {6, 0}, compressed("Sheet1")}));
    sheet2Bound = b.w.size() + 4;
    b.rec(rt::BoundSheet, cat({u32(0), {0, 0}, {2, 1}, wide(u"表二")}));
    const std::u16string split = std::u16string(50, u'张');
    b.rec(rt::Sst, cat({u32(8), u32(7), cat({u16(4), {0}, compressed("Name")}),
                        // rich: two formatting runs after the characters
                        cat({u16(4), {0x08}, u16(2), compressed("Rich"), u32(0x00010000), u32(0x00000002)}),
                        // phonetic block after the characters
                        cat({u16(2), {0x05}, u32(10), wide(u"汉字"), Bytes(10, 0xEE)}),
                        // 53 characters: 50 wide ones here, the rest behind a fresh flag byte
                        cat({u16(53), {0x01}, wide(split)})}));
    b.rec(rt::Continue, cat({{0x00},
                             compressed("abc"),
                             // a string ending exactly at the record's end
                             cat({u16(5), {0}, compressed("edge!")})}));
    b.rec(rt::Continue, cat({cat({u16(3), {0}, compressed("new")}),
                             // header here, characters in the next record
                             cat({u16(2), {0x01}})}));
    b.rec(rt::Continue, cat({{0x01}, wide(u"尾巴")}));
    b.rec(rt::ExtSst, cat({u16(8), u32(0), u16(0), u16(0)}));
    b.rec(rt::Eof, {});

    putU32(b.w.bytes().data() + sheet1Bound, static_cast<std::uint32_t>(b.w.size()));
    b.rec(rt::Bof, bof(0x0010));
    b.rec(rt::Dimensions, cat({u32(0), u32(4), u16(0), u16(8), u16(0)}));
    for (std::uint32_t i = 0; i < 7; ++i)
        b.rec(rt::LabelSst, cat({cell(0, static_cast<std::uint16_t>(i)), u32(i)}));
    b.rec(rt::Label, cat({cell(0, 7), u16(6), {0}, compressed("Inline")}));
    b.rec(rt::Rk, cat({cell(1, 0), u32((170u << 2) | 2)}));
    b.rec(rt::Rk, cat({cell(1, 1), u32((4550u << 2) | 3)}));
    b.rec(rt::Rk, cat({cell(1, 2), u32(0x3FE00000)})); // 0.5 from the high half of a double
    b.rec(rt::Number, cat({cell(1, 3), f64(1e15)}));
    b.rec(rt::BoolErr, cat({cell(1, 4), {1, 0}}));
    b.rec(rt::BoolErr, cat({cell(1, 5), {0x07, 1}}));
    b.rec(rt::Blank, cell(1, 6));
    b.rec(rt::MulRk, cat({u16(2), u16(0), u16(0), u32((1u << 2) | 2), u16(0), u32((2u << 2) | 2), u16(0),
                          u32(static_cast<std::uint32_t>(-3) << 2 | 2), u16(2)}));
    b.rec(rt::MulBlank, cat({u16(2), u16(3), u16(0), u16(0), u16(4)}));
    b.rec(rt::Formula, cat({cell(2, 5), {0, 0, 0, 0, 0, 0, 0xFF, 0xFF}, u16(0), u32(0), u16(0)}));
    b.rec(rt::String, cat({u16(12), {0}, compressed("from formula")}));
    b.rec(rt::Formula, cat({cell(2, 6), f64(2.25), u16(0), u32(0), u16(0)}));
    b.rec(rt::Formula, cat({cell(3, 0), {1, 0, 1, 0, 0, 0, 0xFF, 0xFF}, u16(0), u32(0), u16(0)}));
    b.rec(rt::Formula, cat({cell(3, 1), {3, 0, 0, 0, 0, 0, 0xFF, 0xFF}, u16(0), u32(0), u16(0)}));
    b.rec(rt::Eof, {});

    putU32(b.w.bytes().data() + sheet2Bound, static_cast<std::uint32_t>(b.w.size()));
    b.rec(rt::Bof, bof(0x0010));
    b.rec(rt::Label, cat({cell(0, 0), u16(1), {1}, wide(u"列")}));
    b.rec(rt::Eof, {});
    return std::move(b.w.bytes());
}

std::vector<std::optional<std::string>> readAll(const Workbook& book, std::size_t sheet)
{
    const Sheet& s = book.sheets()[sheet];
    const SheetTable t = describeTable(book, s, 0, false);
    std::vector<std::size_t> cols;
    for (std::size_t i = 0; i < t.columns.size(); ++i)
        cols.push_back(i);
    std::vector<FieldValue> values;
    readTable(book, s, t, cols, values);
    std::vector<std::optional<std::string>> out;
    for (const FieldValue& v : values)
        out.push_back(v.isNull ? std::nullopt : std::optional<std::string>(v.text));
    return out;
}

TEST(BiffReading, SharedStringsAcrossContinueRecords)
{
    std::size_t a, b;
    const Bytes stream = foreignWorkbook(a, b);
    Workbook book;
    std::string error;
    ASSERT_TRUE(book.parse(stream, error)) << error;
    ASSERT_EQ(book.sheets().size(), 2u);
    EXPECT_EQ(book.sheets()[1].name, u"表二");
    EXPECT_EQ(book.codePage(), 1200);
    const auto cells = readAll(book, 0);
    ASSERT_EQ(cells.size(), 4u * 8u);
    const std::string split = [] {
        std::string s;
        for (int i = 0; i < 50; ++i)
            s += "张";
        return s + "abc";
    }();
    EXPECT_EQ(cells[0], "Name");
    EXPECT_EQ(cells[1], "Rich");
    EXPECT_EQ(cells[2], "汉字");
    EXPECT_EQ(cells[3], split);
    EXPECT_EQ(cells[4], "edge!");
    EXPECT_EQ(cells[5], "new");
    EXPECT_EQ(cells[6], "尾巴");
    EXPECT_EQ(cells[7], "Inline");
}

TEST(BiffReading, EveryKindOfCell)
{
    std::size_t a, b;
    const Bytes stream = foreignWorkbook(a, b);
    Workbook book;
    std::string error;
    ASSERT_TRUE(book.parse(stream, error)) << error;
    const auto cells = readAll(book, 0);
    using C = std::vector<std::optional<std::string>>;
    // Every column holds a text in row 1, so numbers read as their shortest text.
    EXPECT_EQ(C(cells.begin() + 8, cells.begin() + 16),
              (C{"170", "45.5", "0.5", "1000000000000000", "TRUE", std::nullopt, std::nullopt, std::nullopt}));
    EXPECT_EQ(C(cells.begin() + 16, cells.begin() + 24),
              (C{"1", "2", "-3", std::nullopt, std::nullopt, "from formula", "2.25", std::nullopt}));
    EXPECT_EQ(C(cells.begin() + 24, cells.begin() + 32),
              (C{"TRUE", "", std::nullopt, std::nullopt, std::nullopt, std::nullopt, std::nullopt, std::nullopt}));
    EXPECT_EQ(readAll(book, 1), (C{"列"}));
}

TEST(BiffReading, NumberColumnsReadTextsAsNull)
{
    std::size_t a, b;
    const Bytes stream = foreignWorkbook(a, b);
    Workbook book;
    std::string error;
    ASSERT_TRUE(book.parse(stream, error)) << error;
    const Sheet& s = book.sheets()[0];
    // Headings in row 1; row 2 numbers decide the types with one scanned row.
    const SheetTable t = describeTable(book, s, 1, true);
    ASSERT_EQ(t.columns.size(), 8u);
    EXPECT_EQ(t.columns[0].name, "Name");
    EXPECT_TRUE(t.columns[0].numeric);
    EXPECT_TRUE(t.columns[1].numeric);
    EXPECT_FALSE(t.columns[6].numeric); // a blank is no number
    std::vector<FieldValue> values;
    readTable(book, s, t, {0, 6, 1}, values);
    ASSERT_EQ(values.size(), 3u * 3u);
    EXPECT_EQ(values[0].number, 170);
    EXPECT_TRUE(values[1].isNull); // a blank
    EXPECT_EQ(values[2].number, 45.5);
    EXPECT_EQ(values[4].text, "2.25"); // a number in a text column
    EXPECT_EQ(values[5].number, 2);
    EXPECT_EQ(values[6].number, 1); // TRUE in a number column
    EXPECT_TRUE(values[8].isNull);  // a text in a number column
}

} // namespace
} // namespace qr::xls
