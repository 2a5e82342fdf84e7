// The identity-card box of the add and modify forms: a red frame and the reason
// while the number fails the check, nothing otherwise, and saving as before.
#include "tests/app/app_fixture.h"

#include "app/component_ids.h"
#include "app/messages.h"

#include <QImage>
#include <QLineEdit>

namespace qr::app::test {
namespace {

QLineEdit* idCardBox(std::uint32_t windowId)
{
    return qobject_cast<QLineEdit*>(component(windowId, "编辑框_身份证号"));
}

// Whether the box is drawn with a red frame: its left edge, half-way down.
bool framedRed(QLineEdit* box)
{
    const QColor edge = box->grab().toImage().pixelColor(0, box->height() / 2);
    return edge.red() > 160 && edge.green() < 90 && edge.blue() < 90;
}

void expectNoHint(QLineEdit* box)
{
    EXPECT_FALSE(framedRed(box));
    EXPECT_EQ(box->toolTip(), QString());
    EXPECT_EQ(box->accessibleDescription(), qs("编辑框_身份证号"));
}

void expectHint(QLineEdit* box, std::string_view reasonGbk)
{
    EXPECT_TRUE(framedRed(box));
    EXPECT_EQ(gbk(box->toolTip()), reasonGbk);
    EXPECT_EQ(gbk(box->accessibleDescription()), "编辑框_身份证号：" + std::string(reasonGbk));
}

class IdCardHintTest : public AppTest {};

TEST_F(IdCardHintTest, TheAddFormShowsWhyWhileTheNumberFailsAndSavesAsBefore)
{
    enterMainWindow();
    whenModalOpens(kAddForm, [this] {
        ASSERT_TRUE(waitForBox(text::kSampleNotice));
        QLineEdit* box = idCardBox(kAddForm);
        ASSERT_NE(box, nullptr);
        expectNoHint(box); // the sample number passes

        replaceText(kAddForm, "编辑框_身份证号", "110105194912310021");
        expectHint(box, "校验位应为 X");
        replaceText(kAddForm, "编辑框_身份证号", "1101052001022912");
        expectHint(box, "应为18位（现为16个字符）");
        typeText(kAddForm, "编辑框_身份证号", "38");
        expectHint(box, "出生日期 20010229 不存在");

        // Clearing the samples empties the box: nothing to say about an empty number.
        clickButton(kAddForm, "按钮_清空示例");
        expectNoHint(box);
        replaceText(kAddForm, "编辑框_身份证号", "11010519491231002X");
        expectNoHint(box);

        // A failing number is saved as typed, with no box of its own.
        clickButton(kAddForm, "按钮_清空示例");
        typeText(kAddForm, "编辑框_姓名", "李小花");
        chooseItem(kAddForm, "组合框_性别", 1);
        for (const char* edit : {"编辑框_身高", "编辑框_体重", "编辑框_年龄", "编辑框_学籍辅号", "编辑框_全国学号",
                                 "编辑框_家庭住址", "编辑框_监护1姓名", "编辑框_监护1电话"})
            typeText(kAddForm, edit, "1");
        chooseItem(kAddForm, "组合框_是否住宿", 0);
        chooseItem(kAddForm, "组合框_监护1关系", 0);
        typeText(kAddForm, "编辑框_身份证号", "110105194912310021");
        forgetBoxes();
        clickButton(kAddForm, "按钮_添加");
        EXPECT_EQ(boxTexts(), std::vector<std::string>{std::string(text::kAdded)});
        clickButton(kAddForm, "按钮_返回主窗口");
    });
    clickToolbar(kMainWindow, "工具条1", 2);
    settle();
    const auto roster = readAll(rosterPath());
    ASSERT_EQ(roster.size(), 1u);
    EXPECT_EQ(roster[0].idCard, "110105194912310021");
}

TEST_F(IdCardHintTest, TheModifyFormHintsAtAStoredNumberAndClearsWhenItIsRight)
{
    StudentRecord failing = sampleStudent(1, "甲");
    failing.idCard = "430102201003150021";
    StudentRecord passing = sampleStudent(2, "乙");
    passing.idCard = "430102201003150020";
    seed(rosterPath(), {failing, passing});
    enterMainWindow();

    auto inModifyForm = [](int row, std::function<void(QLineEdit*)> act) {
        clickRow(kMainWindow, row);
        whenModalOpens(kModifyForm, [act] {
            QLineEdit* box = idCardBox(kModifyForm);
            ASSERT_NE(box, nullptr);
            act(box);
            clickButton(kModifyForm, "按钮_返回主窗口");
        });
        clickToolbar(kMainWindow, "工具条1", 3);
        settle();
    };
    inModifyForm(1, [](QLineEdit* box) { expectNoHint(box); });
    inModifyForm(0, [this](QLineEdit* box) {
        expectHint(box, "校验位应为 0");
        replaceText(kModifyForm, "编辑框_身份证号", "430102201003150020");
        expectNoHint(box);
        replaceText(kModifyForm, "编辑框_身份证号", "430102203003150020");
        expectHint(box, "出生日期 20300315 晚于今天");
        forgetBoxes();
        clickButton(kModifyForm, "按钮_修改保存");
        EXPECT_EQ(boxTexts(), std::vector<std::string>{std::string(text::kModified)});
    });
    EXPECT_EQ(readAll(rosterPath())[0].idCard, "430102203003150020");
}

} // namespace
} // namespace qr::app::test
