// Start-up: naming the class, the configuration file, the tray menu and Esc.
#include "tests/app/app_fixture.h"

#include "app/component_ids.h"
#include "app/messages.h"
#include "forms/registry/component_kind.h"
#include "forms/registry/window_registry.h"

#include <QTest>
#include <QWidget>

#include <fstream>
#include <sstream>

namespace qr::app::test {
namespace {

using runtime::PressedButton;

std::string fileBytes(const std::filesystem::path& path)
{
    std::ifstream in(path, std::ios::binary);
    std::stringstream bytes;
    bytes << in.rdbuf();
    return bytes.str();
}

void trayAction(std::uint32_t windowId, int action)
{
    forms::raiseEvent(windowId, windowComponent(windowId), 9, {runtime::Value::integer(action)});
    settle();
}

class StartWindowTest : public AppTest {};

TEST_F(StartWindowTest, FirstStartHintsThenEnterWritesTheClassNameAndOpensTheMainWindow)
{
    startProgram();
    ASSERT_EQ(boxes().size(), 1u);
    EXPECT_EQ(boxes()[0].text, text::kFirstUse);
    EXPECT_EQ(boxes()[0].title, text::kReminderTitle);
    EXPECT_EQ(boxes()[0].flags, 48u);
    EXPECT_FALSE(std::filesystem::exists(dir() / "config.ini"));

    typeText(kStartWindow, "编辑框_班级", "Tarnfield初中2017级1班");
    pressKey(kStartWindow, "编辑框_班级", Qt::Key_Return);
    settle();

    ASSERT_TRUE(forms::isLoaded(kMainWindow));
    EXPECT_FALSE(forms::isLoaded(kStartWindow));
    EXPECT_EQ(gbk(window(kMainWindow)->windowTitle()), "Tarnfield初中2017级1班Quillroll");
    // The file is GBK, the section and key as the next start reads them.
    const std::string ini = fileBytes(dir() / "config.ini");
    EXPECT_NE(ini.find("[学校班级]"), std::string::npos) << ini;
    EXPECT_NE(ini.find("date=Tarnfield初中2017级1班"), std::string::npos) << ini;
}

TEST_F(StartWindowTest, EmptyNameIsRefusedAndOtherKeysDoNothing)
{
    writeClassName("");
    startProgram();
    forgetBoxes();
    pressKey(kStartWindow, "编辑框_班级", Qt::Key_Tab);
    clickButton(kStartWindow, "按钮_确定");
    settle();
    ASSERT_EQ(boxes().size(), 1u);
    EXPECT_EQ(boxes()[0].text, text::kEnterClassName);
    EXPECT_EQ(boxes()[0].flags, 48u);
    EXPECT_FALSE(forms::isLoaded(kMainWindow));
    EXPECT_TRUE(forms::isLoaded(kStartWindow));
}

TEST_F(StartWindowTest, ThreeBlanksAreAcceptedAsTheName)
{
    startProgram();
    typeText(kStartWindow, "编辑框_班级", "   ");
    clickButton(kStartWindow, "按钮_确定");
    settle();
    ASSERT_TRUE(forms::isLoaded(kMainWindow));
    EXPECT_EQ(gbk(window(kMainWindow)->windowTitle()), "   Quillroll");
    EXPECT_NE(fileBytes(dir() / "config.ini").find("date=   "), std::string::npos);
}

TEST_F(StartWindowTest, StoredNameIsOfferedWithoutAHint)
{
    writeClassName("七年级3班");
    startProgram();
    EXPECT_TRUE(boxes().empty());
    EXPECT_EQ(content(kStartWindow, start_window::kClassEdit, 8), "七年级3班");
}

TEST_F(StartWindowTest, EscBeforeConfirmingEndsWithoutWritingTheConfiguration)
{
    startProgram();
    pressEsc(kStartWindow);
    EXPECT_FALSE(forms::isLoaded(kStartWindow));
    EXPECT_FALSE(std::filesystem::exists(dir() / "config.ini"));
}

TEST_F(StartWindowTest, TrayMenuCloseBeforeConfirmingEndsTheProgram)
{
    startProgram();
    chooseNextMenuItem("关闭");
    trayAction(kStartWindow, 3);
    EXPECT_FALSE(forms::isLoaded(kStartWindow));
    EXPECT_FALSE(forms::isLoaded(kMainWindow));
}

TEST_F(StartWindowTest, MainWindowTrayRestoresAndItsMenuOpensAndCloses)
{
    enterMainWindow();
    QWidget* main = window(kMainWindow);
    main->showMinimized();
    settle();
    trayAction(kMainWindow, 1);
    EXPECT_FALSE(window(kMainWindow)->isMinimized());

    window(kMainWindow)->showMinimized();
    settle();
    chooseNextMenuItem("打开");
    trayAction(kMainWindow, 3);
    EXPECT_FALSE(window(kMainWindow)->isMinimized());

    chooseNextMenuItem("关闭");
    trayAction(kMainWindow, 3);
    EXPECT_FALSE(forms::isLoaded(kMainWindow));
}

} // namespace
} // namespace qr::app::test
