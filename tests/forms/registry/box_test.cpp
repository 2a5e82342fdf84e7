// Message boxes on QMessageBox and the runtime error report's box.
#include "registry_fixture.h"

#include "forms/registry/qt_boxes.h"
#include "runtime/error_report.h"
#include "runtime/message_box.h"

#include <QAbstractButton>
#include <QMessageBox>
#include <QPushButton>

#include <map>
#include <set>

namespace qr::forms::testing {
namespace {

using runtime::Value;

struct SeenBox {
    QString title, text;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    QStringList buttons;
    QString defaultButton;
    Qt::WindowModality modality = Qt::NonModal;
    bool hasParent = true;
};

// Looks at the next box that opens and clicks the button with this caption.
void answerBox(SeenBox& seen, const QString& caption)
{
    QTimer::singleShot(20, [&seen, caption] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        ASSERT_NE(box, nullptr);
        seen.title = box->windowTitle();
        seen.text = box->text();
        seen.icon = box->icon();
        seen.modality = box->windowModality();
        seen.hasParent = box->parentWidget() != nullptr;
        for (QAbstractButton* button : box->buttons())
            seen.buttons << button->text();
        seen.defaultButton = box->defaultButton() ? box->defaultButton()->text() : QString();
        for (QAbstractButton* button : box->buttons())
            if (button->text() == caption)
                button->click();
    });
}

QString u(const char8_t* s) { return QString::fromUtf8(reinterpret_cast<const char*>(s)); }

TEST_F(RegistryTest, TheApplicationsMessageBoxIsARealQtBoxAnsweredInChinese)
{
    // initFormsRuntime routes the runtime's message box to Qt.
    SeenBox seen;
    answerBox(seen, u(u8"否"));
    EXPECT_EQ(runtime::messageBox(Value::text("确定删除吗？"), 4), 6);
    EXPECT_EQ(seen.title, u(u8"信息："));
    EXPECT_EQ(seen.text, u(u8"确定删除吗？"));
    EXPECT_EQ(seen.buttons, (QStringList{u(u8"是"), u(u8"否")}));
    EXPECT_EQ(seen.defaultButton, u(u8"是"));
    EXPECT_EQ(seen.modality, Qt::ApplicationModal);
    EXPECT_FALSE(seen.hasParent);

    SeenBox yes;
    answerBox(yes, u(u8"是"));
    EXPECT_EQ(runtime::messageBox(Value::text("继续？"), 4), 5);
}

TEST_F(RegistryTest, FlagsChooseIconButtonsAndDefault)
{
    struct Case {
        std::uint32_t flags;
        QMessageBox::Icon icon;
        QStringList buttons;
        QString press;
        std::int32_t code;
        QString defaultButton;
    };
    const std::vector<Case> cases = {
        {0, QMessageBox::NoIcon, {u(u8"确定")}, u(u8"确定"), 0, u(u8"确定")},
        {48, QMessageBox::Warning, {u(u8"确定")}, u(u8"确定"), 0, u(u8"确定")},
        {64, QMessageBox::Information, {u(u8"确定")}, u(u8"确定"), 0, u(u8"确定")},
        {0x10 | 1, QMessageBox::Critical, {u(u8"确定"), u(u8"取消")}, u(u8"取消"), 1, u(u8"确定")},
        {0x20 | 2 | 0x100, QMessageBox::Question, {u(u8"中止"), u(u8"重试"), u(u8"忽略")}, u(u8"忽略"), 4, u(u8"重试")},
        {3 | 0x200, QMessageBox::NoIcon, {u(u8"是"), u(u8"否"), u(u8"取消")}, u(u8"取消"), 1, u(u8"取消")},
        {5, QMessageBox::NoIcon, {u(u8"重试"), u(u8"取消")}, u(u8"重试"), 3, u(u8"重试")},
    };
    for (const Case& c : cases) {
        SeenBox seen;
        answerBox(seen, c.press);
        EXPECT_EQ(runtime::messageBox(Value::integer(170), c.flags, "标题"), c.code) << c.flags;
        EXPECT_EQ(seen.title, u(u8"标题"));
        EXPECT_EQ(seen.text, QString("170"));
        EXPECT_EQ(seen.icon, c.icon) << c.flags;
        // Button order in the box follows the platform's layout; compare as sets.
        QStringList shown = seen.buttons, wanted = c.buttons;
        shown.sort();
        wanted.sort();
        EXPECT_EQ(shown, wanted) << c.flags;
        EXPECT_EQ(seen.defaultButton, c.defaultButton) << c.flags;
    }
}

// Looks at the next box that opens and clicks its button at `index` (box order).
void pressButtonAt(SeenBox& seen, int index)
{
    QTimer::singleShot(20, [&seen, index] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        ASSERT_NE(box, nullptr);
        const QList<QAbstractButton*> buttons = box->buttons();
        for (QAbstractButton* button : buttons)
            seen.buttons << button->text();
        seen.defaultButton = box->defaultButton() ? box->defaultButton()->text() : QString();
        if (index < buttons.size())
            buttons[index]->click();
        else
            box->reject();
    });
}

TEST_F(RegistryTest, EveryButtonOfEveryBoxComesBackAsAnAnswerOfItsOwn)
{
    for (std::uint32_t set = 0; set <= 6; ++set) {
        SCOPED_TRACE(set);
        std::map<QString, std::int32_t> answers;
        qsizetype count = 1;
        for (qsizetype i = 0; i < count; ++i) {
            SeenBox seen;
            pressButtonAt(seen, int(i));
            const std::int32_t got = runtime::messageBox(Value::text("x"), set);
            ASSERT_GT(seen.buttons.size(), i);
            count = seen.buttons.size();
            answers[seen.buttons[i]] = got;
        }
        ASSERT_EQ(answers.size(), std::size_t(count)); // no caption twice
        std::set<std::int32_t> distinct;
        int unnumbered = 0;
        for (const auto& [caption, answer] : answers) {
            // Try again and continue have no code of their own: both answer 0, which
            // no other button of that box answers.
            if (set == 6 && answer == 0) {
                ++unnumbered;
                continue;
            }
            EXPECT_TRUE(distinct.insert(answer).second) << caption.toStdString() << " answers " << answer;
        }
        if (set == 6) {
            EXPECT_EQ(unnumbered, 2);
        }
        if (answers.count(u(u8"是"))) {
            EXPECT_EQ(answers[u(u8"是")], runtime::buttonCode(runtime::PressedButton::Yes));
        }
        if (answers.count(u(u8"否"))) {
            EXPECT_EQ(answers[u(u8"否")], runtime::buttonCode(runtime::PressedButton::No));
        }
    }
}

TEST_F(RegistryTest, ADefaultButtonBeyondTheBoxFallsBackToTheFirst)
{
    SeenBox seen;
    answerBox(seen, u(u8"确定"));
    EXPECT_EQ(runtime::messageBox(Value::text("x"), 1 | 0x200), 0);
    EXPECT_EQ(seen.defaultButton, u(u8"确定"));
}

TEST_F(RegistryTest, TheSeamAnswersBoxesWithoutShowingThem)
{
    std::vector<runtime::MessageBoxRequest> asked;
    runtime::setMessageBoxPresenter([&](const runtime::MessageBoxRequest& request) {
        asked.push_back(request);
        return runtime::PressedButton::Yes;
    });
    EXPECT_EQ(runtime::messageBox(Value::logical(true), 4 | 0x30), 5);
    ASSERT_EQ(asked.size(), 1u);
    EXPECT_EQ(asked[0].text, "真");
    EXPECT_EQ(asked[0].flags, 4u | 0x30u | 0x2000u);
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
}

TEST_F(RegistryTest, ABoxNamingAnOwnerWindowIsOwnedByIt)
{
    ASSERT_TRUE(loadWindow(kMain));
    SeenBox seen;
    answerBox(seen, u(u8"确定"));
    runtime::messageBox(Value::text("x"), 0, {}, kMain);
    EXPECT_TRUE(seen.hasParent);
}

using BoxDeathTest = RegistryTest;

TEST_F(BoxDeathTest, TheErrorReportShowsItsBoxThenEndsWith255)
{
    // The child records what the box showed on standard error before it ends.
    EXPECT_EXIT(
        {
            ASSERT_TRUE(loadWindow(kMain));
            writeProperty(kMain, kMainRecord, 4, Value::text("主窗"));
            writeProperty(kMain, kEdit, 4, Value::text("姓名框"));
            QTimer::singleShot(30, [] {
                auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
                if (box != nullptr) {
                    std::fprintf(stderr, "BOX[%s|%d|%d]\n", box->windowTitle().toUtf8().constData(), int(box->icon()),
                                 int(box->buttons().size()));
                    box->accept();
                }
            });
            runtime::reportRuntimeError("测试错误", 7, kMain, kEdit);
        },
        ::testing::ExitedWithCode(255),
        utf8(u8"运行时出错!.*错误代码：7.*错误信息：测试错误.*1375797249, 369164321.*\"主窗\".*\"姓名框\".*"
             u8"BOX\\[错误\\|3\\|1\\]"));
}

TEST_F(BoxDeathTest, NoEventReachesAHandlerWhileTheReportIsShown)
{
    EXPECT_EXIT(
        {
            ASSERT_TRUE(loadWindow(kMain));
            QTimer::singleShot(30, [] {
                // Clicked while the error box is up: the handler must not run.
                componentWidget<QPushButton>(kMain, "按钮_确定")->click();
                std::fprintf(stderr, "CLICKED\n");
                if (QWidget* box = QApplication::activeModalWidget())
                    QMetaObject::invokeMethod(box, "accept", Qt::QueuedConnection);
            });
            setHandler(h::kButtonClick, [](const Event&) {
                std::fprintf(stderr, "HANDLER RAN\n");
                return Value();
            });
            runtime::reportRuntimeError("停", 0, kMain, kButton);
        },
        ::testing::ExitedWithCode(255), "CLICKED\n$");
}

} // namespace
} // namespace qr::forms::testing
