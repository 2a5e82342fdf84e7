#include "runtime/message_box.h"

#include <gtest/gtest.h>

#include <vector>

namespace qr::runtime {
namespace {

namespace flags = message_box_flags;

// Answers every box with the next prepared button and keeps what it was asked.
class MessageBoxes : public ::testing::Test {
protected:
    void SetUp() override
    {
        setMessageBoxPresenter([this](const MessageBoxRequest& request) {
            asked.push_back(request);
            return answer;
        });
    }
    void TearDown() override { setMessageBoxPresenter({}); }

    PressedButton answer = PressedButton::Ok;
    std::vector<MessageBoxRequest> asked;
};

TEST_F(MessageBoxes, YesNoQuestionsAnswerFiveAndSix)
{
    answer = PressedButton::Yes;
    EXPECT_EQ(messageBox(Value::text("确定要删除吗？"), flags::kYesNo, "温馨提醒！"), 5);
    answer = PressedButton::No;
    EXPECT_EQ(messageBox(Value::text("确定要删除吗？"), flags::kYesNo, "温馨提醒！"), 6);
    ASSERT_EQ(asked.size(), 2u);
    EXPECT_EQ(asked[0].text, "确定要删除吗？");
    EXPECT_EQ(asked[0].title, "温馨提醒！");
    EXPECT_EQ(asked[0].buttons(), flags::kYesNo);
    EXPECT_FALSE(asked[0].owner.has_value());
}

TEST_F(MessageBoxes, EveryButtonMapsToItsCode)
{
    const std::pair<PressedButton, int> codes[] = {
        {PressedButton::Ok, 0},    {PressedButton::Cancel, 1}, {PressedButton::Abort, 2}, {PressedButton::Retry, 3},
        {PressedButton::Ignore, 4}, {PressedButton::Yes, 5},   {PressedButton::No, 6},    {PressedButton::None, 0},
        {static_cast<PressedButton>(11), 0}};
    for (const auto& [button, code] : codes) {
        answer = button;
        EXPECT_EQ(messageBox(Value::text("x")), code) << static_cast<int>(button);
    }
}

TEST_F(MessageBoxes, BoxesAreTaskModalUnlessSystemModal)
{
    messageBox(Value::text("a"), 0x30);
    messageBox(Value::text("b"), flags::kSystemModal | flags::kIconInformation);
    messageBox(Value::text("c"), flags::kTaskModal | flags::kYesNo | 0x100);
    ASSERT_EQ(asked.size(), 3u);
    EXPECT_EQ(asked[0].flags, 0x2030u);
    EXPECT_EQ(asked[0].icon(), flags::kIconExclamation);
    EXPECT_EQ(asked[1].flags, 0x1040u);
    EXPECT_EQ(asked[2].flags, 0x2104u);
    EXPECT_EQ(asked[2].defaultButton(), 1);
}

TEST_F(MessageBoxes, AMissingTitleBecomesTheDefault)
{
    messageBox(Value::text("添加成功！"), flags::kIconInformation);
    messageBox(Value::text("x"), 0, "");
    messageBox(Value::text("x"), 0, "标题", 0x52010001);
    EXPECT_EQ(asked[0].title, "信息：");
    EXPECT_EQ(asked[1].title, "信息：");
    EXPECT_EQ(asked[2].title, "标题");
    EXPECT_EQ(asked[2].owner, 0x52010001u);
}

TEST(MessageBoxText, ValuesBecomeTextButByteSetsShowNothing)
{
    EXPECT_EQ(messageBoxText(Value::doubleFloat(170.0)), "170");
    EXPECT_EQ(messageBoxText(Value::integer(-3)), "-3");
    EXPECT_EQ(messageBoxText(Value::logical(true)), "真");
    EXPECT_EQ(messageBoxText(Value::dateTime(43831.75)), "2020年1月1日18时");
    EXPECT_EQ(messageBoxText(Value::byteSet({'a', 'b'})), "");
    EXPECT_EQ(messageBoxText(Value()), "");
}

TEST(MessageBoxWithoutPresenter, NobodyAnsweredIsNeverYes)
{
    setMessageBoxPresenter({});
    ::testing::internal::CaptureStderr();
    EXPECT_EQ(messageBox(Value::text("确定要清空吗？"), flags::kYesNo), 0);
    const std::string shown = ::testing::internal::GetCapturedStderr();
    EXPECT_NE(shown.find(reinterpret_cast<const char*>(u8"确定要清空吗？")), std::string::npos) << shown;
}

} // namespace
} // namespace qr::runtime
