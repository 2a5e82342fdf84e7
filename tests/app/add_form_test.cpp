// The add form: the sample notice, clearing the samples, validation, numbering,
// the duplicate identity-card check and the photo.
#include "tests/app/app_fixture.h"

#include "app/catalogue/catalogue.h"
#include "app/component_ids.h"
#include "app/messages.h"
#include "forms/registry/window_registry.h"

#include <fstream>

namespace qr::app::test {
namespace {

using runtime::PressedButton;

class AddFormTest : public AppTest {
protected:
    // Opens the add form from the toolbar, runs `act` in it and closes it.
    void inAddForm(std::function<void()> act)
    {
        whenModalOpens(kAddForm, [this, act] {
            // The form is usable once its first activation has shown the notice.
            EXPECT_TRUE(waitForBox(text::kSampleNotice));
            act();
            clickButton(kAddForm, "按钮_返回主窗口");
        });
        clickToolbar(kMainWindow, "工具条1", 2);
        settle();
    }

    // Clears the samples and fills the thirteen required fields.
    static void fillRequired(std::string_view idCard)
    {
        clickButton(kAddForm, "按钮_清空示例");
        typeText(kAddForm, "编辑框_姓名", "李小花");
        chooseItem(kAddForm, "组合框_性别", 1);
        typeText(kAddForm, "编辑框_身高", "165.5");
        typeText(kAddForm, "编辑框_体重", "45.5");
        typeText(kAddForm, "编辑框_年龄", "12岁");
        typeText(kAddForm, "编辑框_学籍辅号", "201707001");
        chooseItem(kAddForm, "组合框_是否住宿", 1);
        typeText(kAddForm, "编辑框_身份证号", idCard);
        typeText(kAddForm, "编辑框_全国学号", "G430102201003150099");
        typeText(kAddForm, "编辑框_家庭住址", "Hollowmere村二组9号");
        chooseItem(kAddForm, "组合框_监护1关系", 2);
        typeText(kAddForm, "编辑框_监护1姓名", "李爷爷");
        typeText(kAddForm, "编辑框_监护1电话", "18800001111");
    }

    std::vector<StudentRecord> numbered(std::initializer_list<int> numbers)
    {
        std::vector<StudentRecord> all;
        for (int n : numbers)
            all.push_back(sampleStudent(n, "学生" + std::to_string(n)));
        return all;
    }
};

TEST_F(AddFormTest, FirstActivationShowsTheSampleNoticeAndEscCloses)
{
    seed(rosterPath(), numbered({1}));
    enterMainWindow();
    forgetBoxes();
    whenModalOpens(kAddForm, [this] {
        EXPECT_TRUE(waitForBox(text::kSampleNotice));
        pressEsc(kAddForm);
        EXPECT_FALSE(forms::isLoaded(kAddForm));
    });
    clickButton(kMainWindow, "按钮_信息添加");
    settle();
    ASSERT_EQ(boxes().size(), 1u);
    EXPECT_EQ(boxes()[0].text, text::kSampleNotice);
    EXPECT_EQ(boxes()[0].title, text::kSampleNoticeTitle);
    EXPECT_EQ(boxes()[0].flags, 0x40u);
}

TEST_F(AddFormTest, SavingRightAfterClearingTheSamplesGivesBothHints)
{
    enterMainWindow();
    forgetBoxes();
    inAddForm([this] {
        forgetBoxes();
        clickButton(kAddForm, "按钮_清空示例");
        clickButton(kAddForm, "按钮_添加");
        EXPECT_EQ(boxTexts(),
                  (std::vector<std::string>{std::string(text::kIncomplete), std::string(text::kNumberHint)}));
        EXPECT_EQ(boxes()[0].title, "信息：");
    });
    EXPECT_TRUE(readAll(rosterPath()).empty());
}

TEST_F(AddFormTest, RequiredFieldsOnlyGiveEmptyOptionalsAndThePlaceholderPhoto)
{
    enterMainWindow();
    inAddForm([this] {
        fillRequired("430102201003150099");
        forgetBoxes();
        clickButton(kAddForm, "按钮_添加");
        ASSERT_EQ(boxes().size(), 1u);
        EXPECT_EQ(boxes()[0].text, text::kAdded);
        EXPECT_EQ(boxes()[0].flags, 0u);
    });
    const auto roster = readAll(rosterPath());
    ASSERT_EQ(roster.size(), 1u);
    const StudentRecord& s = roster[0];
    EXPECT_EQ(s.number, 1);
    EXPECT_EQ(s.name, "李小花");
    EXPECT_EQ(s.sex, "女");
    EXPECT_DOUBLE_EQ(s.height, 165.5);
    EXPECT_FLOAT_EQ(s.weight, 45.5f);
    EXPECT_EQ(s.age, "12岁");
    EXPECT_EQ(s.boarding, "否");
    EXPECT_EQ(s.guardian1Relation, "祖父");
    EXPECT_EQ(s.dormitory, "");
    EXPECT_EQ(s.bed, "");
    EXPECT_EQ(s.guardian2Relation, "");
    EXPECT_EQ(s.guardian2Name, "");
    EXPECT_EQ(s.guardian2Phone, "");
    const auto placeholder = catalogue::placeholderPhotoBytes();
    EXPECT_EQ(s.photo, runtime::ByteSet(placeholder.begin(), placeholder.end()));
    EXPECT_EQ(rowCount(kMainWindow), 1);
    EXPECT_TRUE(checkClean(rosterPath()));
}

TEST_F(AddFormTest, NewNumberIsCountPlusOneBumpedOnceWhenTaken)
{
    seed(rosterPath(), numbered({1, 2, 3, 4, 5}));
    enterMainWindow();
    inAddForm([] {
        fillRequired("111");
        clickButton(kAddForm, "按钮_添加");
    });
    EXPECT_EQ(readAll(rosterPath()).back().number, 6);

    // Records numbered 1, 2 and 4: the candidate 4 is taken, the student gets 5.
    answer(PressedButton::Yes);
    answer(PressedButton::Yes);
    clickToolbar(kMainWindow, "工具条1", 0);
    seed(rosterPath(), numbered({1, 2, 4}));
    inAddForm([] {
        fillRequired("222");
        clickButton(kAddForm, "按钮_添加");
    });
    EXPECT_EQ(readAll(rosterPath()).back().number, 5);
}

TEST_F(AddFormTest, DuplicateIdentityCardIsRefusedButATrailingBlankIsNot)
{
    // Short enough for a blank to fit within the box's 18 bytes.
    std::vector<StudentRecord> one = numbered({1});
    one[0].idCard = "43010220100315";
    seed(rosterPath(), one);
    const std::string taken = one[0].idCard;
    enterMainWindow();
    inAddForm([&] {
        fillRequired(taken);
        forgetBoxes();
        clickButton(kAddForm, "按钮_添加");
        ASSERT_EQ(boxes().size(), 1u);
        EXPECT_EQ(boxes()[0].text, text::kDuplicateIdCard);
        EXPECT_EQ(boxes()[0].flags, 48u);
        typeText(kAddForm, "编辑框_身份证号", " ");
        clickButton(kAddForm, "按钮_添加");
        EXPECT_EQ(boxes().back().text, text::kAdded);
        // The form keeps its contents; the same number again is refused.
        clickButton(kAddForm, "按钮_添加");
        EXPECT_EQ(boxes().back().text, text::kDuplicateIdCard);
    });
    const auto roster = readAll(rosterPath());
    ASSERT_EQ(roster.size(), 2u);
    EXPECT_EQ(roster[1].idCard, taken + " ");
}

TEST_F(AddFormTest, InsertedPhotoIsStoredByteForByteAndACancelKeepsIt)
{
    const auto photoFile = dir() / "photo.jpg";
    const auto placeholder = catalogue::placeholderPhotoBytes();
    runtime::ByteSet photo(placeholder.begin(), placeholder.end());
    photo.push_back(0x42); // trailing bytes after the picture: stored as chosen
    std::ofstream(photoFile, std::ios::binary)
        .write(reinterpret_cast<const char*>(photo.data()), std::streamsize(photo.size()));
    enterMainWindow();
    inAddForm([&] {
        fillRequired("333");
        pickFile(photoFile);
        clickButton(kAddForm, "按钮_插入照片");
        cancelFileDialog();
        clickButton(kAddForm, "按钮_插入照片");
        EXPECT_EQ(fileDialogsShown(), 2);
        clickButton(kAddForm, "按钮_添加");
    });
    const auto roster = readAll(rosterPath());
    ASSERT_EQ(roster.size(), 1u);
    EXPECT_EQ(roster[0].photo, photo);
}

TEST_F(AddFormTest, NonNumericHeightIsStoredAsItsNumericPrefix)
{
    enterMainWindow();
    inAddForm([] {
        fillRequired("444");
        replaceText(kAddForm, "编辑框_身高", "170cm");
        replaceText(kAddForm, "编辑框_体重", "重");
        clickButton(kAddForm, "按钮_添加");
    });
    const auto roster = readAll(rosterPath());
    ASSERT_EQ(roster.size(), 1u);
    EXPECT_DOUBLE_EQ(roster[0].height, 170);
    EXPECT_FLOAT_EQ(roster[0].weight, 0);
}

} // namespace
} // namespace qr::app::test
