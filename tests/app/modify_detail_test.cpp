// The modify form and the detail view: position-based selection, saving in place,
// texts outside the combos' lists, and a roster that cannot be read.
#include "tests/app/app_fixture.h"

#include "app/component_ids.h"
#include "app/messages.h"
#include "forms/registry/window_registry.h"

#include <fstream>

namespace qr::app::test {
namespace {

class ModifyDetailTest : public AppTest {
protected:
    void seedFive(std::function<void(std::vector<StudentRecord>&)> adjust = {})
    {
        for (int k = 1; k <= 5; ++k)
            students_.push_back(sampleStudent(k, "学生" + std::to_string(k)));
        if (adjust)
            adjust(students_);
        seed(rosterPath(), students_);
    }

    void inModifyForm(int row, std::function<void()> act)
    {
        clickRow(kMainWindow, row);
        whenModalOpens(kModifyForm, [act] {
            act();
            clickButton(kModifyForm, "按钮_返回主窗口");
        });
        clickToolbar(kMainWindow, "工具条1", 3);
        settle();
    }

    static int selection(std::uint32_t windowId, std::uint32_t comboId)
    {
        return forms::readProperty(windowId, comboId, 19).asInteger();
    }

    std::vector<StudentRecord> students_;
};

TEST_F(ModifyDetailTest, SavingRowTwoOfFiveRewritesRecordThreeAndKeepsItsNumber)
{
    seedFive([](auto& s) { s[2].number = 30; });
    enterMainWindow();
    inModifyForm(2, [this] {
        EXPECT_EQ(content(kModifyForm, kModifyFormIds.name, 8), "学生3");
        EXPECT_EQ(content(kModifyForm, kModifyFormIds.height, 8), "153");
        replaceText(kModifyForm, "编辑框_姓名", "张三丰");
        replaceText(kModifyForm, "编辑框_身高", "165.5");
        forgetBoxes();
        clickButton(kModifyForm, "按钮_修改保存");
        ASSERT_EQ(boxes().size(), 1u);
        EXPECT_EQ(boxes()[0].text, text::kModified);
        EXPECT_EQ(boxes()[0].flags, 0u);
    });
    const auto roster = readAll(rosterPath());
    ASSERT_EQ(roster.size(), 5u);
    EXPECT_EQ(roster[2].number, 30);
    EXPECT_EQ(roster[2].name, "张三丰");
    EXPECT_DOUBLE_EQ(roster[2].height, 165.5);
    EXPECT_EQ(roster[2].photo, students_[2].photo);
    EXPECT_EQ(roster[2].idCard, students_[2].idCard);
    for (int k : {0, 1, 3, 4})
        EXPECT_EQ(roster[k].name, students_[k].name);
    EXPECT_EQ(cell(kMainWindow, 2, 1), "张三丰");
    EXPECT_TRUE(checkClean(rosterPath()));
}

TEST_F(ModifyDetailTest, TextsOutsideTheListsAreShownAndSavedUnchanged)
{
    seedFive([](auto& s) {
        s[0].guardian2Relation = "";
        s[0].guardian1Relation = "干爹";
        s[0].boarding = "走读";
    });
    enterMainWindow();
    inModifyForm(0, [this] {
        EXPECT_EQ(selection(kModifyForm, kModifyFormIds.guardian2Relation), 11);
        EXPECT_EQ(content(kModifyForm, kModifyFormIds.guardian1Relation, 9), "干爹");
        EXPECT_EQ(content(kModifyForm, kModifyFormIds.boarding, 9), "走读");
        EXPECT_EQ(content(kModifyForm, kModifyFormIds.sex, 9), "    男");
        clickButton(kModifyForm, "按钮_修改保存");
    });
    auto roster = readAll(rosterPath());
    EXPECT_EQ(roster[0].guardian2Relation, "");
    EXPECT_EQ(roster[0].guardian1Relation, "干爹");
    EXPECT_EQ(roster[0].boarding, "走读");
    EXPECT_EQ(roster[0].sex, "男");

    // Picking a listed item replaces the unlisted text.
    inModifyForm(0, [] {
        chooseItem(kModifyForm, "组合框_监护1关系", 1);
        clickButton(kModifyForm, "按钮_修改保存");
    });
    EXPECT_EQ(readAll(rosterPath())[0].guardian1Relation, "母亲");

    // The detail view shows the same.
    clickRow(kMainWindow, 0);
    whenModalOpens(kDetailView, [] {
        EXPECT_EQ(content(kDetailView, kDetailViewIds.boarding, 9), "走读");
        EXPECT_EQ(selection(kDetailView, kDetailViewIds.guardian2Relation), 11);
        pressEsc(kDetailView);
    });
    clickButton(kMainWindow, "按钮_信息查询");
    settle();
}

TEST_F(ModifyDetailTest, DetailViewShowsNoSamplePhotoAndNumbersAsStored)
{
    seedFive([](auto& s) {
        s[1].photo.clear();
        s[1].weight = 45.5f;
        s[1].height = 165;
    });
    enterMainWindow();
    clickRow(kMainWindow, 1);
    whenModalOpens(kDetailView, [] {
        EXPECT_TRUE(forms::readProperty(kDetailView, kDetailViewIds.photo, 10).asByteSet().empty());
        EXPECT_EQ(content(kDetailView, kDetailViewIds.weight, 8), "45.5");
        EXPECT_EQ(content(kDetailView, kDetailViewIds.height, 8), "165");
        clickButton(kDetailView, "按钮_返回主窗口");
    });
    clickButton(kMainWindow, "按钮_信息查询");
    settle();
    EXPECT_FALSE(forms::isLoaded(kDetailView));
}

TEST_F(ModifyDetailTest, ModifyWithoutSelectionSaysSo)
{
    seedFive();
    enterMainWindow();
    clickButton(kMainWindow, "按钮_信息修改");
    ASSERT_EQ(boxes().size(), 1u);
    EXPECT_EQ(boxes()[0].text, text::kNothingToModify);
    EXPECT_FALSE(forms::isLoaded(kModifyForm));
}

TEST_F(ModifyDetailTest, UnreadableRosterKeepsBothWindowsClosed)
{
    seedFive();
    enterMainWindow();
    clickRow(kMainWindow, 1);
    removeStore(rosterPath());
    forgetBoxes();
    chooseNextMenuItem("信息修改");
    rightClickRow(kMainWindow, 1);
    doubleClickRow(kMainWindow, 1);
    settle();
    ASSERT_EQ(boxes().size(), 2u);
    for (const ShownBox& box : boxes()) {
        EXPECT_EQ(box.text, text::kCannotRead);
        EXPECT_EQ(box.flags, 48u);
    }
    EXPECT_FALSE(forms::isLoaded(kModifyForm));
    EXPECT_FALSE(forms::isLoaded(kDetailView));
}

TEST_F(ModifyDetailTest, CancelledPhotoDialogKeepsThePhoto)
{
    seedFive();
    const auto newPhoto = dir() / "new.bin";
    std::ofstream(newPhoto, std::ios::binary) << "\x89PNG-not-really";
    enterMainWindow();
    inModifyForm(4, [this, newPhoto] {
        cancelFileDialog();
        clickButton(kModifyForm, "按钮_替换照片");
        clickButton(kModifyForm, "按钮_修改保存");
    });
    EXPECT_EQ(readAll(rosterPath())[4].photo, students_[4].photo);

    clickRow(kMainWindow, 4);
    whenModalOpens(kModifyForm, [] {
        pressEsc(kModifyForm);
        EXPECT_FALSE(forms::isLoaded(kModifyForm));
    });
    clickButton(kMainWindow, "按钮_信息修改");
    settle();

    inModifyForm(4, [this, newPhoto] {
        pickFile(newPhoto);
        clickButton(kModifyForm, "按钮_替换照片");
        clickButton(kModifyForm, "按钮_修改保存");
    });
    const std::string written = "\x89PNG-not-really";
    const runtime::ByteSet expected(written.begin(), written.end());
    EXPECT_EQ(readAll(rosterPath())[4].photo, expected);
}

TEST_F(ModifyDetailTest, SaveIntoAVanishedRosterIsNotReportedAsSuccess)
{
    seedFive();
    enterMainWindow();
    inModifyForm(0, [this] {
        removeStore(rosterPath());
        forgetBoxes();
        clickButton(kModifyForm, "按钮_修改保存");
        EXPECT_EQ(boxTexts(), std::vector<std::string>{std::string(text::kNotSaved)});
        EXPECT_EQ(boxes().at(0).flags, 48u);
    });
}

} // namespace
} // namespace qr::app::test
