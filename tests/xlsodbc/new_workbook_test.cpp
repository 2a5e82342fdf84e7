// New workbooks: what the reader finds in them, with and without the cell index,
// and the sheets the writer refuses.
#include "xlsodbc/biff_io.h"
#include "xlsodbc/new_workbook.h"
#include "xlsodbc/workbook.h"

#include <gtest/gtest.h>

namespace qr::xls {
namespace {

using Bytes = std::vector<std::uint8_t>;

std::vector<RecordView> sheetRecords(const Bytes& stream, std::size_t start)
{
    std::vector<RecordView> out;
    RecordView r;
    for (std::size_t pos = start; recordAt(stream, pos, r); pos += 4 + r.data.size()) {
        out.push_back(r);
        if (r.type == rt::Eof)
            break;
    }
    return out;
}

std::size_t count(const std::vector<RecordView>& recs, std::uint16_t type)
{
    return static_cast<std::size_t>(
        std::count_if(recs.begin(), recs.end(), [&](const RecordView& r) { return r.type == type; }));
}

TEST(NewWorkbook, TheReaderFindsSheetsHeadingsAndWidths)
{
    const std::vector<NewSheet> sheets = {NewSheet{u"名单", {u"序号", u"name", u"序号"}, {{0, 1312}, {2, 4000}}},
                                          NewSheet{u"Sheet2", {}, {}}};
    for (bool cellIndex : {false, true}) {
        Bytes stream;
        std::string error;
        ASSERT_TRUE(buildNewWorkbookStream(sheets, NewWorkbookOptions{.cellIndex = cellIndex}, stream, error)) << error;
        Workbook book;
        ASSERT_TRUE(book.parse(stream, error)) << error;
        EXPECT_EQ(book.codePage(), 1200u);
        ASSERT_EQ(book.sheets().size(), 2u);
        const Sheet& first = book.sheets()[0];
        EXPECT_EQ(first.name, u"名单");
        EXPECT_EQ(book.sheets()[1].name, u"Sheet2");
        ASSERT_EQ(first.rows.size(), 1u);
        const SheetRow& row = first.rows.at(0);
        ASSERT_EQ(row.cells.size(), 3u);
        EXPECT_EQ(book.cellText(row.cells[0].second), u"序号");
        EXPECT_EQ(book.cellText(row.cells[1].second), u"name");
        EXPECT_EQ(row.cells[2].first, 2u);
        EXPECT_EQ(row.cells[2].second.text, row.cells[0].second.text); // one shared string for both
        EXPECT_TRUE(book.sheets()[1].rows.empty());

        const auto recs = sheetRecords(stream, first.originalOffset);
        EXPECT_EQ(count(recs, rt::ColInfo), 2u);
        EXPECT_EQ(count(recs, rt::Index), cellIndex ? 1u : 0u);
        EXPECT_EQ(count(recs, rt::DbCell), cellIndex ? 1u : 0u);
        for (const RecordView& r : recs)
            if (r.type == rt::Dimensions) {
                EXPECT_EQ(getU32(r.data.data() + 4), 1u);  // one row
                EXPECT_EQ(getU16(r.data.data() + 10), 3u); // three columns
            }
        // Read again and written again, the workbook comes out as it went in.
        EXPECT_EQ(book.serialize(), stream);
    }
}

TEST(NewWorkbook, RefusesWhatTheRecordsCannotHold)
{
    Bytes stream;
    std::string error;
    const std::vector<std::u16string> tooMany(257, u"x");
    EXPECT_FALSE(buildNewWorkbookStream({NewSheet{u"Sheet1", tooMany, {}}}, {}, stream, error));
    EXPECT_FALSE(error.empty());
    error.clear();
    EXPECT_FALSE(buildNewWorkbookStream({NewSheet{std::u16string(256, u'n'), {}, {}}}, {}, stream, error));
    EXPECT_FALSE(error.empty());
}

} // namespace
} // namespace qr::xls
