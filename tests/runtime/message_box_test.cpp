// The message box as the application meets it: what a presenter is asked for each
// combination of flags, and that the button pressed comes back as an answer the
// caller can tell from every other.
#include "runtime/message_box.h"

#include <gtest/gtest.h>

#include <set>
#include <vector>

namespace qr::runtime {
namespace {

namespace flags = message_box_flags;

// The platform's seven buttons.
constexpr PressedButton kButtons[] = {PressedButton::Ok,    PressedButton::Cancel, PressedButton::Abort,
                                      PressedButton::Retry, PressedButton::Ignore, PressedButton::Yes,
                                      PressedButton::No};

// Answers every box with the prepared button and keeps what it was asked.
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

TEST_F(MessageBoxes, EachButtonPressedComesBackAsAnAnswerOfItsOwn)
{
    std::set<std::int32_t> answers;
    for (const PressedButton button : kButtons) {
        answer = button;
        const std::int32_t got = messageBox(Value::text("x"), flags::kYesNoCancel);
        EXPECT_EQ(got, buttonCode(button)) << static_cast<int>(button);
        EXPECT_TRUE(answers.insert(got).second) << static_cast<int>(button) << " answers like another button";
    }
}

TEST_F(MessageBoxes, APressThatNamesNoButtonIsNeverAYesOrANo)
{
    for (const PressedButton stray : {PressedButton::None, static_cast<PressedButton>(8),
                                      static_cast<PressedButton>(11), static_cast<PressedButton>(-1)}) {
        answer = stray;
        const std::int32_t got = messageBox(Value::text("确定要删除吗？"), flags::kYesNo);
        EXPECT_NE(got, buttonCode(PressedButton::Yes)) << static_cast<int>(stray);
        EXPECT_NE(got, buttonCode(PressedButton::No)) << static_cast<int>(stray);
        EXPECT_EQ(got, buttonCode(PressedButton::Ok)) << static_cast<int>(stray);
    }
}

TEST_F(MessageBoxes, YesNoQuestionsAnswerFiveAndSix)
{
    // The numbers the handlers compare answers with.
    answer = PressedButton::Yes;
    EXPECT_EQ(messageBox(Value::text("确定要删除吗？"), flags::kYesNo, "温馨提醒！"), 5);
    answer = PressedButton::No;
    EXPECT_EQ(messageBox(Value::text("确定要删除吗？"), flags::kYesNo, "温馨提醒！"), 6);
    ASSERT_EQ(asked.size(), 2u);
    EXPECT_EQ(asked[0].text, "确定要删除吗？");
    EXPECT_EQ(asked[0].title, "温馨提醒！");
    EXPECT_FALSE(asked[0].owner.has_value());
}

TEST_F(MessageBoxes, EveryFlagCombinationReachesThePresenterAsGiven)
{
    const std::uint32_t buttonSets[] = {
        flags::kOk, flags::kOkCancel, flags::kAbortRetryIgnore, flags::kYesNoCancel, flags::kYesNo, flags::kRetryCancel,
        0x6};
    const std::uint32_t icons[] = {0, flags::kIconError, flags::kIconQuestion, flags::kIconExclamation,
                                   flags::kIconInformation};
    const std::uint32_t defaults[] = {0x000, 0x100, 0x200};
    const std::uint32_t modalities[] = {0, flags::kSystemModal, flags::kTaskModal};
    for (const std::uint32_t buttons : buttonSets)
        for (const std::uint32_t icon : icons)
            for (const std::uint32_t defaultButton : defaults)
                for (const std::uint32_t modality : modalities) {
                    const std::uint32_t given = buttons | icon | defaultButton | modality;
                    asked.clear();
                    messageBox(Value::text("x"), given);
                    ASSERT_EQ(asked.size(), 1u);
                    const MessageBoxRequest& request = asked[0];
                    EXPECT_EQ(request.buttons(), buttons) << std::hex << given;
                    EXPECT_EQ(request.icon(), icon) << std::hex << given;
                    EXPECT_EQ(request.defaultButton(), int(defaultButton >> 8)) << std::hex << given;
                    // Task-modal unless system-modal; nothing else added or taken away.
                    const std::uint32_t expected = modality == flags::kSystemModal ? given : given | flags::kTaskModal;
                    EXPECT_EQ(request.flags, expected) << std::hex << given;
                }
}

TEST_F(MessageBoxes, FlagsBeyondTheKnownOnesPassThroughUntouched)
{
    messageBox(Value::text("x"), flags::kYesNo | 0x40000);
    ASSERT_EQ(asked.size(), 1u);
    EXPECT_EQ(asked[0].flags, flags::kYesNo | 0x40000u | flags::kTaskModal);
}

TEST_F(MessageBoxes, AMissingTitleBecomesTheDefaultAndTheOwnerIsKept)
{
    messageBox(Value::text("添加成功！"), flags::kIconInformation);
    messageBox(Value::text("x"), 0, "");
    messageBox(Value::text("x"), 0, "标题", 0x52010001);
    ASSERT_EQ(asked.size(), 3u);
    EXPECT_EQ(asked[0].title, kDefaultMessageBoxTitle);
    EXPECT_EQ(asked[1].title, kDefaultMessageBoxTitle);
    EXPECT_EQ(asked[0].title, "信息：");
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
    const std::int32_t got = messageBox(Value::text("确定要清空吗？"), flags::kYesNo);
    const std::string shown = ::testing::internal::GetCapturedStderr();
    EXPECT_NE(got, buttonCode(PressedButton::Yes));
    EXPECT_NE(got, buttonCode(PressedButton::No));
    EXPECT_NE(shown.find(reinterpret_cast<const char*>(u8"确定要清空吗？")), std::string::npos) << shown;
}

} // namespace
} // namespace qr::runtime
