// The main window: the list, delete into the recycle store, clearing, the
// toolbar's empty entries, the row menu and Esc.
#include "tests/app/app_fixture.h"

#include "app/component_ids.h"
#include "app/messages.h"
#include "forms/registry/window_registry.h"

#include <filesystem>
#include <fstream>

namespace qr::app::test {
namespace {

using runtime::PressedButton;

std::vector<StudentRecord> fiveStudents()
{
    std::vector<StudentRecord> all;
    for (int k = 1; k <= 5; ++k)
        all.push_back(sampleStudent(k, "学生" + std::to_string(k)));
    return all;
}

class MainWindowTest : public AppTest {};

TEST_F(MainWindowTest, ListShowsStoredNumbersAndNumbersAsText)
{
    StudentRecord s = sampleStudent(7, "王小明");
    s.height = 165;
    s.weight = 45.5f;
    seed(rosterPath(), {s});
    enterMainWindow();
    EXPECT_TRUE(boxes().empty());
    ASSERT_EQ(rowCount(kMainWindow), 1);
    EXPECT_EQ(cell(kMainWindow, 0, 0), "7");
    EXPECT_EQ(cell(kMainWindow, 0, 1), "王小明");
    EXPECT_EQ(cell(kMainWindow, 0, 3), "165");
    EXPECT_EQ(cell(kMainWindow, 0, 4), "45.5");
    EXPECT_EQ(cell(kMainWindow, 0, 8), s.boarding);
    EXPECT_EQ(cell(kMainWindow, 0, 18), s.guardian2Phone);
}

TEST_F(MainWindowTest, EmptyRosterSaysSo)
{
    enterMainWindow();
    ASSERT_EQ(boxes().size(), 1u);
    EXPECT_EQ(boxes()[0].text, text::kNoStudents);
    EXPECT_EQ(boxes()[0].title, text::kNoStudentsTitle);
    EXPECT_EQ(boxes()[0].flags, 48u);
    EXPECT_EQ(rowCount(kMainWindow), 0);
}

TEST_F(MainWindowTest, DeletingRowTwoOfFiveMovesItAndRenumbers)
{
    const auto students = fiveStudents();
    seed(rosterPath(), students);
    seed(recyclePath(), {sampleStudent(1, "早删的")});
    enterMainWindow();
    clickRow(kMainWindow, 1);
    answer(PressedButton::Yes);
    clickToolbar(kMainWindow, "工具条1", 4);
    settle();

    const auto roster = readAll(rosterPath());
    ASSERT_EQ(roster.size(), 4u);
    const char* names[] = {"学生1", "学生3", "学生4", "学生5"};
    for (int k = 0; k < 4; ++k) {
        EXPECT_EQ(roster[k].number, k + 1);
        EXPECT_EQ(roster[k].name, names[k]);
        EXPECT_EQ(cell(kMainWindow, k, 0), std::to_string(k + 1));
    }
    EXPECT_EQ(rowCount(kMainWindow), 4);
    const auto recycle = readAll(recyclePath());
    ASSERT_EQ(recycle.size(), 2u);
    EXPECT_EQ(recycle[1].number, 2);
    EXPECT_EQ(recycle[1].name, "学生2");
    EXPECT_EQ(recycle[1].photo, students[1].photo);
    EXPECT_EQ(recycle[1].idCard, students[1].idCard);
    EXPECT_FLOAT_EQ(recycle[1].weight, students[1].weight);
    EXPECT_TRUE(checkClean(rosterPath()));
    EXPECT_TRUE(checkClean(recyclePath()));
}

TEST_F(MainWindowTest, AStudentWhosePhotoCannotBeReadIsNotMoved)
{
    seed(rosterPath(), fiveStudents());
    // Each seeded photo fits one block, in seeding order: damage the second
    // student's block so that its chain no longer reads back.
    {
        std::filesystem::path aux = rosterPath();
        aux.replace_extension(".EDT");
        std::fstream file(aux, std::ios::in | std::ios::out | std::ios::binary);
        ASSERT_TRUE(file.is_open());
        const std::int32_t impossibleUsedCount = 600;
        file.seekp(2 * 512 + 8);
        file.write(reinterpret_cast<const char*>(&impossibleUsedCount), sizeof impossibleUsedCount);
    }
    enterMainWindow();
    clickRow(kMainWindow, 1);
    answer(PressedButton::Yes);
    forgetBoxes();
    clickToolbar(kMainWindow, "工具条1", 4);
    settle();

    ASSERT_EQ(boxes().size(), 2u);
    EXPECT_EQ(boxes()[1].text, text::kMoveFailed);
    const auto roster = readAll(rosterPath());
    ASSERT_EQ(roster.size(), 5u);
    EXPECT_EQ(roster[1].name, "学生2");
    EXPECT_TRUE(readAll(recyclePath()).empty());
    EXPECT_EQ(rowCount(kMainWindow), 5);
}

TEST_F(MainWindowTest, DeletingTheOnlyStudentThroughTheRowMenuEmptiesTheRoster)
{
    StudentRecord s = sampleStudent(1, "独生");
    s.photo.clear();
    seed(rosterPath(), {s});
    enterMainWindow();
    answer(PressedButton::Yes);
    chooseNextMenuItem("删除该生");
    rightClickRow(kMainWindow, 0);
    settle();
    EXPECT_TRUE(readAll(rosterPath()).empty());
    const auto recycle = readAll(recyclePath());
    ASSERT_EQ(recycle.size(), 1u);
    EXPECT_TRUE(recycle[0].photo.empty());
    EXPECT_EQ(boxTexts().back(), text::kNoStudents);
    EXPECT_EQ(rowCount(kMainWindow), 0);
}

TEST_F(MainWindowTest, DeleteNeedsASelectionAndAYes)
{
    seed(rosterPath(), fiveStudents());
    enterMainWindow();
    clickButton(kMainWindow, "按钮_删除选中行");
    ASSERT_EQ(boxes().size(), 1u);
    EXPECT_EQ(boxes()[0].text, text::kNothingToDelete);
    EXPECT_EQ(boxes()[0].title, "信息：");
    EXPECT_EQ(boxes()[0].flags, 0u);

    clickRow(kMainWindow, 2);
    answer(PressedButton::No);
    clickToolbar(kMainWindow, "工具条1", 4);
    settle();
    EXPECT_EQ(boxes().back().text, text::kAskDelete);
    EXPECT_EQ(boxes().back().title, text::kAskTitle);
    EXPECT_EQ(boxes().back().flags, 4u);
    EXPECT_EQ(readAll(rosterPath()).size(), 5u);
    EXPECT_TRUE(readAll(recyclePath()).empty());
    EXPECT_EQ(rowCount(kMainWindow), 5);
}

TEST_F(MainWindowTest, ClearingTheRosterNeedsTwoYes)
{
    seed(rosterPath(), fiveStudents());
    seed(recyclePath(), {sampleStudent(1, "已删")});
    enterMainWindow();

    answer(PressedButton::No);
    clickToolbar(kMainWindow, "工具条1", 0);
    answer(PressedButton::Yes);
    answer(PressedButton::No);
    clickButton(kMainWindow, "按钮_清空数据库");
    settle();
    EXPECT_EQ(readAll(rosterPath()).size(), 5u);
    EXPECT_EQ(rowCount(kMainWindow), 5);
    EXPECT_EQ(boxes().size(), 3u);

    forgetBoxes();
    answer(PressedButton::Yes);
    answer(PressedButton::Yes);
    clickToolbar(kMainWindow, "工具条1", 0);
    settle();
    ASSERT_EQ(boxes().size(), 3u);
    EXPECT_EQ(boxes()[0].text, text::kAskClear);
    EXPECT_EQ(boxes()[0].title, text::kAskClearTitle);
    EXPECT_EQ(boxes()[1].text, text::kAskClearAgain);
    EXPECT_EQ(boxes()[1].title, text::kAskClearAgainTitle);
    EXPECT_EQ(boxes()[2].text, text::kCleared);
    EXPECT_EQ(boxes()[2].flags, 0u);
    EXPECT_TRUE(readAll(rosterPath()).empty());
    EXPECT_EQ(readAll(recyclePath()).size(), 1u);
    EXPECT_EQ(rowCount(kMainWindow), 0);
    EXPECT_TRUE(checkClean(rosterPath()));
}

TEST_F(MainWindowTest, ToolbarEntriesWithoutCaptionDoNothing)
{
    seed(rosterPath(), fiveStudents());
    enterMainWindow();
    clickRow(kMainWindow, 0);
    clickToolbar(kMainWindow, "工具条1", 10);
    clickToolbar(kMainWindow, "工具条1", 11);
    settle();
    EXPECT_TRUE(boxes().empty());
    EXPECT_EQ(readAll(rosterPath()).size(), 5u);
    EXPECT_EQ(rowCount(kMainWindow), 5);
    for (auto id : {kAddForm, kModifyForm, kDetailView, kDeletedWindow, kAboutWindow})
        EXPECT_FALSE(forms::isLoaded(id));
}

TEST_F(MainWindowTest, DoubleClickAndRowMenuOpenTheSelectedStudent)
{
    seed(rosterPath(), fiveStudents());
    enterMainWindow();
    std::string shown;
    whenModalOpens(kDetailView, [&] {
        shown = content(kDetailView, kDetailViewIds.name, 8);
        pressEsc(kDetailView);
    });
    doubleClickRow(kMainWindow, 3);
    settle();
    EXPECT_EQ(shown, "学生4");

    whenModalOpens(kDetailView, [&] {
        shown = content(kDetailView, kDetailViewIds.name, 8);
        clickButton(kDetailView, "按钮_返回主窗口");
    });
    chooseNextMenuItem("信息查询");
    rightClickRow(kMainWindow, 1);
    settle();
    EXPECT_EQ(shown, "学生2");
    EXPECT_FALSE(forms::isLoaded(kDetailView));
}

TEST_F(MainWindowTest, ViewWithoutSelectionSaysSo)
{
    seed(rosterPath(), fiveStudents());
    enterMainWindow();
    clickButton(kMainWindow, "按钮_信息查询");
    settle();
    ASSERT_EQ(boxes().size(), 1u);
    EXPECT_EQ(boxes()[0].text, text::kNothingToView);
    EXPECT_FALSE(forms::isLoaded(kDetailView));
}

TEST_F(MainWindowTest, AboutOpensBesideAndEscAndExitCloseTheMainWindow)
{
    seed(rosterPath(), fiveStudents());
    enterMainWindow();
    clickToolbar(kMainWindow, "工具条1", 8);
    settle();
    EXPECT_TRUE(forms::isLoaded(kAboutWindow));
    pressEsc(kAboutWindow);
    EXPECT_FALSE(forms::isLoaded(kAboutWindow));

    pressEsc(kMainWindow);
    EXPECT_FALSE(forms::isLoaded(kMainWindow));

    enterMainWindow();
    clickToolbar(kMainWindow, "工具条1", 9);
    settle();
    EXPECT_FALSE(forms::isLoaded(kMainWindow));
}

} // namespace
} // namespace qr::app::test
