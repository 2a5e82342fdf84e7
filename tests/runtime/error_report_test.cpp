#include "runtime/allocation.h"
#include "runtime/error_report.h"
#include "runtime/gbk.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstdio>
#include <map>

namespace qr::runtime {
namespace {

using ::testing::ExitedWithCode;
using ::testing::HasSubstr;

constexpr std::uint32_t kStartWindow = 0x52010001; // 1375797249
constexpr std::uint32_t kClassEdit = 0x16010001;   // 369164289

// A registry of one window with one component, as the forms layer will answer.
RuntimeErrorTagLookup oneWindowRegistry()
{
    RuntimeErrorTagLookup tags;
    tags.windowTag = [](std::uint32_t w) -> std::optional<Text> {
        if (w == kStartWindow)
            return Text("启动窗口");
        return std::nullopt;
    };
    tags.componentTag = [](std::uint32_t w, std::uint32_t c) -> std::optional<Text> {
        if (w == kStartWindow && c == kClassEdit)
            return Text("班级");
        return std::nullopt;
    };
    return tags;
}

TEST(RuntimeErrorText, ComposedByteForByte)
{
    const Text context = composeRuntimeErrorContext(kStartWindow, kClassEdit, oneWindowRegistry());
    EXPECT_EQ(context, "\r\n1375797249, 369164289\r\n\"启动窗口\"\r\n\"班级\"\r\n");
    EXPECT_EQ(composeRuntimeErrorText("读取组件属性时发现指定窗口尚未载入", -5, context),
              "运行时出错!\r\n"
              "\r\n错误代码：-5\r\n"
              "\r\n错误信息：读取组件属性时发现指定窗口尚未载入\r\n"
              "\r\n1375797249, 369164289\r\n\"启动窗口\"\r\n\"班级\"\r\n");
    // Without code and message only the heading and the context remain.
    EXPECT_EQ(composeRuntimeErrorText("", 0, "\r\n0, 0\r\n"), "运行时出错!\r\n\r\n0, 0\r\n");
}

TEST(RuntimeErrorText, UnknownWindowsAndComponentsAreNamedAsSuch)
{
    const RuntimeErrorTagLookup tags = oneWindowRegistry();
    EXPECT_EQ(composeRuntimeErrorContext(kStartWindow, 0x16019999, tags),
              "\r\n1375797249, 369203609\r\n\"启动窗口\"\r\n未找到所指定的窗口组件\r\n");
    EXPECT_EQ(composeRuntimeErrorContext(0x52099999, kClassEdit, tags),
              "\r\n1376360857, 369164289\r\n未找到所指定的窗口\r\n");
    // Without a registry every window id is unknown.
    EXPECT_EQ(composeRuntimeErrorContext(kStartWindow, kClassEdit, {}),
              "\r\n1375797249, 369164289\r\n未找到所指定的窗口\r\n");
    // Ids that are no window ids (0 for faults outside any window) name nothing;
    // ids are shown as signed 32-bit numbers.
    EXPECT_EQ(composeRuntimeErrorContext(0, 0, tags), "\r\n0, 0\r\n");
    EXPECT_EQ(composeRuntimeErrorContext(0x90000000, 7, tags), "\r\n-1879048192, 7\r\n");
}

TEST(AllocationFailure, MessageCarriesTheByteCount)
{
    EXPECT_EQ(allocationFailureMessage(1234), "分配 1234 字节内存失败!");
    EXPECT_EQ(allocationFailureMessage(5000000000ULL), "分配 5000000000 字节内存失败!");
}

class RuntimeErrorDeath : public ::testing::Test {
protected:
    void SetUp() override { GTEST_FLAG_SET(death_test_style, "threadsafe"); }
};

TEST_F(RuntimeErrorDeath, WithoutABoxTheReportGoesToStandardErrorAndTheProcessEnds)
{
    const std::string expected = gbkToUtf8("运行时出错!\r\n\r\n错误代码：-3\r\n\r\n错误信息：载入启动窗口失败\r\n"
                                           "\r\n1375797249, 0\r\n未找到所指定的窗口\r\n");
    EXPECT_EXIT(reportRuntimeError("载入启动窗口失败", -3, kStartWindow, 0), ExitedWithCode(255), HasSubstr(expected));
}

TEST_F(RuntimeErrorDeath, TheBoxHookReceivesTheTextAndTheReportIsShownOnce)
{
    auto run = [] {
        RuntimeErrorHooks hooks;
        hooks.tags = oneWindowRegistry();
        hooks.showBox = [](const Text& text) {
            std::fprintf(stderr, "[box active=%d]%s", runtimeErrorReportActive() ? 1 : 0, gbkToUtf8(text).c_str());
            // A fault while the box is up ends the process without a second box.
            reportRuntimeError("second");
        };
        setRuntimeErrorHooks(std::move(hooks));
        reportRuntimeError("first", 0, kStartWindow, kClassEdit);
    };
    const std::string expected =
        "[box active=1]" + gbkToUtf8("运行时出错!\r\n\r\n错误信息：first\r\n\r\n1375797249, 369164289\r\n"
                                     "\"启动窗口\"\r\n\"班级\"\r\n");
    EXPECT_EXIT(run(), ExitedWithCode(255), ::testing::AllOf(HasSubstr(expected), ::testing::Not(HasSubstr("second"))));
}

TEST_F(RuntimeErrorDeath, AllocationFailureEndsTheProgramThroughTheReport)
{
    EXPECT_EXIT(reportAllocationFailure(4096), ExitedWithCode(255),
                HasSubstr(gbkToUtf8("\r\n错误信息：分配 4096 字节内存失败!\r\n")));
}

} // namespace
} // namespace qr::runtime
