// A desktop without a tray (GNOME without the AppIndicator extension): the tray icons
// are never shown, so at every step of a teacher's walk through the program some
// window of it must be on the screen or on the taskbar, or the program must have ended.
#include "tests/app/app_fixture.h"

#include "app/component_ids.h"
#include "forms/registry/window_registry.h"

#include <QApplication>
#include <QSystemTrayIcon>
#include <QWidget>

namespace qr::app::test {
namespace {

constexpr std::uint32_t kWindows[] = {kStartWindow, kMainWindow,    kAddForm,    kModifyForm,
                                      kDetailView,  kDeletedWindow, kAboutWindow};

bool anyWindowLoaded()
{
    for (std::uint32_t id : kWindows)
        if (forms::isLoaded(id))
            return true;
    return false;
}

// A window the teacher can get back to without a tray: shown (minimised counts, it
// sits on the taskbar) and not kept off the taskbar.
bool reachable(const QWidget* w)
{
    const Qt::WindowFlags flags = w->windowFlags();
    return w->isVisible() && w->isWindow() && w->windowType() != Qt::Tool && w->windowType() != Qt::Popup &&
           !(flags & Qt::X11BypassWindowManagerHint);
}

int reachableWindows()
{
    int count = 0;
    for (QWidget* w : QApplication::topLevelWidgets())
        count += reachable(w) ? 1 : 0;
    return count;
}

void expectSomethingToGoBackTo(const char* step)
{
    settle();
    if (anyWindowLoaded()) {
        EXPECT_GE(reachableWindows(), 1) << step << ": the program runs with no window to bring back";
    }
    for (QWidget* w : QApplication::topLevelWidgets())
        for (QSystemTrayIcon* tray : w->findChildren<QSystemTrayIcon*>())
            EXPECT_FALSE(tray->isVisible()) << step << ": a tray icon shown where there is no tray";
}

class NoTrayTest : public AppTest {
protected:
    void SetUp() override
    {
        forms::overrideSystemTrayAvailable(false);
        AppTest::SetUp();
    }
    void TearDown() override
    {
        AppTest::TearDown();
        forms::overrideSystemTrayAvailable(std::nullopt);
    }
};

TEST_F(NoTrayTest, EveryStepLeavesAWindowToGoBackTo)
{
    seed(rosterPath(), {sampleStudent(1, "甲"), sampleStudent(2, "乙")});
    writeClassName("Tarnfield初中2017级1班");
    startProgram();
    expectSomethingToGoBackTo("start window");
    window(kStartWindow)->showMinimized();
    expectSomethingToGoBackTo("start window minimised");
    window(kStartWindow)->showNormal();

    clickButton(kStartWindow, "按钮_确定");
    settle();
    ASSERT_TRUE(forms::isLoaded(kMainWindow));
    expectSomethingToGoBackTo("main window");
    EXPECT_FALSE(forms::isLoaded(kStartWindow));

    window(kMainWindow)->showMinimized();
    expectSomethingToGoBackTo("main window minimised");
    EXPECT_TRUE(window(kMainWindow)->isMinimized());
    // Loading it again (what the taskbar's click and the program's own calls do)
    // brings it back as it brings it back from the tray.
    ASSERT_TRUE(forms::loadWindow(kMainWindow));
    settle();
    EXPECT_FALSE(window(kMainWindow)->isMinimized());

    clickToolbar(kMainWindow, "工具条1", 7); // the deleted students, beside the main window
    expectSomethingToGoBackTo("deleted-students window");
    clickToolbar(kMainWindow, "工具条1", 8); // about
    expectSomethingToGoBackTo("about window");
    pressEsc(kMainWindow);
    expectSomethingToGoBackTo("main window closed, two windows left");
    ASSERT_TRUE(forms::isLoaded(kDeletedWindow));
    pressEsc(kAboutWindow);
    expectSomethingToGoBackTo("about closed");
    pressEsc(kDeletedWindow);
    settle();
    EXPECT_FALSE(anyWindowLoaded()) << "the last window closed ends the program";
}

} // namespace
} // namespace qr::app::test
