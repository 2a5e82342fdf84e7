// Ctrl+F in the main and deleted-students windows: the find box selects matching
// rows without touching the list's order, Enter goes on (round to the top), Esc
// closes the box and leaves the window open.
#include "tests/app/app_fixture.h"

#include "app/component_ids.h"
#include "app/find_box.h"
#include "app/messages.h"
#include "forms/registry/window_registry.h"

#include <QApplication>
#include <QLineEdit>
#include <QTest>

namespace qr::app::test {
namespace {

QLineEdit* findBox(std::uint32_t windowId) { return qobject_cast<QLineEdit*>(component(windowId, kFindBoxName)); }

QLineEdit* openFindBox(std::uint32_t windowId)
{
    QWidget* top = window(windowId);
    EXPECT_NE(top, nullptr);
    if (top == nullptr)
        return nullptr;
    top->activateWindow();
    QTest::keyClick(top->focusWidget() ? top->focusWidget() : top, Qt::Key_F, Qt::ControlModifier);
    settle();
    return findBox(windowId);
}

int selected(std::uint32_t windowId)
{
    const std::uint32_t list = windowId == kMainWindow ? main_window::kList : deleted_window::kList;
    return forms::readProperty(windowId, list, property::kListCurrentRow).asInteger();
}

std::vector<std::string> names(std::uint32_t windowId)
{
    std::vector<std::string> out;
    for (int r = 0; r < rowCount(windowId); ++r)
        out.push_back(cell(windowId, r, 1));
    return out;
}

class FindBoxTest : public AppTest {
protected:
    std::vector<StudentRecord> students(const std::string& prefix)
    {
        std::vector<StudentRecord> all;
        for (int k = 1; k <= 5; ++k)
            all.push_back(sampleStudent(k, prefix + std::to_string(k)));
        all[3].name = "王小明";
        return all;
    }
};

TEST_F(FindBoxTest, TypingSelectsTheFirstMatchAndEnterTheNextRoundToTheTop)
{
    seed(rosterPath(), students("学生"));
    enterMainWindow();
    const auto listed = names(kMainWindow);
    EXPECT_EQ(findBox(kMainWindow) == nullptr || !findBox(kMainWindow)->isVisible(), true);

    QLineEdit* box = openFindBox(kMainWindow);
    ASSERT_NE(box, nullptr);
    EXPECT_TRUE(box->isVisible());
    EXPECT_TRUE(box->hasFocus());

    forgetBoxes();
    typeText(kMainWindow, kFindBoxName, "小明"); // 姓名
    EXPECT_EQ(selected(kMainWindow), 3);
    replaceText(kMainWindow, kFindBoxName, "r3"); // 学籍辅号, either case
    EXPECT_EQ(selected(kMainWindow), 2);
    replaceText(kMainWindow, kFindBoxName, "G43010220100315005"); // 全国学号
    EXPECT_EQ(selected(kMainWindow), 4);

    // Every 身份证号 holds 0315002: Enter walks the rows and comes round to the top.
    replaceText(kMainWindow, kFindBoxName, "0315002");
    EXPECT_EQ(selected(kMainWindow), 0);
    std::vector<int> walked;
    for (int k = 0; k < 5; ++k) {
        QTest::keyClick(box, Qt::Key_Return);
        walked.push_back(selected(kMainWindow));
    }
    EXPECT_EQ(walked, (std::vector<int>{1, 2, 3, 4, 0}));

    // Nothing matches: the selection stays where it was.
    replaceText(kMainWindow, kFindBoxName, "没有这个人");
    EXPECT_EQ(selected(kMainWindow), 0);

    EXPECT_TRUE(boxes().empty());
    EXPECT_EQ(names(kMainWindow), listed); // nothing hidden or reordered
}

TEST_F(FindBoxTest, EscClosesTheBoxAndTheFoundRowIsTheRecordActedOn)
{
    seed(rosterPath(), students("学生"));
    enterMainWindow();
    ASSERT_NE(openFindBox(kMainWindow), nullptr);
    typeText(kMainWindow, kFindBoxName, "王");
    ASSERT_EQ(selected(kMainWindow), 3);
    pressEsc(kMainWindow);
    EXPECT_TRUE(forms::isLoaded(kMainWindow));
    EXPECT_FALSE(findBox(kMainWindow)->isVisible());

    // The modify form opens on record 4, the row found.
    whenModalOpens(kModifyForm, [] {
        EXPECT_EQ(content(kModifyForm, kModifyFormIds.name, property::kEditContent), "王小明");
        clickButton(kModifyForm, "按钮_返回主窗口");
    });
    clickToolbar(kMainWindow, "工具条1", 3);
    settle();
    EXPECT_FALSE(forms::isLoaded(kModifyForm));
}

TEST_F(FindBoxTest, TheDeletedStudentsWindowHasItsOwnBox)
{
    seed(rosterPath(), students("在"));
    seed(recyclePath(), students("删"));
    enterMainWindow();
    clickToolbar(kMainWindow, "工具条1", 7);
    settle();
    ASSERT_TRUE(forms::isLoaded(kDeletedWindow));

    QLineEdit* box = openFindBox(kDeletedWindow);
    ASSERT_NE(box, nullptr);
    EXPECT_TRUE(box->isVisible());
    typeText(kDeletedWindow, kFindBoxName, "删5");
    EXPECT_EQ(selected(kDeletedWindow), 4);
    EXPECT_EQ(selected(kMainWindow), -1); // the main list is not searched

    // The first Esc closes the box, the next one the window, as before.
    pressEsc(kDeletedWindow);
    EXPECT_TRUE(forms::isLoaded(kDeletedWindow));
    EXPECT_FALSE(box->isVisible());
    pressEsc(kDeletedWindow);
    EXPECT_FALSE(forms::isLoaded(kDeletedWindow));
}

} // namespace
} // namespace qr::app::test
