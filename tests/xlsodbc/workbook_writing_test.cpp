// Writing workbooks back: the shared string table split over CONTINUE records, and a
// rewritten stream whose positions (BOUNDSHEET, INDEX, DBCELL, EXTSST) all still point
// where they should.
#include "tests/xlsodbc/workbook_builder.h"
#include "xlsodbc/biff_io.h"
#include "xlsodbc/biff_strings.h"
#include "xlsodbc/sheet_table.h"
#include "xlsodbc/workbook.h"

#include <gtest/gtest.h>

namespace qr::xls {
namespace {

using Bytes = std::vector<std::uint8_t>;

std::vector<RecordView> records(std::span<const std::uint8_t> stream, std::size_t from = 0, std::size_t to = SIZE_MAX)
{
    std::vector<RecordView> out;
    RecordView r;
    for (std::size_t pos = from; pos < std::min(to, stream.size()) && recordAt(stream, pos, r);
         pos += 4 + r.data.size())
        out.push_back(r);
    return out;
}

TEST(SstWriting, LongAndManyStringsSurviveTheSplit)
{
    std::vector<SstEntry> strings;
    for (int i = 0; i < 3000; ++i)
        strings.push_back(SstEntry{u"text " + std::u16string(static_cast<std::size_t>(i % 97), u'a' + i % 26), {}, {}});
    strings.push_back(SstEntry{std::u16string(10000, u'汉'), {}, {}});  // spans several records
    strings.push_back(SstEntry{u"rich", {0, 0, 1, 0, 2, 0, 0, 0}, {}}); // two runs
    strings.push_back(SstEntry{u"音", {}, Bytes(30, 0x5A)});            // phonetic block
    strings.push_back(SstEntry{std::u16string(9000, u'b'), {}, {}});
    ByteWriter w;
    w.u32(0xDEADBEEF); // the table need not start the stream
    writeSst(w, strings, 5000);

    const auto recs = records(w.bytes(), 4);
    ASSERT_GE(recs.size(), 3u);
    ASSERT_EQ(recs.front().type, rt::Sst);
    std::vector<std::span<const std::uint8_t>> parts;
    for (const RecordView& r : recs) {
        EXPECT_LE(r.data.size(), kMaxRecordData);
        if (r.type == rt::Sst || r.type == rt::Continue)
            parts.push_back(r.data);
    }
    ASSERT_EQ(recs.back().type, rt::ExtSst);
    std::vector<SstEntry> back;
    std::uint32_t refs = 0;
    std::string error;
    ASSERT_TRUE(parseSst(parts, back, refs, error)) << error;
    EXPECT_EQ(refs, 5000u);
    ASSERT_EQ(back.size(), strings.size());
    for (std::size_t i = 0; i < strings.size(); ++i) {
        EXPECT_EQ(back[i].text, strings[i].text) << i;
        EXPECT_EQ(back[i].runs, strings[i].runs) << i;
        EXPECT_EQ(back[i].ext, strings[i].ext) << i;
    }
    // Every EXTSST bucket points at the header of its first string.
    const RecordView ext = recs.back();
    const std::size_t perBucket = getU16(ext.data.data());
    for (std::size_t b = 0; 2 + b * 8 + 8 <= ext.data.size(); ++b) {
        const std::uint32_t pos = getU32(ext.data.data() + 2 + b * 8);
        const std::uint16_t inRecord = getU16(ext.data.data() + 6 + b * 8);
        const std::size_t i = b * perBucket;
        ASSERT_LT(pos + 2, w.size());
        EXPECT_EQ(getU16(w.bytes().data() + pos), strings[i].text.size()) << "bucket " << b;
        const auto owner = std::find_if(recs.begin(), recs.end(), [&](const RecordView& r) {
            return r.offset <= pos && pos < r.offset + 4 + r.data.size();
        });
        ASSERT_NE(owner, recs.end());
        EXPECT_EQ(pos - owner->offset, inRecord);
    }
}

// Checks the positions a reader follows: BOUNDSHEET to BOF, INDEX to DBCELL, DBCELL
// back to its first ROW.
void expectPositionsValid(const Bytes& stream)
{
    const auto all = records(stream);
    std::vector<std::uint32_t> sheetStarts;
    for (const RecordView& r : all) {
        if (r.type == rt::Eof)
            break;
        if (r.type == rt::BoundSheet)
            sheetStarts.push_back(getU32(r.data.data()));
    }
    for (std::uint32_t start : sheetStarts) {
        RecordView bof;
        ASSERT_TRUE(recordAt(stream, start, bof));
        ASSERT_EQ(bof.type, rt::Bof);
        for (const RecordView& r : records(stream, start)) {
            if (r.type == rt::Eof)
                break;
            if (r.type != rt::Index)
                continue;
            RecordView target;
            ASSERT_TRUE(recordAt(stream, getU32(r.data.data() + 12), target));
            EXPECT_EQ(target.type, rt::DefColWidth);
            for (std::size_t off = 16; off + 4 <= r.data.size(); off += 4) {
                ASSERT_TRUE(recordAt(stream, getU32(r.data.data() + off), target));
                ASSERT_EQ(target.type, rt::DbCell);
                RecordView row;
                ASSERT_TRUE(recordAt(stream, target.offset - getU32(target.data.data()), row));
                EXPECT_EQ(row.type, rt::Row);
            }
        }
    }
}

TEST(WorkbookWriting, AppendedRowsKeepTheRestOfTheWorkbook)
{
    const Bytes original = testing::buildWorkbookStream(
        {testing::SheetSpec{u"Sheet1", {u"序号", u"姓名"}, {{0, 1312}, {1, 1696}}},
         testing::SheetSpec{u"Sheet2", {u"x"}, {}}, testing::SheetSpec{u"Sheet3", {}, {}}});
    expectPositionsValid(original);
    Workbook book;
    std::string error;
    ASSERT_TRUE(book.parse(original, error)) << error;
    for (int i = 0; i < 100; ++i) {
        std::vector<NewCell> cells{NewCell{0, true, u"第" + std::u16string(1, static_cast<char16_t>(u'0' + i % 10)), 0},
                                   NewCell{1, false, {}, i * 1.5}};
        ASSERT_TRUE(book.appendRow(0, cells));
    }
    ASSERT_TRUE(book.appendRow(2, {NewCell{3, true, u"late", 0}}));
    const Bytes written = book.serialize();
    expectPositionsValid(written);

    Workbook again;
    ASSERT_TRUE(again.parse(written, error)) << error;
    const Sheet& s1 = again.sheets()[0];
    EXPECT_EQ(s1.rows.size(), 101u);
    EXPECT_EQ(again.cellText(s1.rows.at(100).cells[0].second), u"第9");
    EXPECT_EQ(s1.rows.at(100).cells[1].second.number, 99 * 1.5);
    // The widths and the untouched sheet come through byte for byte.
    std::size_t colInfos = 0;
    for (const RawRecord& r : s1.prefix)
        colInfos += r.type == rt::ColInfo;
    EXPECT_EQ(colInfos, 2u);
    auto withoutIndex = [](const Bytes& raw) {
        std::vector<std::pair<std::uint16_t, Bytes>> out;
        for (const RecordView& r : records(raw))
            if (r.type != rt::Index)
                out.emplace_back(r.type, Bytes(r.data.begin(), r.data.end()));
        return out;
    };
    EXPECT_EQ(withoutIndex(again.sheets()[1].rawBytes), withoutIndex(book.sheets()[1].rawBytes));
    // DIMENSIONS covers the new rows.
    for (const RawRecord& r : s1.prefix)
        if (r.type == rt::Dimensions) {
            EXPECT_EQ(getU32(r.data.data() + 4), 101u);
            EXPECT_EQ(getU16(r.data.data() + 10), 2u);
        }
    const Sheet& s3 = again.sheets()[2];
    ASSERT_EQ(s3.rows.size(), 1u);
    EXPECT_EQ(again.cellText(s3.rows.at(0).cells[0].second), u"late");
    // Writing the re-read workbook again changes nothing.
    EXPECT_EQ(again.serialize(), written);
}

} // namespace
} // namespace qr::xls
