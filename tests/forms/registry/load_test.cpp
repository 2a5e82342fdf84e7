// Loading, showing and destroying windows.
#include "registry_fixture.h"

#include "forms/registry/component_kind.h"

#include <QGuiApplication>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QScreen>

namespace qr::forms::testing {
namespace {

using runtime::Value;

std::int32_t readInt(std::uint32_t w, std::uint32_t c, int n) { return readProperty(w, c, n).asInteger(); }

TEST_F(RegistryTest, LoadBuildsTheWindowCentredWithItsCaptionAndFixedClientArea)
{
    ASSERT_TRUE(loadWindow(kMain));
    EXPECT_TRUE(isLoaded(kMain));
    QWidget* window = windowWidget(kMain);
    ASSERT_NE(window, nullptr);
    EXPECT_TRUE(window->isVisible());
    EXPECT_EQ(window->windowTitle(), QString::fromUtf8(u8"测试窗口"));
    // 300 x 200 is the outer size of a fixed frame with a caption bar.
    EXPECT_EQ(window->size(), QSize(294, 171));
    // The shown menu bar takes its height from the client area.
    QWidget* client = componentWidget(kMain, "按钮_确定")->parentWidget();
    EXPECT_LT(client->height(), 171);
    EXPECT_EQ(client->geometry().bottom(), 170);
    EXPECT_EQ(window->minimumSize(), window->maximumSize());
    const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
    EXPECT_EQ(readInt(kMain, kMainRecord, 0), screen.x() + (screen.width() - 300) / 2);
    EXPECT_EQ(readInt(kMain, kMainRecord, 1), screen.y() + (screen.height() - 200) / 2);
    EXPECT_EQ(readInt(kMain, kMainRecord, 2), 300);
    EXPECT_EQ(readInt(kMain, kMainRecord, 3), 200);
    EXPECT_TRUE(window->windowFlags() & Qt::WindowMinimizeButtonHint);
    EXPECT_FALSE(window->windowFlags() & Qt::WindowMaximizeButtonHint);

    auto* edit = componentWidget<QLineEdit>(kMain, "编辑框_姓名");
    ASSERT_NE(edit, nullptr);
    EXPECT_EQ(edit->text(), QString::fromUtf8(u8"小苹果"));
    EXPECT_EQ(edit->geometry(), QRect(10, 10, 120, 25));
    EXPECT_EQ(edit->accessibleDescription(), QString::fromUtf8(u8"编辑框_姓名"));
    EXPECT_EQ(edit->accessibleName(), QString::fromUtf8(u8"姓名"));
    auto* button = componentWidget<QPushButton>(kMain, "按钮_确定");
    ASSERT_NE(button, nullptr);
    EXPECT_EQ(button->accessibleName(), QString::fromUtf8(u8"确定")); // the kind's caption wins
}

TEST_F(RegistryTest, LoadRaisesLoadedMovedResizedInOrderThenActivation)
{
    ASSERT_TRUE(loadWindow(kMain));
    settle();
    std::vector<std::int32_t> windowEvents;
    for (const Call& call : recorder->calls)
        if (call.event.componentId == kMainRecord && call.event.number >= 0)
            windowEvents.push_back(call.event.number);
    ASSERT_GE(windowEvents.size(), 6u);
    EXPECT_EQ(std::vector<std::int32_t>(windowEvents.begin(), windowEvents.begin() + 6),
              (std::vector<std::int32_t>{0, 3, 4, 10, 8, 5}));
    // First activation happens once per load.
    loadWindow(kSecond);
    settle();
    QApplication::setActiveWindow(windowWidget(kMain));
    settle();
    EXPECT_EQ(recorder->count(h::kWindowEvent + 8), 1);
}

TEST_F(RegistryTest, ComponentsAreCreatedFromTheLastRecordToTheFirst)
{
    ASSERT_TRUE(loadWindow(kMain));
    // Window 100; then 编辑框_内 (last record), 分组框1, 编辑框_姓名, 按钮_确定.
    EXPECT_EQ(creationLog(), (std::vector<int>{110, 120, 130, 140}));
    // Earlier records lie above later ones.
    QWidget* client = componentWidget(kMain, "按钮_确定")->parentWidget();
    const QObjectList order = client->children();
    const auto position = [&](const char* name) { return order.indexOf(componentWidget(kMain, name)); };
    EXPECT_GT(position("按钮_确定"), position("编辑框_姓名"));
    EXPECT_GT(position("编辑框_姓名"), position("分组框1"));
}

TEST_F(RegistryTest, MembersLiveInTheirContainerAndHideWithIt)
{
    ASSERT_TRUE(loadWindow(kHiddenMenu));
    QWidget* group = componentWidget(kHiddenMenu, "分组框2");
    QWidget* member = componentWidget(kHiddenMenu, "按钮_内");
    ASSERT_TRUE(group && member);
    EXPECT_EQ(member->parentWidget(), group);
    EXPECT_EQ(member->geometry(), QRect(5, 5, 50, 20));
    EXPECT_FALSE(member->isVisible());
    EXPECT_FALSE(readProperty(kHiddenMenu, kHiddenGroupMember, 5).asLogical());
    writeProperty(kHiddenMenu, kHiddenGroup, 5, Value::logical(true));
    EXPECT_TRUE(member->isVisible());
}

TEST_F(RegistryTest, SecondLoadOnlyActivatesOrRestores)
{
    ASSERT_TRUE(loadWindow(kMain));
    settle();
    const auto loadedEvents = [&] { return recorder->count(h::kWindowEvent); };
    EXPECT_EQ(loadedEvents(), 1);
    QWidget* first = windowWidget(kMain);
    first->showMinimized();
    settle();
    EXPECT_TRUE(loadWindow(kMain));
    EXPECT_EQ(windowWidget(kMain), first);
    EXPECT_FALSE(first->isMinimized());
    EXPECT_EQ(loadedEvents(), 1);
}

TEST_F(RegistryTest, UnknownWindowOrFailingComponentFailsTheLoadCleanly)
{
    EXPECT_FALSE(loadWindow(0x52019999));
    EXPECT_FALSE(loadWindow(kBroken));
    EXPECT_FALSE(isLoaded(kBroken));
    settle();
    EXPECT_EQ(windowWidget(kBroken), nullptr);
    // A modeless load below a parent that is not loaded fails too.
    EXPECT_FALSE(loadWindow(kSecond, kMain));
    ASSERT_TRUE(loadWindow(kMain));
    EXPECT_TRUE(loadWindow(kSecond, kMain));
}

TEST_F(RegistryTest, DeferredDestroyLetsTheHandlerFinishOnALiveWindow)
{
    ASSERT_TRUE(loadWindow(kSecond));
    bool stillLoadedInHandler = false;
    std::string captionReadAfterDestroy;
    recorder->actions[h::kSecondClick] = [&] {
        EXPECT_EQ(currentEventWindow(), kSecond);
        EXPECT_EQ(currentEventComponent(), kSecondButton);
        destroyWindow(kSecond);
        stillLoadedInHandler = isLoaded(kSecond);
        captionReadAfterDestroy = readProperty(kSecond, kSecondButton, 10).asText();
    };
    componentWidget<QPushButton>(kSecond, "按钮_返回")->click();
    EXPECT_TRUE(stillLoadedInHandler);
    EXPECT_EQ(captionReadAfterDestroy, "返回");
    EXPECT_TRUE(isLoaded(kSecond));
    QPointer<QWidget> window = windowWidget(kSecond);
    settle();
    EXPECT_FALSE(isLoaded(kSecond));
    EXPECT_TRUE(window.isNull()); // components and window deleted with it
}

TEST_F(RegistryTest, DestroyAtOnceIsImmediateAndRaisesBeingDestroyed)
{
    ASSERT_TRUE(loadWindow(kMain));
    QPointer<QWidget> edit = componentWidget(kMain, "编辑框_姓名");
    destroyWindow(kMain, true);
    EXPECT_FALSE(isLoaded(kMain));
    EXPECT_NE(recorder->last(h::kWindowEvent + 2), nullptr);
    // Not asked: no close request reached the handlers.
    EXPECT_EQ(recorder->last(h::kWindowEvent + 12), nullptr);
    EXPECT_EQ(recorder->last(h::kWindowEvent + 1), nullptr);
    settle();
    EXPECT_TRUE(edit.isNull());
}

TEST_F(RegistryTest, LoadingAWindowBeingClosedFinishesItAndLoadsAfresh)
{
    ASSERT_TRUE(loadWindow(kMain));
    writeProperty(kMain, kEdit, 8, Value::text("改过"));
    destroyWindow(kMain);
    ASSERT_TRUE(loadWindow(kMain));
    EXPECT_EQ(readProperty(kMain, kEdit, 8).asText(), "小苹果");
    settle(); // the stale request of the old window must not touch the new one
    EXPECT_TRUE(isLoaded(kMain));
}

TEST_F(RegistryTest, EachLoadStartsFromTheTemplateButUnloadedCommonWritesCarryOver)
{
    ASSERT_TRUE(loadWindow(kMain));
    writeProperty(kMain, kEdit, 8, Value::text("小樱桃"));
    writeProperty(kMain, kEdit, 0, Value::integer(77));
    writeProperty(kMain, kEdit, 4, Value::text("标记"));
    destroyWindow(kMain, true);
    settle();
    // Written while loaded: gone.
    EXPECT_EQ(readInt(kMain, kEdit, 0), 10);
    EXPECT_EQ(readProperty(kMain, kEdit, 4).asText(), "");
    // Written while not loaded: kept for the next load.
    writeProperty(kMain, kEdit, 1, Value::integer(40));
    writeProperty(kMain, kButton, 5, Value::logical(false));
    ASSERT_TRUE(loadWindow(kMain));
    EXPECT_EQ(readProperty(kMain, kEdit, 8).asText(), "小苹果");
    EXPECT_EQ(componentWidget(kMain, "编辑框_姓名")->geometry(), QRect(10, 40, 120, 25));
    EXPECT_FALSE(componentWidget(kMain, "按钮_确定")->isVisible());
}

TEST_F(RegistryTest, ModalLoadDisablesOtherWindowsUntilItIsGone)
{
    ASSERT_TRUE(loadWindow(kMain));
    bool mainDisabledMeanwhile = false;
    bool secondWasLoaded = false;
    recorder->actions[h::kSecondLoaded] = [&] {
        // Runs inside the load, before the nested loop starts: close it from the queue.
        QTimer::singleShot(0, [&] {
            secondWasLoaded = isLoaded(kSecond);
            mainDisabledMeanwhile = readProperty(kMain, kMainRecord, 6).asLogical();
            componentWidget<QPushButton>(kSecond, "按钮_返回")->click();
        });
    };
    recorder->actions[h::kSecondClick] = [] { destroyWindow(kSecond); };
    EXPECT_TRUE(loadWindow(kSecond, std::nullopt, true));
    // Returned only once the modal window was gone.
    EXPECT_TRUE(secondWasLoaded);
    EXPECT_FALSE(isLoaded(kSecond));
    EXPECT_TRUE(mainDisabledMeanwhile);
    EXPECT_FALSE(readProperty(kMain, kMainRecord, 6).asLogical());
}

TEST_F(RegistryTest, DestroyingAComponentRemovesItUntilTheNextLoad)
{
    ASSERT_TRUE(loadWindow(kMain));
    QPointer<QWidget> button = componentWidget(kMain, "按钮_确定");
    destroyComponent(kMain, kButton);
    settle();
    EXPECT_TRUE(button.isNull());
    EXPECT_EQ(findComponentObject(kMain, kButton), nullptr);
    destroyWindow(kMain, true);
    ASSERT_TRUE(loadWindow(kMain));
    EXPECT_NE(componentWidget(kMain, "按钮_确定"), nullptr);
}

TEST_F(RegistryTest, LastWindowDestroyedEndsTheMessageLoop)
{
    ASSERT_TRUE(loadWindow(kSecond));
    QTimer::singleShot(0, [] { destroyWindow(kSecond); });
    EXPECT_EQ(runMessageLoop(), 0); // returns: no window is left
    EXPECT_FALSE(isLoaded(kSecond));
}

using RegistryDeathTest = RegistryTest;

TEST_F(RegistryDeathTest, DestroyingAWindowThatIsNotLoadedIsFatal)
{
    EXPECT_EXIT(
        {
            answerModalBoxesWithDefault();
            destroyWindow(kSecond);
        },
        ::testing::ExitedWithCode(255), utf8(u8"指定窗口或窗口组件不存在或尚未载入"));
}

TEST_F(RegistryDeathTest, AStartWindowThatCannotLoadEndsTheProgram)
{
    EXPECT_EXIT(
        {
            answerModalBoxesWithDefault();
            loadStartWindow(kBroken);
        },
        ::testing::ExitedWithCode(255), utf8(u8"载入启动窗口失败"));
}

} // namespace
} // namespace qr::forms::testing
