// Input delivered as real Qt events reaching the bound handlers, close requests,
// the tray icon and pop-up menus.
#include "registry_fixture.h"

#include "forms/registry/component_kind.h"

#include <QBuffer>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QSystemTrayIcon>
#include <QTest>

namespace qr::forms::testing {
namespace {

using runtime::Value;

constexpr int input(int base, int event) { return base + 100 + event; }

std::vector<std::int32_t> ints(const Call& call)
{
    std::vector<std::int32_t> out;
    for (const Value& v : call.event.args)
        out.push_back(v.asInteger());
    return out;
}

class InputTest : public RegistryTest {
protected:
    void SetUp() override
    {
        RegistryTest::SetUp();
        ASSERT_TRUE(loadWindow(kMain));
        settle();
        edit = componentWidget<QLineEdit>(kMain, "编辑框_姓名");
        button = componentWidget<QPushButton>(kMain, "按钮_确定");
        ASSERT_TRUE(edit && button);
        recorder->calls.clear();
    }
    QLineEdit* edit = nullptr;
    QPushButton* button = nullptr;
};

TEST_F(InputTest, KeysArriveAsVirtualKeyCodesWithKeyState)
{
    QTest::keyClick(edit, Qt::Key_Return);
    const Call* down = recorder->last(input(h::kEditInput, -9));
    ASSERT_NE(down, nullptr);
    EXPECT_EQ(down->event.windowId, kMain);
    EXPECT_EQ(down->event.componentId, kEdit);
    EXPECT_EQ(down->event.number, -9);
    EXPECT_EQ(ints(*down), (std::vector<std::int32_t>{13, 0}));
    EXPECT_EQ(ints(*recorder->last(input(h::kEditInput, -10))), (std::vector<std::int32_t>{13, 0}));

    QTest::keyClick(edit, Qt::Key_A, Qt::ControlModifier);
    EXPECT_EQ(ints(*recorder->last(input(h::kEditInput, -9))), (std::vector<std::int32_t>{0x41, 1}));
    QTest::keyClick(edit, Qt::Key_Exclam, Qt::ShiftModifier | Qt::AltModifier);
    EXPECT_EQ(ints(*recorder->last(input(h::kEditInput, -9))), (std::vector<std::int32_t>{'1', 6}));
    // A modifier alone does not report itself as held.
    QTest::keyPress(edit, Qt::Key_Shift, Qt::ShiftModifier);
    EXPECT_EQ(ints(*recorder->last(input(h::kEditInput, -9))), (std::vector<std::int32_t>{0x10, 0}));
    QTest::keyRelease(edit, Qt::Key_Shift, Qt::ShiftModifier);
}

TEST_F(InputTest, KeypadKeysFoldOntoTheMainKeys)
{
    const auto keypad = [&](Qt::Key key) {
        QTest::keyClick(edit, key, Qt::KeypadModifier);
        return ints(*recorder->last(input(h::kEditInput, -9))).front();
    };
    EXPECT_EQ(keypad(Qt::Key_0), 0x30);
    EXPECT_EQ(keypad(Qt::Key_7), 0x37);
    EXPECT_EQ(keypad(Qt::Key_Minus), 189);
    EXPECT_EQ(keypad(Qt::Key_Period), 190);
    EXPECT_EQ(keypad(Qt::Key_Slash), 191);
    EXPECT_EQ(keypad(Qt::Key_Enter), 13);
}

TEST_F(InputTest, AKeyDownHandlerAnsweringFalseSwallowsTheKey)
{
    edit->setText(QString());
    recorder->answers[input(h::kEditInput, -9)] = Value::logical(false);
    QTest::keyClicks(edit, "ab");
    EXPECT_EQ(edit->text(), QString());
    EXPECT_EQ(recorder->count(input(h::kEditInput, -11)), 0); // no character came of it
    recorder->answers.erase(input(h::kEditInput, -9));
    QTest::keyClicks(edit, "ab");
    EXPECT_EQ(edit->text(), QString("ab"));
}

TEST_F(InputTest, CharacterHandlerReplacesOrSwallowsTheCharacter)
{
    edit->setText(QString());
    QTest::keyClick(edit, Qt::Key_A, Qt::NoModifier);
    EXPECT_EQ(ints(*recorder->last(input(h::kEditInput, -11))), (std::vector<std::int32_t>{'a'}));
    recorder->answers[input(h::kEditInput, -11)] = Value::integer('Z');
    QTest::keyClick(edit, Qt::Key_B, Qt::NoModifier);
    recorder->answers[input(h::kEditInput, -11)] = Value::integer(0);
    QTest::keyClick(edit, Qt::Key_C, Qt::NoModifier);
    EXPECT_EQ(edit->text(), QString("aZ"));
    // A handler that answers every character with another one is asked once per key.
    recorder->calls.clear();
    recorder->answers[input(h::kEditInput, -11)] = Value::integer('y');
    recorder->actions[input(h::kEditInput, -11)] = [&] {
        const Call* call = recorder->last(input(h::kEditInput, -11));
        recorder->answers[input(h::kEditInput, -11)] =
            Value::integer(call->event.args[0].asInteger() == 'y' ? 'x' : 'y');
    };
    QTest::keyClick(edit, Qt::Key_X, Qt::NoModifier);
    EXPECT_EQ(recorder->count(input(h::kEditInput, -11)), 1);
    EXPECT_EQ(edit->text(), QString("aZy"));
}

TEST_F(InputTest, EnterMovesTheFocusWhenTheWindowSaysSo)
{
    edit->setFocus();
    QTest::keyClick(edit, Qt::Key_Return);
    EXPECT_EQ(QApplication::focusWidget(), edit);
    writeProperty(kMain, kMainRecord, 21, Value::logical(true));
    QTest::keyClick(edit, Qt::Key_Return);
    EXPECT_NE(QApplication::focusWidget(), edit);
    EXPECT_EQ(recorder->count(input(h::kEditInput, -9)), 2); // the handler still saw both
}

TEST_F(InputTest, MouseClicksGiveClientCoordinatesAndTheButtonClick)
{
    QTest::mouseClick(button, Qt::LeftButton, Qt::ShiftModifier, QPoint(7, 9));
    const std::vector<int> called = recorder->handlersCalled();
    // Press, release, then the button kind's own click event.
    ASSERT_GE(called.size(), 3u);
    const auto at = [&](int handler) { return std::find(called.begin(), called.end(), handler) - called.begin(); };
    EXPECT_LT(at(input(h::kButtonInput, -1)), at(input(h::kButtonInput, -2)));
    EXPECT_LT(at(input(h::kButtonInput, -2)), at(h::kButtonClick));
    EXPECT_EQ(ints(*recorder->last(input(h::kButtonInput, -1))), (std::vector<std::int32_t>{7, 9, 2}));
    EXPECT_EQ(recorder->last(h::kButtonClick)->event.number, 0);

    QTest::mouseDClick(edit, Qt::LeftButton, Qt::NoModifier, QPoint(3, 4));
    EXPECT_EQ(ints(*recorder->last(input(h::kEditInput, -3))), (std::vector<std::int32_t>{3, 4, 0}));
    QTest::mouseClick(edit, Qt::RightButton, Qt::ControlModifier, QPoint(5, 6));
    EXPECT_EQ(ints(*recorder->last(input(h::kEditInput, -4))), (std::vector<std::int32_t>{5, 6, 1}));
    EXPECT_NE(recorder->last(input(h::kEditInput, -5)), nullptr);
    // The empty client area belongs to the window.
    QWidget* client = button->parentWidget();
    QTest::mouseClick(client, Qt::LeftButton, Qt::NoModifier, QPoint(250, 150));
    EXPECT_EQ(ints(*recorder->last(input(h::kWindowInput, -1))), (std::vector<std::int32_t>{250, 150, 0}));
}

TEST_F(InputTest, APressAnsweredFalseNeverReachesTheButton)
{
    recorder->answers[input(h::kButtonInput, -1)] = Value::logical(false);
    QTest::mouseClick(button, Qt::LeftButton);
    EXPECT_EQ(recorder->count(h::kButtonClick), 0);
}

TEST_F(InputTest, EscAsksTheWindowTwiceAndClosesIt)
{
    recorder->answers[h::kWindowEvent + 12] = Value::logical(false);
    QTest::keyClick(edit, Qt::Key_Escape);
    EXPECT_TRUE(isLoaded(kMain));
    EXPECT_EQ(recorder->count(h::kWindowEvent + 1), 0); // refused by the first question
    recorder->answers.erase(h::kWindowEvent + 12);
    recorder->answers[h::kWindowEvent + 1] = Value::integer(0);
    QTest::keyClick(edit, Qt::Key_Escape);
    EXPECT_TRUE(isLoaded(kMain));
    recorder->answers.erase(h::kWindowEvent + 1);
    QTest::keyClick(edit, Qt::Key_Escape);
    EXPECT_FALSE(isLoaded(kMain));
    EXPECT_EQ(recorder->count(h::kWindowEvent + 2), 1);
    const std::vector<int> called = recorder->handlersCalled();
    const auto first12 = std::find(called.begin(), called.end(), h::kWindowEvent + 12);
    const auto first1 = std::find(called.begin(), called.end(), h::kWindowEvent + 1);
    EXPECT_LT(first12, first1);
}

TEST_F(InputTest, TheCloseButtonIsAskedLikeEsc)
{
    recorder->answers[h::kWindowEvent + 1] = Value::logical(false);
    windowWidget(kMain)->close();
    EXPECT_TRUE(isLoaded(kMain));
    recorder->answers.clear();
    windowWidget(kMain)->close();
    EXPECT_FALSE(isLoaded(kMain));
}

TEST_F(InputTest, FocusWheelAndMovesReachTheirEvents)
{
    edit->setFocus();
    settle();
    button->setFocus();
    settle();
    EXPECT_NE(recorder->last(input(h::kEditInput, -8)), nullptr);
    EXPECT_NE(recorder->last(input(h::kButtonInput, -7)), nullptr);
    QTest::mouseMove(edit, QPoint(11, 12));
    settle();
    const Call* move = recorder->last(input(h::kEditInput, -6));
    ASSERT_NE(move, nullptr);
    EXPECT_EQ(ints(*move), (std::vector<std::int32_t>{11, 12, 0}));
    QWheelEvent wheel(QPointF(5, 5), edit->mapToGlobal(QPointF(5, 5)), QPoint(), QPoint(0, -240), Qt::NoButton,
                      Qt::ControlModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(edit, &wheel);
    EXPECT_EQ(ints(*recorder->last(input(h::kEditInput, -12))), (std::vector<std::int32_t>{-2, 1}));
}

TEST_F(InputTest, TrayClicksRaiseEventNineWithTheAction)
{
    const runtime::ByteSet icon = [] {
        QImage image(16, 16, QImage::Format_ARGB32);
        image.fill(Qt::red);
        QByteArray png;
        QBuffer buffer(&png);
        buffer.open(QIODevice::WriteOnly);
        image.save(&buffer, "PNG");
        return runtime::ByteSet(png.begin(), png.end());
    }();
    setTrayIcon(kMain, Value::byteSet(icon), "提示");
    auto* tray = windowWidget(kMain)->findChild<QSystemTrayIcon*>(QStringLiteral("trayIcon"));
    ASSERT_NE(tray, nullptr);
    EXPECT_EQ(tray->toolTip(), QString::fromUtf8(u8"提示"));
    EXPECT_FALSE(tray->icon().isNull());
    for (const auto& [reason, action] : std::vector<std::pair<QSystemTrayIcon::ActivationReason, int>>{
             {QSystemTrayIcon::Trigger, 1}, {QSystemTrayIcon::DoubleClick, 2}, {QSystemTrayIcon::Context, 3}}) {
        emit tray->activated(reason);
        const Call* call = recorder->last(h::kWindowEvent + 9);
        ASSERT_NE(call, nullptr);
        EXPECT_EQ(ints(*call), std::vector<std::int32_t>{action});
    }
    recorder->calls.clear();
    emit tray->activated(QSystemTrayIcon::MiddleClick);
    EXPECT_EQ(recorder->count(h::kWindowEvent + 9), 0);
    // An empty icon removes it.
    setTrayIcon(kMain, Value::byteSet({}), "");
    EXPECT_EQ(windowWidget(kMain)->findChild<QSystemTrayIcon*>(QStringLiteral("trayIcon")), nullptr);
}

// Chooses the action with this caption in the pop-up menu once it is open.
void chooseInPopup(const QString& caption)
{
    QTimer::singleShot(50, [caption] {
        auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
        if (menu == nullptr)
            return;
        for (QAction* action : menu->actions())
            if (action->text() == caption)
                action->trigger();
        menu->close();
    });
}

TEST_F(InputTest, PopupMenuRunsTheChosenItemsClickAfterTheCallerReturns)
{
    bool clickRanDuringPopup = false;
    chooseInPopup(QString::fromUtf8(u8"结束"));
    popupMenu(kMain, kMenuTray, QPoint(100, 100));
    clickRanDuringPopup = recorder->count(h::kTrayEnd) > 0;
    settle();
    EXPECT_FALSE(clickRanDuringPopup);
    ASSERT_EQ(recorder->count(h::kTrayEnd), 1);
    EXPECT_EQ(recorder->last(h::kTrayEnd)->event.componentId, kMenuTrayEnd);
    EXPECT_EQ(recorder->count(h::kTrayShow), 0);

    chooseInPopup(QString::fromUtf8(u8"显示"));
    popupTrayMenu(kMain, kMenuTray);
    settle();
    EXPECT_EQ(recorder->count(h::kTrayShow), 1);
}

TEST_F(InputTest, OnlyALevelZeroItemWithSubItemsPopsUp)
{
    bool popupSeen = false;
    QTimer::singleShot(30, [&] {
        if (QWidget* popup = QApplication::activePopupWidget()) {
            popupSeen = true;
            popup->close();
        }
    });
    popupMenu(kMain, kMenuOpen, QPoint(10, 10)); // a level-1 item: nothing is shown
    QTest::qWait(60);
    EXPECT_FALSE(popupSeen);
}

using EventDeathTest = InputTest;

TEST_F(EventDeathTest, EventsOfUnknownWindowsOrComponentsAreFatal)
{
    EXPECT_EXIT(
        {
            answerModalBoxesWithDefault();
            raiseEvent(0x52018888, kButton, 0);
        },
        ::testing::ExitedWithCode(255), utf8(u8"未找到引发事件的窗口"));
    EXPECT_EXIT(
        {
            answerModalBoxesWithDefault();
            raiseEvent(kMain, 0x16018888, 0);
        },
        ::testing::ExitedWithCode(255), utf8(u8"未找到引发事件的窗口组件"));
}

TEST_F(EventDeathTest, PopupAndTrayOfAWindowThatIsNotLoadedAreFatal)
{
    EXPECT_EXIT(
        {
            answerModalBoxesWithDefault();
            popupMenu(kSecond, kMenuTray);
        },
        ::testing::ExitedWithCode(255), utf8(u8"指定窗口或窗口组件不存在或尚未载入"));
    EXPECT_EXIT(
        {
            answerModalBoxesWithDefault();
            setTrayIcon(kSecond, Value::byteSet({1, 2, 3}), "");
        },
        ::testing::ExitedWithCode(255), utf8(u8"指定窗口或窗口组件不存在或尚未载入"));
}

} // namespace
} // namespace qr::forms::testing
