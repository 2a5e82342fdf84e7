// Every window of the catalogue as a teacher sees it: the control look start-up
// switches on, the fonts this machine resolves, the forms' sample contents and
// lists holding the longest values a class has. No caption, content, combo item,
// header or list cell may need more room than its control gives it.
#include "text_room.h"

#include "app/catalogue/catalogue.h"
#include "forms/kinds/control_look.h"
#include "forms/kinds/report_list_ops.h"
#include "forms/registry/component_kind.h"
#include "forms/registry/qt_text.h"
#include "forms/registry/window_registry.h"

#include <QApplication>
#include <QComboBox>
#include <QFontInfo>
#include <QGuiApplication>
#include <QHeaderView>
#include <QTableView>

#include <gtest/gtest.h>

#include <array>
#include <string>

namespace qr::forms::testing {
namespace {

namespace cat = catalogue;

struct WindowCase {
    const char* name;
    std::uint32_t windowId;
    std::uint32_t listId; // 0: the window has no report list
};

void PrintTo(const WindowCase& c, std::ostream* out) { *out << c.name; }

// The longest values a student's row shows, column by column. The address is
// meant to be cut by its column; every other column holds its value whole.
constexpr int kAddressColumn = 12;
const std::array<const char8_t*, 19> kLongestRow = {
    u8"88",       // 序号
    u8"欧阳晓燕", // a four-character name
    u8"女",
    u8"165.5",
    u8"45.5",
    u8"13岁",
    u8"201707001234",        // 学籍辅号: its 12 bytes
    u8"G110101200401011234", // 全国学号
    u8"是",
    u8"12#301",
    u8"12",
    u8"11010120040101123X",                                           // 身份证号
    u8"湖南省长沙市芙蓉区马王堆街道东屯渡村第二村民小组一百八十八号", // 30 characters
    u8"父亲",
    u8"欧阳建国",
    u8"18812345678",
    u8"母亲",
    u8"司马晓红",
    u8"19912345678",
};

std::string gbk(const char8_t* utf8) { return fromQString(QString::fromUtf8(reinterpret_cast<const char*>(utf8))); }

QWidget* windowWidget(std::uint32_t windowId)
{
    const QString name = QString::asprintf("0x%08X", windowId);
    for (QWidget* w : QApplication::topLevelWidgets())
        if (w->objectName() == name && !w->isHidden())
            return w;
    return nullptr;
}

void settle()
{
    for (int i = 0; i < 3; ++i) {
        QCoreApplication::sendPostedEvents();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QCoreApplication::processEvents();
    }
}

class LookTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        registerStandardKinds();
        initFormsRuntime(cat::templateStoreBytes());
        controlLook(1);
    }
    void TearDown() override
    {
        destroyAllWindows();
        controlLook(0);
        settle();
    }
};

class WindowFit : public LookTest, public ::testing::WithParamInterface<WindowCase> {};

TEST_P(WindowFit, NoTextNeedsMoreRoomThanItsControlGives)
{
    const WindowCase& c = GetParam();
    ASSERT_TRUE(loadWindow(c.windowId));
    if (c.listId != 0) {
        for (int row = 0; row < 3; ++row) {
            const int r = report_list::insertRow(c.windowId, c.listId);
            for (int column = 0; column < int(kLongestRow.size()); ++column)
                report_list::setCellText(c.windowId, c.listId, r, column, gbk(kLongestRow[std::size_t(column)]));
        }
    }
    settle();
    QWidget* window = windowWidget(c.windowId);
    ASSERT_NE(window, nullptr);
    std::set<int> wholeColumns;
    for (int column = 0; column < int(kLongestRow.size()); ++column)
        if (column != kAddressColumn)
            wholeColumns.insert(column);

    for (const TextCut& cut : cutTexts(*window, wholeColumns))
        ADD_FAILURE() << qPrintable(QGuiApplication::platformName()) << ": " << cut.where.toStdString() << " \""
                      << cut.text.toStdString() << "\" needs " << cut.needed << " px, has " << cut.room;
}

// The address column is the one meant to cut: the check must see that.
TEST_F(LookTest, TheAddressColumnIsCutAsItsLayoutIntends)
{
    ASSERT_TRUE(loadWindow(cat::kMainWindow));
    constexpr std::uint32_t list = 0x160100D1;
    const int r = report_list::insertRow(cat::kMainWindow, list);
    report_list::setCellText(cat::kMainWindow, list, r, kAddressColumn, gbk(kLongestRow[kAddressColumn]));
    settle();
    int cutCells = 0;
    for (const TextCut& cut : cutTexts(*windowWidget(cat::kMainWindow), {kAddressColumn}))
        cutCells += cut.where.endsWith(QStringLiteral("column 12")) ? 1 : 0;
    EXPECT_EQ(cutCells, 1);
}

// A dropped-down combo list shows its items in the combo box's font.
TEST_F(LookTest, ComboListsShowTheirItemsInTheBoxsFont)
{
    ASSERT_TRUE(loadWindow(cat::kAddForm));
    settle();
    const auto boxes = windowWidget(cat::kAddForm)->findChildren<QComboBox*>();
    ASSERT_EQ(boxes.size(), 4);
    for (QComboBox* box : boxes) {
        box->showPopup();
        settle();
        EXPECT_EQ(QFontInfo(box->view()->font()).family().toStdString(), QFontInfo(box->font()).family().toStdString());
        EXPECT_EQ(QFontInfo(box->view()->viewport()->font()).family().toStdString(),
                  QFontInfo(box->font()).family().toStdString());
        box->hidePopup();
    }
}

// The column titles are painted on the header's viewport: in the list's font, not
// in the application's.
TEST_F(LookTest, ListHeadersPaintInTheListsOwnFont)
{
    for (std::uint32_t windowId : {cat::kMainWindow, cat::kDeletedWindow}) {
        ASSERT_TRUE(loadWindow(windowId));
        settle();
        auto* view = windowWidget(windowId)->findChild<QTableView*>();
        ASSERT_NE(view, nullptr);
        EXPECT_EQ(QFontInfo(view->horizontalHeader()->viewport()->font()).family().toStdString(),
                  QFontInfo(view->font()).family().toStdString());
        EXPECT_EQ(view->horizontalHeader()->viewport()->font().pixelSize(), 14);
    }
}

INSTANTIATE_TEST_SUITE_P(Catalogue, WindowFit,
                         ::testing::Values(WindowCase{"StartWindow", cat::kStartWindow, 0},
                                           WindowCase{"AddForm", cat::kAddForm, 0},
                                           WindowCase{"MainWindow", cat::kMainWindow, 0x160100D1},
                                           WindowCase{"AboutWindow", cat::kAboutWindow, 0},
                                           WindowCase{"ModifyForm", cat::kModifyForm, 0},
                                           WindowCase{"DetailView", cat::kDetailView, 0},
                                           WindowCase{"DeletedWindow", cat::kDeletedWindow, 0x160103D5}),
                         [](const ::testing::TestParamInfo<WindowCase>& info) { return info.param.name; });

} // namespace
} // namespace qr::forms::testing
