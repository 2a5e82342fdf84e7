// Reading and writing properties by number: common ones, the kind's own through
// its operation table, menu items, and the misuse that ends the program.
#include "registry_fixture.h"

#include "forms/registry/component_kind.h"

#include <QBuffer>
#include <QLineEdit>
#include <QMenuBar>
#include <QPointer>
#include <QPushButton>

namespace qr::forms::testing {
namespace {

using runtime::Value;

TEST_F(RegistryTest, NotLoadedWindowsAnswerCommonPropertiesFromTheTemplate)
{
    EXPECT_EQ(readProperty(kMain, kEdit, 0).asInteger(), 10);
    EXPECT_EQ(readProperty(kMain, kEdit, 1).asInteger(), 10);
    EXPECT_EQ(readProperty(kMain, kEdit, 2).asInteger(), 120);
    EXPECT_EQ(readProperty(kMain, kEdit, 3).asInteger(), 25);
    EXPECT_TRUE(readProperty(kMain, kEdit, 5).asLogical());
    EXPECT_FALSE(readProperty(kMain, kEdit, 6).asLogical());
    EXPECT_EQ(readProperty(kMain, kEdit, 7).asByteSet(), runtime::ByteSet(4, 0));
}

TEST_F(RegistryTest, PositionAndSizeAreClampedAndMoveTheControl)
{
    ASSERT_TRUE(loadWindow(kMain));
    QWidget* edit = componentWidget(kMain, "编辑框_姓名");
    writeProperty(kMain, kEdit, 0, Value::integer(40000));
    writeProperty(kMain, kEdit, 1, Value::integer(-40000));
    EXPECT_EQ(readProperty(kMain, kEdit, 0).asInteger(), 32627);
    EXPECT_EQ(readProperty(kMain, kEdit, 1).asInteger(), -32627);
    writeProperty(kMain, kEdit, 2, Value::integer(-5));
    EXPECT_EQ(readProperty(kMain, kEdit, 2).asInteger(), 0);
    writeProperty(kMain, kEdit, 0, Value::text("33")); // converted as a number
    writeProperty(kMain, kEdit, 1, Value::doubleFloat(44.9));
    writeProperty(kMain, kEdit, 2, Value::integer(70));
    EXPECT_EQ(edit->geometry(), QRect(33, 44, 70, 25));
    // The window's own size is the outer size.
    writeProperty(kMain, kMainRecord, 2, Value::integer(400));
    EXPECT_EQ(readProperty(kMain, kMainRecord, 2).asInteger(), 400);
    EXPECT_EQ(windowWidget(kMain)->width(), 394);
}

TEST_F(RegistryTest, VisibleAndDisabledFollowTheControl)
{
    ASSERT_TRUE(loadWindow(kMain));
    QWidget* button = componentWidget(kMain, "按钮_确定");
    writeProperty(kMain, kButton, 5, Value::logical(false));
    EXPECT_FALSE(button->isVisible());
    EXPECT_FALSE(readProperty(kMain, kButton, 5).asLogical());
    writeProperty(kMain, kButton, 5, Value::integer(1));
    EXPECT_TRUE(button->isVisible());
    writeProperty(kMain, kButton, 6, Value::logical(true));
    EXPECT_FALSE(button->isEnabled());
    EXPECT_TRUE(readProperty(kMain, kButton, 6).asLogical());
    // A control inside a disabled container is not itself disabled.
    writeProperty(kMain, kGroup, 6, Value::logical(true));
    EXPECT_FALSE(readProperty(kMain, kInner, 6).asLogical());
}

TEST_F(RegistryTest, HidingTheWindowKeepsItLoadedAndShowingBringsItBack)
{
    ASSERT_TRUE(loadWindow(kMain));
    QWidget* window = windowWidget(kMain);
    writeProperty(kMain, kMainRecord, 5, Value::logical(false));
    EXPECT_FALSE(window->isVisible());
    EXPECT_TRUE(isLoaded(kMain));
    EXPECT_FALSE(readProperty(kMain, kEdit, 5).asLogical()); // its controls are not visible either
    writeProperty(kMain, kMainRecord, 5, Value::logical(true));
    EXPECT_TRUE(window->isVisible());
    EXPECT_EQ(windowWidget(kMain), window);
    EXPECT_EQ(recorder->eventsOf(kMainRecord).front(), 0);
    EXPECT_EQ(recorder->count(h::kWindowEvent + 0), 1);
}

TEST_F(RegistryTest, KindPropertiesAreConvertedToTheirTableType)
{
    ASSERT_TRUE(loadWindow(kMain));
    // Text property written with a number.
    writeProperty(kMain, kButton, 10, Value::doubleFloat(170.0));
    EXPECT_EQ(componentWidget<QPushButton>(kMain, "按钮_确定")->text(), QString("170"));
    EXPECT_EQ(readProperty(kMain, kButton, 10).asText(), "170");
    // A raw answer of the wrong kind comes back as the property's type (choice: >= 0).
    EXPECT_EQ(readProperty(kMain, kButton, 11), Value::integer(0));
    EXPECT_EQ(readProperty(kMain, kButton, 8).kind(), runtime::Kind::ByteSet);
    // A font whose face name fills all 32 bytes is taken as 宋体.
    LogFont font;
    font.height = -12;
    Bytes record = encodeLogFont(font);
    std::fill(record.begin() + 28, record.end(), std::uint8_t('A'));
    writeProperty(kMain, kButton, 13, Value::byteSet(runtime::ByteSet(record.begin(), record.end())));
    const runtime::ByteSet stored = readProperty(kMain, kButton, 13).asByteSet();
    const std::optional<LogFont> decoded = decodeLogFont(stored.data(), stored.size());
    ASSERT_TRUE(decoded);
    EXPECT_EQ(decoded->faceName, "宋体");
    // Anything but 60 bytes is no font.
    writeProperty(kMain, kButton, 13, Value::byteSet({1, 2, 3}));
    EXPECT_TRUE(readProperty(kMain, kButton, 13).asByteSet().empty());
    // The window's caption.
    writeProperty(kMain, kMainRecord, 8, Value::text("班级名Quillroll"));
    EXPECT_EQ(windowWidget(kMain)->windowTitle(), QString::fromUtf8(u8"班级名Quillroll"));
    EXPECT_EQ(windowWidget(kMain)->accessibleName(), QString::fromUtf8(u8"班级名Quillroll"));
    EXPECT_EQ(readProperty(kMain, kMainRecord, 8).asText(), "班级名Quillroll");
    // An elliptic window keeps its corners out of the shape, also after a resize.
    writeProperty(kMain, kMainRecord, 28, Value::integer(1));
    writeProperty(kMain, kMainRecord, 2, Value::integer(406));
    const QRegion mask = windowWidget(kMain)->mask();
    EXPECT_FALSE(mask.contains(QPoint(1, 1)));
    EXPECT_TRUE(mask.contains(QPoint(200, 85)));
    EXPECT_TRUE(mask.contains(QPoint(399, 85)));
}

TEST_F(RegistryTest, ASetPropertyAnsweringOneRecreatesTheControlInPlace)
{
    ASSERT_TRUE(loadWindow(kMain));
    writeProperty(kMain, kButton, 10, Value::text("改名"));
    QPointer<QPushButton> before = componentWidget<QPushButton>(kMain, "按钮_确定");
    ComponentObject* objectBefore = findComponentObject(kMain, kButton);
    writeProperty(kMain, kButton, 9, Value::integer(1));
    settle();
    EXPECT_TRUE(before.isNull());
    EXPECT_NE(findComponentObject(kMain, kButton), objectBefore);
    auto* after = componentWidget<QPushButton>(kMain, "按钮_确定");
    ASSERT_NE(after, nullptr);
    EXPECT_EQ(after->text(), QString::fromUtf8(u8"改名")); // built from the kind's current settings
    EXPECT_EQ(after->geometry(), QRect(10, 120, 80, 30));
    EXPECT_TRUE(after->isVisible());
    EXPECT_EQ(readProperty(kMain, kButton, 9).asInteger(), 1);
    // The new control still delivers its events.
    after->click();
    EXPECT_NE(recorder->last(h::kButtonClick), nullptr);
}

TEST_F(RegistryTest, MenuItemPropertiesAndTheHiddenMenuBar)
{
    ASSERT_TRUE(loadWindow(kMain));
    auto* bar = windowWidget(kMain)->findChild<QMenuBar*>(QStringLiteral("menuBar"));
    ASSERT_NE(bar, nullptr);
    EXPECT_FALSE(bar->isHidden());
    EXPECT_EQ(readProperty(kMain, kMenuOpen, 0).asText(), "打开");
    EXPECT_FALSE(readProperty(kMain, kMenuTray, 3).asLogical()); // stored hidden
    writeProperty(kMain, kMenuOpen, 0, Value::text("打开文件"));
    writeProperty(kMain, kMenuOpen, 1, Value::logical(true));
    writeProperty(kMain, kMenuQuit, 2, Value::logical(true));
    EXPECT_EQ(readProperty(kMain, kMenuOpen, 0).asText(), "打开文件");
    EXPECT_TRUE(readProperty(kMain, kMenuOpen, 1).asLogical());
    EXPECT_TRUE(readProperty(kMain, kMenuQuit, 2).asLogical());
    QAction* fileMenu = bar->actions().value(0);
    ASSERT_NE(fileMenu, nullptr);
    ASSERT_NE(fileMenu->menu(), nullptr);
    const QList<QAction*> items = fileMenu->menu()->actions();
    ASSERT_EQ(items.size(), 2);
    EXPECT_EQ(items[0]->text(), QString::fromUtf8(u8"打开文件"));
    EXPECT_TRUE(items[0]->isChecked());
    EXPECT_FALSE(items[1]->isEnabled());
    // Hiding the only shown level-0 item removes the menu bar; the client area grows.
    QWidget* client = componentWidget(kMain, "按钮_确定")->parentWidget();
    const int heightWithBar = client->height();
    writeProperty(kMain, kMenuFile, 3, Value::logical(false));
    EXPECT_TRUE(bar->isHidden());
    EXPECT_GT(client->height(), heightWithBar);
}

TEST_F(RegistryTest, AWindowWhoseMenusAreAllHiddenShowsNoMenuBar)
{
    ASSERT_TRUE(loadWindow(kHiddenMenu));
    auto* bar = windowWidget(kHiddenMenu)->findChild<QMenuBar*>(QStringLiteral("menuBar"));
    EXPECT_TRUE(bar == nullptr || bar->isHidden());
}

using PropertyDeathTest = RegistryTest;

TEST_F(PropertyDeathTest, KindPropertiesOfAWindowThatIsNotLoadedAreFatal)
{
    EXPECT_EXIT(
        {
            answerModalBoxesWithDefault();
            readProperty(kMain, kEdit, 8);
        },
        ::testing::ExitedWithCode(255),
        utf8(u8"运行时出错!.*读取组件属性时发现指定窗口尚未载入.*"
             u8"1375797249, 369164321"));
    EXPECT_EXIT(
        {
            answerModalBoxesWithDefault();
            writeProperty(kMain, kEdit, 8, Value::text("x"));
        },
        ::testing::ExitedWithCode(255), utf8(u8"修改组件属性时发现指定窗口尚未载入"));
}

TEST_F(PropertyDeathTest, AWindowOutsideTheRegistryIsFatal)
{
    EXPECT_EXIT(
        {
            answerModalBoxesWithDefault();
            readProperty(0x52017777, kEdit, 0);
        },
        ::testing::ExitedWithCode(255), utf8(u8"未载入欲访问窗口组件所在的窗口.*未找到所指定的窗口"));
    EXPECT_EXIT(
        {
            answerModalBoxesWithDefault();
            writeProperty(0x52017777, kEdit, 0, Value::integer(1));
        },
        ::testing::ExitedWithCode(255), utf8(u8"未载入欲访问窗口组件所在的窗口"));
}

TEST_F(PropertyDeathTest, ThePropertyOfAComponentTheWindowLacksIsFatal)
{
    EXPECT_EXIT(
        {
            answerModalBoxesWithDefault();
            loadWindow(kMain);
            readProperty(kMain, 0x16017777, 0);
        },
        ::testing::ExitedWithCode(255), utf8(u8"未找到所指定的窗口组件"));
}

} // namespace
} // namespace qr::forms::testing

namespace qr::forms::testing {
namespace {

runtime::ByteSet pngOf(QSize size, QColor colour)
{
    QImage image(size, QImage::Format_RGB32);
    image.fill(colour);
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    return runtime::ByteSet(png.begin(), png.end());
}

TEST_F(RegistryTest, BackgroundPictureModesDrawOverTheBackgroundColour)
{
    ASSERT_TRUE(loadWindow(kMain));
    writeProperty(kMain, kMenuFile, 3, Value::logical(false));         // no menu bar: client 294 x 171
    writeProperty(kMain, kMainRecord, 10, Value::integer(0x0000FF00)); // green (COLORREF)
    QWidget* client = componentWidget(kMain, "按钮_确定")->parentWidget();
    ASSERT_EQ(client->size(), QSize(294, 171));
    const auto pixel = [&](int x, int y) { return client->grab().toImage().pixelColor(x, y); };
    const QColor red(Qt::red), green(0, 255, 0);

    writeProperty(kMain, kMainRecord, 11, Value::byteSet(pngOf({4, 4}, red)));
    writeProperty(kMain, kMainRecord, 12, Value::integer(0)); // own size, top-left
    EXPECT_EQ(pixel(1, 1), red);
    EXPECT_EQ(pixel(100, 60), green);
    writeProperty(kMain, kMainRecord, 12, Value::integer(1)); // tiled
    EXPECT_EQ(pixel(100, 60), red);
    writeProperty(kMain, kMainRecord, 12, Value::integer(2)); // centred at own size
    EXPECT_EQ(pixel(146, 84), red);
    EXPECT_EQ(pixel(100, 60), green);
    writeProperty(kMain, kMainRecord, 12, Value::integer(3)); // stretched
    EXPECT_EQ(pixel(100, 60), red);
    EXPECT_EQ(pixel(140, 165), red);

    // Centred and larger than the client area: scaled down by the smaller ratio.
    writeProperty(kMain, kMainRecord, 11, Value::byteSet(pngOf({600, 300}, red)));
    writeProperty(kMain, kMainRecord, 12, Value::integer(2));
    EXPECT_EQ(pixel(100, 5), green); // above the 294 x 147 picture
    EXPECT_EQ(pixel(100, 60), red);
    // Not a picture: only the colour.
    writeProperty(kMain, kMainRecord, 11, Value::byteSet({'x', 'y', 'z', 0, 1, 2, 3, 4}));
    EXPECT_EQ(pixel(100, 60), green);
    EXPECT_EQ(readProperty(kMain, kMainRecord, 11).asByteSet(), runtime::ByteSet({'x', 'y', 'z', 0, 1, 2, 3, 4}));
}

} // namespace
} // namespace qr::forms::testing
