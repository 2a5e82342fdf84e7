#include "forms/kinds/report_list.h"
#include "tests/forms/kinds/kind_window.h"

#include <QHeaderView>
#include <QTableView>
#include <QTest>

namespace qr::forms::test {
namespace {

using runtime::Value;
namespace rl = report_list;

constexpr std::uint32_t kList = 0x160100D1;

class ReportListTest : public KindWindowTest {
protected:
    void SetUp() override
    {
        ReportListSettings s;
        s.columns = {{0, -1, 0, 40, gbk(u8"序号")},
                     {0, -1, 1, 60, gbk(u8"姓名")},
                     {0, -1, 2, 45, gbk(u8"身高")},
                     {0, -1, 1, 90, gbk(u8"监护人2电话")}};
        s.columns[0].alignment = 2; // ignored: the first column is always left-aligned
        add(kList, UnitKind::ReportList, gbk(u8"超级列表框1"), {0, 48, 480, 300}, s, {0, 2, 4, 5, -3});
        load();
        view = widgetAs<QTableView>(kList);
        ASSERT_NE(view, nullptr);
    }
    void fill(int rows)
    {
        for (int r = 0; r < rows; ++r) {
            const int row = rl::insertRow(kTestWindow, kList, -1, std::to_string(r + 1));
            rl::setCellText(kTestWindow, kList, row, 1, gbk(u8"学生") + std::to_string(r + 1));
        }
    }
    QPoint cellCentre(int row, int column) const
    {
        return view->visualRect(view->model()->index(row, column)).center();
    }
    std::vector<std::int32_t> eventNumbers() const
    {
        std::vector<std::int32_t> n;
        for (const Event& e : events)
            n.push_back(e.number);
        return n;
    }
    QTableView* view = nullptr;
};

TEST_F(ReportListTest, ColumnsWidthsAlignmentsAndLook)
{
    QHeaderView* header = view->horizontalHeader();
    ASSERT_EQ(view->model()->columnCount(), 4);
    EXPECT_EQ(view->model()->headerData(3, Qt::Horizontal).toString(), q(u8"监护人2电话"));
    EXPECT_EQ(header->sectionSize(0), 40);
    EXPECT_EQ(header->sectionSize(3), 90);
    EXPECT_TRUE(view->showGrid());
    EXPECT_EQ(view->selectionBehavior(), QAbstractItemView::SelectRows);
    EXPECT_EQ(view->selectionMode(), QAbstractItemView::SingleSelection);
    fill(1);
    auto alignment = [&](int column) {
        return view->model()->index(0, column).data(Qt::TextAlignmentRole).value<Qt::Alignment>() &
               Qt::AlignHorizontal_Mask;
    };
    EXPECT_EQ(alignment(0), Qt::AlignLeft);
    EXPECT_EQ(alignment(1), Qt::AlignHCenter);
    EXPECT_EQ(alignment(2), Qt::AlignRight);
    // Column list property round trip.
    auto columns = decodeListColumns(read(kList, 11).asByteSet());
    ASSERT_TRUE(columns);
    EXPECT_EQ(columns->size(), 4u);
    EXPECT_EQ((*columns)[1].title, gbk(u8"姓名"));
}

TEST_F(ReportListTest, RowOperations)
{
    EXPECT_EQ(read(kList, 35).asInteger(), -1);
    EXPECT_EQ(rl::rowCount(kTestWindow, kList), 0);
    // Everything omitted appends an empty row at the previous row count.
    EXPECT_EQ(rl::insertRow(kTestWindow, kList), 0);
    EXPECT_EQ(rl::insertRow(kTestWindow, kList), 1);
    EXPECT_EQ(rl::insertRow(kTestWindow, kList, 1, gbk(u8"中间")), 1);
    EXPECT_EQ(rl::insertRow(kTestWindow, kList, 99, "end"), 3);
    EXPECT_EQ(rl::rowCount(kTestWindow, kList), 4);
    EXPECT_EQ(rl::cellText(kTestWindow, kList, 1), gbk(u8"中间"));
    EXPECT_EQ(rl::cellText(kTestWindow, kList, 3, 0), "end");
    rl::setCellText(kTestWindow, kList, 1, 2, "170");
    EXPECT_EQ(rl::cellText(kTestWindow, kList, 1, 2), "170");
    EXPECT_EQ(view->model()->index(1, 2).data().toString(), QStringLiteral("170"));
    // Cells that do not exist read as empty; writing them changes nothing.
    rl::setCellText(kTestWindow, kList, 1, 9, "x");
    rl::setCellText(kTestWindow, kList, 17, 0, "x");
    EXPECT_EQ(rl::cellText(kTestWindow, kList, 1, 9), "");
    EXPECT_EQ(rl::cellText(kTestWindow, kList, 17, 0), "");
    EXPECT_EQ(rl::cellText(kTestWindow, kList, -1, 0), "");
    // A cell longer than 511 bytes comes back whole.
    std::string address;
    for (int i = 0; i < 300; ++i)
        address += gbk(u8"村");
    rl::setCellText(kTestWindow, kList, 0, 3, address);
    EXPECT_EQ(rl::cellText(kTestWindow, kList, 0, 3), address);
    EXPECT_EQ(address.size(), 600u);

    EXPECT_TRUE(rl::deleteRow(kTestWindow, kList, 1));
    EXPECT_FALSE(rl::deleteRow(kTestWindow, kList, 3));
    EXPECT_EQ(rl::rowCount(kTestWindow, kList), 3);
    EXPECT_EQ(rl::cellText(kTestWindow, kList, 2), "end");
    write(kList, 35, Value::integer(2));
    EXPECT_EQ(read(kList, 35).asInteger(), 2);
    EXPECT_TRUE(rl::deleteAllRows(kTestWindow, kList));
    EXPECT_EQ(rl::rowCount(kTestWindow, kList), 0);
    EXPECT_EQ(read(kList, 35).asInteger(), -1);
}

TEST_F(ReportListTest, ClicksSelectOneRowAndRaiseEvents)
{
    fill(5);
    QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, cellCentre(2, 1));
    EXPECT_EQ(read(kList, 35).asInteger(), 2);
    EXPECT_EQ(rl::currentRow(kTestWindow, kList), 2);
    auto numbers = eventNumbers();
    EXPECT_NE(std::find(numbers.begin(), numbers.end(), 0), numbers.end()); // row focused
    EXPECT_NE(std::find(numbers.begin(), numbers.end(), 4), numbers.end()); // left click

    events.clear();
    QTest::mouseClick(view->viewport(), Qt::RightButton, {}, cellCentre(4, 2));
    EXPECT_EQ(read(kList, 35).asInteger(), 4); // a right click selects the row it hits
    numbers = eventNumbers();
    EXPECT_NE(std::find(numbers.begin(), numbers.end(), 5), numbers.end());
    for (const Event& e : events)
        EXPECT_EQ(e.componentId, kList);

    // Single selection: the earlier row is no longer selected.
    EXPECT_EQ(view->selectionModel()->selectedRows().size(), 1);

    // Clicking below the last row clears the selection.
    QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, QPoint(20, view->viewport()->height() - 5));
    EXPECT_EQ(read(kList, 35).asInteger(), -1);
}

TEST_F(ReportListTest, DoubleClickReachesTheHandlerAsCommonEvent)
{
    fill(3);
    const QPoint at = cellCentre(1, 0);
    QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, at);
    events.clear();
    QTest::mouseDClick(view->viewport(), Qt::LeftButton, {}, at);
    auto numbers = eventNumbers();
    ASSERT_NE(std::find(numbers.begin(), numbers.end(), -3), numbers.end());
    EXPECT_EQ(read(kList, 35).asInteger(), 1);
}

TEST_F(ReportListTest, HeaderClickRaisesColumnButDoesNotSort)
{
    rl::insertRow(kTestWindow, kList, -1, "b");
    rl::insertRow(kTestWindow, kList, -1, "a");
    rl::insertRow(kTestWindow, kList, -1, "c");
    QHeaderView* header = view->horizontalHeader();
    const QPoint at(header->sectionViewportPosition(1) + 10, header->height() / 2);
    QTest::mouseClick(header->viewport(), Qt::LeftButton, {}, at);
    bool sawHeader = false;
    for (const Event& e : events)
        if (e.number == 2) {
            sawHeader = true;
            ASSERT_EQ(e.args.size(), 1u);
            EXPECT_EQ(e.args[0].asInteger(), 1);
        }
    EXPECT_TRUE(sawHeader);
    EXPECT_EQ(rl::cellText(kTestWindow, kList, 0), "b");
    EXPECT_EQ(rl::cellText(kTestWindow, kList, 1), "a");
    EXPECT_EQ(read(kList, 35).asInteger(), -1);
}

TEST_F(ReportListTest, DeletingTheSelectedRowLeavesNoCurrentRow)
{
    fill(4);
    QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, cellCentre(1, 0));
    ASSERT_EQ(read(kList, 35).asInteger(), 1);
    // Deleting another row moves the selected one up with its student.
    EXPECT_TRUE(rl::deleteRow(kTestWindow, kList, 0));
    EXPECT_EQ(read(kList, 35).asInteger(), 0);
    EXPECT_EQ(rl::cellText(kTestWindow, kList, 0), "2");
    EXPECT_TRUE(rl::deleteRow(kTestWindow, kList, 0));
    EXPECT_EQ(read(kList, 35).asInteger(), -1);
}

TEST(ReportRows, SortedListsPlaceRowsByTheirText)
{
    kinds::ReportRowsModel ascending({{0, -1, 0, 40, "a"}}, nullptr, 1);
    for (const char* t : {"b", "D", "a", "c"})
        ascending.insertRowAt(0, t);
    EXPECT_EQ(ascending.cell(0, 0) + ascending.cell(1, 0) + ascending.cell(2, 0) + ascending.cell(3, 0), "abcD");
    kinds::ReportRowsModel descending({{0, -1, 0, 40, "a"}}, nullptr, 2);
    for (const char* t : {"b", "a", "c"})
        EXPECT_GE(descending.insertRowAt(-1, t), 0);
    EXPECT_EQ(descending.cell(0, 0) + descending.cell(1, 0) + descending.cell(2, 0), "cba");
}

TEST(ListColumns, DamagedColumnBlockIsRefused)
{
    Bytes block = encodeListColumns({{0, -1, 1, 50, "abc"}});
    EXPECT_EQ(block.size(), 13u + 4u);
    EXPECT_TRUE(decodeListColumns(block));
    block.pop_back(); // title without its terminator
    EXPECT_FALSE(decodeListColumns(block));
    EXPECT_TRUE(decodeListColumns({}));
}

} // namespace
} // namespace qr::forms::test
