// The deleted-students window: restore with renumbering, purge, and moves
// between the stores that fail or outlive the main window.
#include "tests/app/app_fixture.h"

#include "app/component_ids.h"
#include "app/messages.h"
#include "forms/registry/window_registry.h"

namespace qr::app::test {
namespace {

using runtime::PressedButton;

class DeletedWindowTest : public AppTest {
protected:
    std::vector<StudentRecord> three(const std::string& prefix)
    {
        std::vector<StudentRecord> all;
        for (int k = 1; k <= 3; ++k)
            all.push_back(sampleStudent(k, prefix + std::to_string(k)));
        return all;
    }

    void openDeletedWindow()
    {
        clickToolbar(kMainWindow, "工具条1", 7);
        settle();
        ASSERT_TRUE(forms::isLoaded(kDeletedWindow));
    }
};

TEST_F(DeletedWindowTest, RestoringRowOneOfThreeAppendsToTheRosterAndRenumbers)
{
    const auto deleted = three("删");
    seed(recyclePath(), deleted);
    seed(rosterPath(), three("在"));
    enterMainWindow();
    openDeletedWindow();
    ASSERT_EQ(rowCount(kDeletedWindow), 3);
    clickRow(kDeletedWindow, 0);
    answer(PressedButton::Yes);
    clickToolbar(kDeletedWindow, "工具条1", 1);
    settle();

    const auto recycle = readAll(recyclePath());
    ASSERT_EQ(recycle.size(), 2u);
    EXPECT_EQ(recycle[0].name, "删2");
    EXPECT_EQ(recycle[0].number, 1);
    EXPECT_EQ(recycle[1].name, "删3");
    EXPECT_EQ(recycle[1].number, 2);
    EXPECT_EQ(rowCount(kDeletedWindow), 2);
    EXPECT_EQ(cell(kDeletedWindow, 1, 0), "2");

    const auto roster = readAll(rosterPath());
    ASSERT_EQ(roster.size(), 4u);
    EXPECT_EQ(roster[3].name, "删1");
    EXPECT_EQ(roster[3].number, 4);
    EXPECT_EQ(roster[3].photo, deleted[0].photo);
    EXPECT_EQ(rowCount(kMainWindow), 4);
    EXPECT_TRUE(checkClean(rosterPath()));
    EXPECT_TRUE(checkClean(recyclePath()));
}

TEST_F(DeletedWindowTest, AFractionalHeightSurvivesDeleteAndRestore)
{
    StudentRecord s = sampleStudent(1, "高个");
    s.height = 165.5;
    s.weight = 45.5f;
    seed(rosterPath(), {s});
    enterMainWindow();
    clickRow(kMainWindow, 0);
    answer(PressedButton::Yes);
    clickButton(kMainWindow, "按钮_删除选中行");
    settle();
    EXPECT_DOUBLE_EQ(readAll(recyclePath()).at(0).height, 165.5);

    openDeletedWindow();
    clickRow(kDeletedWindow, 0);
    answer(PressedButton::Yes);
    clickButton(kDeletedWindow, "按钮_误删还原");
    settle();
    const auto roster = readAll(rosterPath());
    ASSERT_EQ(roster.size(), 1u);
    EXPECT_DOUBLE_EQ(roster[0].height, 165.5);
    EXPECT_FLOAT_EQ(roster[0].weight, 45.5f);
    EXPECT_EQ(roster[0].photo, s.photo);
    EXPECT_EQ(cell(kMainWindow, 0, 3), "165.5");
    EXPECT_EQ(rowCount(kDeletedWindow), 0);
}

TEST_F(DeletedWindowTest, RestoreAfterTheMainWindowIsGoneStillMovesTheStudent)
{
    seed(recyclePath(), three("删"));
    enterMainWindow();
    openDeletedWindow();
    clickToolbar(kMainWindow, "工具条1", 9);
    settle();
    ASSERT_FALSE(forms::isLoaded(kMainWindow));
    clickRow(kDeletedWindow, 2);
    answer(PressedButton::Yes);
    clickToolbar(kDeletedWindow, "工具条1", 1);
    settle();
    EXPECT_EQ(readAll(rosterPath()).size(), 1u);
    EXPECT_EQ(readAll(recyclePath()).size(), 2u);
    EXPECT_EQ(rowCount(kDeletedWindow), 2);
}

TEST_F(DeletedWindowTest, RestoreNeedsASelectionAndAYes)
{
    seed(recyclePath(), three("删"));
    enterMainWindow();
    openDeletedWindow();
    forgetBoxes();
    clickToolbar(kDeletedWindow, "工具条1", 1);
    ASSERT_EQ(boxes().size(), 1u);
    EXPECT_EQ(boxes()[0].text, text::kNothingToRestore);
    clickRow(kDeletedWindow, 1);
    answer(PressedButton::No);
    clickButton(kDeletedWindow, "按钮_误删还原");
    EXPECT_EQ(boxes().back().text, text::kAskRestore);
    EXPECT_EQ(boxes().back().flags, 4u);
    EXPECT_EQ(readAll(recyclePath()).size(), 3u);
}

TEST_F(DeletedWindowTest, PurgeNeedsTwoYesAndLeavesTheRosterAlone)
{
    seed(recyclePath(), three("删"));
    seed(rosterPath(), three("在"));
    enterMainWindow();
    openDeletedWindow();
    answer(PressedButton::Yes);
    answer(PressedButton::No);
    clickToolbar(kDeletedWindow, "工具条1", 0);
    EXPECT_EQ(readAll(recyclePath()).size(), 3u);

    forgetBoxes();
    answer(PressedButton::Yes);
    answer(PressedButton::Yes);
    clickButton(kDeletedWindow, "按钮_清空全部");
    ASSERT_EQ(boxes().size(), 3u);
    EXPECT_EQ(boxes()[2].text, text::kCleared);
    EXPECT_TRUE(readAll(recyclePath()).empty());
    EXPECT_EQ(rowCount(kDeletedWindow), 0);
    EXPECT_EQ(readAll(rosterPath()).size(), 3u);
    EXPECT_TRUE(checkClean(recyclePath()));
}

TEST_F(DeletedWindowTest, EmptyEntriesDoNothingAndEscAndReturnClose)
{
    seed(recyclePath(), three("删"));
    enterMainWindow();
    openDeletedWindow();
    clickRow(kDeletedWindow, 0);
    forgetBoxes();
    clickToolbar(kDeletedWindow, "工具条1", 3);
    clickToolbar(kDeletedWindow, "工具条1", 4);
    settle();
    EXPECT_TRUE(boxes().empty());
    EXPECT_EQ(readAll(recyclePath()).size(), 3u);
    pressEsc(kDeletedWindow);
    EXPECT_FALSE(forms::isLoaded(kDeletedWindow));
    openDeletedWindow();
    clickToolbar(kDeletedWindow, "工具条1", 2);
    settle();
    EXPECT_FALSE(forms::isLoaded(kDeletedWindow));
    EXPECT_TRUE(forms::isLoaded(kMainWindow));
}

TEST_F(DeletedWindowTest, AMoveThatCannotReachTheOtherStoreChangesNothing)
{
    const auto students = three("在");
    seed(rosterPath(), students);
    enterMainWindow();
    removeStore(recyclePath());
    clickRow(kMainWindow, 1);
    answer(PressedButton::Yes);
    forgetBoxes();
    clickToolbar(kMainWindow, "工具条1", 4);
    settle();
    ASSERT_EQ(boxes().size(), 2u);
    EXPECT_EQ(boxes()[1].text, text::kMoveFailed);
    EXPECT_EQ(boxes()[1].flags, 48u);
    const auto roster = readAll(rosterPath());
    ASSERT_EQ(roster.size(), 3u);
    EXPECT_EQ(roster[1].name, "在2");
    EXPECT_EQ(rowCount(kMainWindow), 3);
    EXPECT_TRUE(checkClean(rosterPath()));
}

TEST_F(DeletedWindowTest, FailedWritesAreNotReportedAsSuccess)
{
    seed(rosterPath(), three("在"));
    seed(recyclePath(), three("删"));
    enterMainWindow();
    openDeletedWindow();
    removeStore(rosterPath());

    // Restore into a roster that is gone: the recycle store keeps the student.
    clickRow(kDeletedWindow, 0);
    answer(PressedButton::Yes);
    forgetBoxes();
    clickButton(kDeletedWindow, "按钮_误删还原");
    EXPECT_EQ(boxTexts().back(), text::kMoveFailed);
    EXPECT_EQ(readAll(recyclePath()).size(), 3u);

    // Clearing a roster that cannot be opened.
    forgetBoxes();
    answer(PressedButton::Yes);
    answer(PressedButton::Yes);
    clickToolbar(kMainWindow, "工具条1", 0);
    EXPECT_EQ(boxTexts().back(), text::kNotSaved);
    EXPECT_EQ(boxes().back().flags, 48u);

    // Adding to it.
    whenModalOpens(kAddForm, [this] {
        EXPECT_TRUE(waitForBox(text::kSampleNotice));
        forgetBoxes();
        clickButton(kAddForm, "按钮_添加");
        EXPECT_EQ(boxTexts(), std::vector<std::string>{std::string(text::kNotSaved)});
        clickButton(kAddForm, "按钮_返回主窗口");
    });
    clickButton(kMainWindow, "按钮_信息添加");
    settle();
}

} // namespace
} // namespace qr::app::test
