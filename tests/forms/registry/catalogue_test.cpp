// The seven windows of the program's own template store on the real kinds:
// what a user sees after each load, and input reaching the catalogue's bindings.
#include "registry_fixture.h"

#include "app/catalogue/catalogue.h"
#include "forms/kinds/report_list.h"
#include "forms/registry/component_kind.h"
#include "forms/template/ids.h"

#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QGroupBox>
#include <QInputMethodEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QProcess>
#include <QPushButton>
#include <QTableView>
#include <QTest>

namespace qr::forms::testing {
namespace {

namespace cat = catalogue;
using cat::Handler;
using runtime::Value;

QString u(const char8_t* s) { return QString::fromUtf8(reinterpret_cast<const char*>(s)); }

struct HandlerCall {
    Handler handler;
    Event event;
};

class CatalogueTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        registerStandardKinds();
        initFormsRuntime(cat::templateStoreBytes());
        for (int n = 1; n <= cat::kHighestHandlerNumber; ++n) {
            setHandler(n, [this, n](const Event& event) {
                calls.push_back({Handler(n), event});
                const auto it = actions.find(Handler(n));
                if (it != actions.end() && it->second)
                    it->second(event);
                return Value();
            });
        }
    }
    void TearDown() override
    {
        destroyAllWindows();
        clearHandlers();
        settle();
    }
    int count(Handler h) const
    {
        return int(std::count_if(calls.begin(), calls.end(), [&](const HandlerCall& c) { return c.handler == h; }));
    }
    const HandlerCall* last(Handler h) const
    {
        for (auto it = calls.rbegin(); it != calls.rend(); ++it)
            if (it->handler == h)
                return &*it;
        return nullptr;
    }

    std::vector<HandlerCall> calls;
    std::map<Handler, std::function<void(const Event&)>> actions;
};

TEST_F(CatalogueTest, EveryWindowLoadsWithItsCaptionSizeAndFrame)
{
    struct Expected {
        std::uint32_t id;
        const char8_t* caption;
        int width, height;
        bool minimize;
    };
    const Expected windows[] = {
        {cat::kStartWindow, u8"Quillroll", 409, 366, true},
        {cat::kAddForm, u8"个人信息－添加", 399, 496, true},
        {cat::kMainWindow, u8"", 964, 552, true},
        {cat::kAboutWindow, u8"关于 Quillroll", 296, 284, false},
        {cat::kModifyForm, u8"个人信息－修改", 399, 496, true},
        {cat::kDetailView, u8"个人信息－查询", 399, 496, true},
        {cat::kDeletedWindow, u8"已删除学生", 964, 552, true},
    };
    for (const Expected& w : windows) {
        ASSERT_TRUE(loadWindow(w.id)) << std::hex << w.id;
        QWidget* window = windowWidget(w.id);
        ASSERT_NE(window, nullptr);
        EXPECT_TRUE(window->isVisible());
        EXPECT_EQ(window->windowTitle(), u(w.caption));
        const std::uint32_t own = windowRecordId(w.id);
        EXPECT_EQ(readProperty(w.id, own, 2).asInteger(), w.width);
        EXPECT_EQ(readProperty(w.id, own, 3).asInteger(), w.height);
        EXPECT_EQ(bool(window->windowFlags() & Qt::WindowMinimizeButtonHint), w.minimize);
        EXPECT_FALSE(window->windowFlags() & Qt::WindowMaximizeButtonHint);
        EXPECT_EQ(window->minimumSize(), window->maximumSize()); // fixed frame
        // Centred, not at the stored 50, 50.
        EXPECT_NE(readProperty(w.id, own, 0).asInteger(), 50);
        // The hidden level-0 menus show no menu bar.
        auto* bar = window->findChild<QMenuBar*>(QStringLiteral("menuBar"));
        EXPECT_TRUE(bar == nullptr || bar->isHidden());
    }
    EXPECT_FALSE(windowWidget(cat::kStartWindow)->windowIcon().isNull());
}

TEST_F(CatalogueTest, TheAddFormShowsItsSamples)
{
    ASSERT_TRUE(loadWindow(cat::kAddForm));
    auto* name = componentWidget<QLineEdit>(cat::kAddForm, "编辑框_姓名");
    ASSERT_NE(name, nullptr);
    EXPECT_EQ(name->text(), u(u8"小苹果"));
    EXPECT_EQ(name->accessibleName(), u(u8"姓名"));
    // Inside 分组框1 at its stored place.
    EXPECT_EQ(name->parentWidget(), componentWidget(cat::kAddForm, "分组框1"));
    EXPECT_EQ(name->geometry().topLeft(), QPoint(71, 13));
    EXPECT_EQ(readProperty(cat::kAddForm, 0x1601004F, 9).asText(), "    女");
    EXPECT_EQ(readProperty(cat::kAddForm, 0x1601004F, 19).asInteger(), 1);
    EXPECT_EQ(componentWidget<QPushButton>(cat::kAddForm, "按钮_添加")->text(), u(u8"添加保存"));
    EXPECT_EQ(componentWidget<QGroupBox>(cat::kAddForm, "分组框2")->title(), u(u8"监护人信息"));
    const runtime::ByteSet photo = readProperty(cat::kAddForm, 0x1601004A, 10).asByteSet();
    ASSERT_GT(photo.size(), 2u);
    EXPECT_EQ(photo[0], 0xFF); // the sample photo is a JPEG
    EXPECT_EQ(photo[1], 0xD8);
}

TEST_F(CatalogueTest, WrittenSamplesComeBackOnTheNextLoad)
{
    ASSERT_TRUE(loadWindow(cat::kAddForm));
    writeProperty(cat::kAddForm, 0x16010055, 8, Value::text(""));
    writeProperty(cat::kAddForm, 0x1601004F, 19, Value::integer(0));
    EXPECT_EQ(readProperty(cat::kAddForm, 0x16010055, 8).asText(), "");
    destroyWindow(cat::kAddForm, true);
    EXPECT_EQ(readProperty(cat::kAddForm, 0x16010055, 0).asInteger(), 71); // stored values, not loaded
    ASSERT_TRUE(loadWindow(cat::kAddForm));
    EXPECT_EQ(readProperty(cat::kAddForm, 0x16010055, 8).asText(), "小苹果");
    EXPECT_EQ(readProperty(cat::kAddForm, 0x1601004F, 9).asText(), "    女");
}

TEST_F(CatalogueTest, HiddenGroupBoxesKeepTheirButtonsUnseen)
{
    ASSERT_TRUE(loadWindow(cat::kMainWindow));
    QWidget* group = componentWidget(cat::kMainWindow, "分组框1");
    QWidget* button = componentWidget(cat::kMainWindow, "按钮_信息添加");
    ASSERT_TRUE(group && button);
    EXPECT_FALSE(group->isVisible());
    EXPECT_FALSE(button->isVisible());
    EXPECT_TRUE(componentWidget(cat::kMainWindow, "超级列表框1")->isVisible());
    EXPECT_EQ(readProperty(cat::kMainWindow, 0x160100D1, 35).asInteger(), -1);
}

TEST_F(CatalogueTest, EnterInTheClassBoxAndTheButtonReachTheStartHandlers)
{
    ASSERT_TRUE(loadWindow(cat::kStartWindow));
    settle();
    EXPECT_EQ(count(Handler::startWindowLoaded), 1);
    auto* classBox = componentWidget<QLineEdit>(cat::kStartWindow, "编辑框_班级");
    ASSERT_NE(classBox, nullptr);
    QTest::keyClicks(classBox, "3");
    QTest::keyClick(classBox, Qt::Key_Return);
    const HandlerCall* enter = last(Handler::startClassKeyDown);
    ASSERT_NE(enter, nullptr);
    EXPECT_EQ(enter->event.componentId, 0x160100D3u);
    EXPECT_EQ(enter->event.number, -9);
    EXPECT_EQ(enter->event.args.at(0), Value::integer(13));
    EXPECT_EQ(readProperty(cat::kStartWindow, 0x160100D3, 8).asText(), "3");
    QTest::mouseClick(componentWidget(cat::kStartWindow, "按钮_确定"), Qt::LeftButton);
    ASSERT_EQ(count(Handler::startConfirm), 1);
    EXPECT_EQ(last(Handler::startConfirm)->event.number, 0);
}

TEST_F(CatalogueTest, TheStartWindowsTrayMenuRunsItsItems)
{
    ASSERT_TRUE(loadWindow(cat::kStartWindow));
    actions[Handler::startWindowTray] = [](const Event& event) {
        if (event.args.at(0) == Value::integer(3))
            popupTrayMenu(cat::kStartWindow, 0x2601039E);
    };
    QTimer::singleShot(50, [] {
        if (auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget())) {
            ASSERT_EQ(menu->actions().size(), 2);
            EXPECT_EQ(menu->actions()[0]->text(), QString::fromUtf8(u8"打开"));
            menu->actions()[1]->trigger();
            menu->close();
        }
    });
    raiseEvent(cat::kStartWindow, windowRecordId(cat::kStartWindow), 9, {Value::integer(3)});
    settle();
    EXPECT_EQ(count(Handler::startMenuClose), 1);
    EXPECT_EQ(count(Handler::startMenuOpen), 0);
}

TEST_F(CatalogueTest, ListClicksReachTheMainWindowsHandlersAndItsPopupMenu)
{
    ASSERT_TRUE(loadWindow(cat::kMainWindow));
    constexpr std::uint32_t list = 0x160100D1;
    report_list::insertRow(cat::kMainWindow, list, -1, "1");
    report_list::setCellText(cat::kMainWindow, list, 0, 1, "小苹果");
    auto* view = componentWidget<QTableView>(cat::kMainWindow, "超级列表框1");
    ASSERT_NE(view, nullptr);
    const QPoint cell = view->visualRect(view->model()->index(0, 1)).center();
    QTest::mouseDClick(view->viewport(), Qt::LeftButton, Qt::NoModifier, cell);
    ASSERT_EQ(count(Handler::mainListDoubleClick), 1);
    const Event& dbl = last(Handler::mainListDoubleClick)->event;
    EXPECT_EQ(dbl.number, -3);
    EXPECT_EQ(dbl.args.at(2), Value::integer(0));
    EXPECT_EQ(readProperty(cat::kMainWindow, list, 35).asInteger(), 0);

    // Right click: the list menu handler pops up 信息维护; choosing 信息修改 runs its click.
    actions[Handler::mainListMenu] = [](const Event&) { popupMenu(cat::kMainWindow, 0x26010279); };
    QTimer::singleShot(50, [] {
        if (auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget())) {
            for (QAction* action : menu->actions())
                if (action->text() == QString::fromUtf8(u8"信息修改"))
                    action->trigger();
            menu->close();
        }
    });
    QTest::mouseClick(view->viewport(), Qt::RightButton, Qt::NoModifier, cell);
    settle();
    EXPECT_EQ(count(Handler::mainListMenu), 1);
    EXPECT_EQ(last(Handler::mainListMenu)->event.number, 5);
    ASSERT_EQ(count(Handler::mainModify), 1);
    EXPECT_EQ(last(Handler::mainModify)->event.componentId, 0x2601027Bu);
}

TEST_F(CatalogueTest, AModalFormOpenedFromAHandlerReturnsWhenItIsClosed)
{
    ASSERT_TRUE(loadWindow(cat::kMainWindow));
    bool returnedAfterClose = false;
    actions[Handler::mainAdd] = [&](const Event&) {
        loadWindow(cat::kAddForm, std::nullopt, true);
        returnedAfterClose = !isLoaded(cat::kAddForm);
    };
    actions[Handler::addFormSampleNotice] = [](const Event&) {
        // First activation of the form: leave through its return button.
        QTimer::singleShot(0, [] { componentWidget<QPushButton>(cat::kAddForm, "按钮_返回主窗口")->click(); });
    };
    actions[Handler::addFormReturn] = [](const Event&) { destroyWindow(cat::kAddForm); };
    raiseEvent(cat::kMainWindow, 0x160100F9, 0); // 按钮_信息添加
    EXPECT_TRUE(returnedAfterClose);
    EXPECT_EQ(count(Handler::addFormSampleNotice), 1);
    EXPECT_FALSE(readProperty(cat::kMainWindow, windowRecordId(cat::kMainWindow), 6).asLogical());
}

// The start-up road: the confirm handler loads the main window and destroys the
// start window deferred, so the main window's loaded handler still reads the class
// name from the start window; the program's loop ends with the last window.
TEST_F(CatalogueTest, ConfirmingTheClassOpensTheMainWindowWhileTheStartWindowStillExists)
{
    actions[Handler::startWindowLoaded] = [](const Event&) {
        const auto picture = cat::startupPictureBytes();
        writeProperty(cat::kStartWindow, windowRecordId(cat::kStartWindow), 11,
                      Value::byteSet(runtime::ByteSet(picture.begin(), picture.end())));
        const auto icon = cat::programIconBytes();
        setTrayIcon(cat::kStartWindow, Value::byteSet(runtime::ByteSet(icon.begin(), icon.end())), "Quillroll");
    };
    actions[Handler::startConfirm] = [](const Event&) {
        loadWindow(cat::kMainWindow);
        destroyWindow(cat::kStartWindow);
    };
    std::string classSeenByMain;
    actions[Handler::mainWindowLoaded] = [&](const Event&) {
        classSeenByMain = readProperty(cat::kStartWindow, 0x160100D3, 8).asText();
        writeProperty(cat::kMainWindow, windowRecordId(cat::kMainWindow), 8,
                      Value::text(classSeenByMain + "Quillroll"));
        writeProperty(cat::kStartWindow, windowRecordId(cat::kStartWindow), 5, Value::logical(false));
    };
    ASSERT_TRUE(loadWindow(cat::kStartWindow));
    // The start-up picture is drawn stretched over the whole client area.
    QWidget* client = componentWidget(cat::kStartWindow, "按钮_确定")->parentWidget();
    const QImage before = client->grab().toImage();
    EXPECT_NE(before.pixelColor(5, 5), client->palette().color(QPalette::Window));
    EXPECT_NE(before.pixelColor(client->width() - 5, client->height() - 30), client->palette().color(QPalette::Window));

    QTimer::singleShot(0, [] {
        auto* classBox = componentWidget<QLineEdit>(cat::kStartWindow, "编辑框_班级");
        // Chinese comes from the input method, not from key presses.
        QInputMethodEvent typed;
        typed.setCommitString(QString::fromUtf8(u8"初中2017级1班"));
        QApplication::sendEvent(classBox, &typed);
        QTest::mouseClick(componentWidget(cat::kStartWindow, "按钮_确定"), Qt::LeftButton);
    });
    QTimer::singleShot(200, [] { destroyWindow(cat::kMainWindow); });
    EXPECT_EQ(runMessageLoop(), 0);
    EXPECT_EQ(classSeenByMain, "初中2017级1班");
    EXPECT_FALSE(isLoaded(cat::kStartWindow));
    EXPECT_FALSE(isLoaded(cat::kMainWindow));
}

#ifdef QR_SHOT_PROGRAM
TEST(ShotTool, SavesAPictureOfTheWindowAtItsStoredSize)
{
    const QString out = QDir::temp().filePath(QStringLiteral("qr_shot_test.png"));
    QFile::remove(out);
    QProcess shot;
    shot.start(QStringLiteral(QR_SHOT_PROGRAM), {QStringLiteral("0x5201016B"), out});
    ASSERT_TRUE(shot.waitForFinished(60000));
    EXPECT_EQ(shot.exitCode(), 0) << shot.readAllStandardError().toStdString();
    const QImage image(out);
    ASSERT_FALSE(image.isNull());
    EXPECT_EQ(image.size(), QSize(296, 284));
    QFile::remove(out);

    // The control look is on, as start-up switches it: the add form's 插入照片 (at
    // 320, 40 in the client area, below the 3-pixel frame and the 23-pixel caption
    // bar) has the look's flat grey border.
    QProcess form;
    form.start(QStringLiteral(QR_SHOT_PROGRAM), {QStringLiteral("0x5201003C"), out});
    ASSERT_TRUE(form.waitForFinished(60000));
    ASSERT_EQ(form.exitCode(), 0) << form.readAllStandardError().toStdString();
    const QImage addForm(out);
    ASSERT_EQ(addForm.size(), QSize(399, 496));
    EXPECT_EQ(addForm.pixelColor(3 + 320 + 28, 3 + 23 + 40), QColor(0x7a, 0x7a, 0x7a));
    QFile::remove(out);

    QProcess bad;
    bad.start(QStringLiteral(QR_SHOT_PROGRAM), {QStringLiteral("0x52017777"), out});
    ASSERT_TRUE(bad.waitForFinished(60000));
    EXPECT_NE(bad.exitCode(), 0);
    EXPECT_FALSE(QFile::exists(out));
}

#endif

} // namespace
} // namespace qr::forms::testing
