// Ctrl+P and Ctrl+Shift+P in the main window: the previews open over it, named for
// screen readers, with what the roster store holds in list order, and reading for
// them changes no byte of the stores.
#include "tests/app/app_fixture.h"

#include "app/app_paths.h"
#include "app/component_ids.h"
#include "app/handlers.h"
#include "app/print/class_list_print.h"
#include "app/print/contact_sheet_print.h"
#include "app/print_preview.h"
#include "app/roster_print.h"
#include "forms/registry/window_registry.h"
#include "tests/app/print/pdf_reading.h"
#include "tests/support/file_contents.h"

#include <QApplication>
#include <QPdfWriter>
#include <QPrintPreviewDialog>
#include <QPrintPreviewWidget>
#include <QPrinter>
#include <QTest>

#include <functional>

namespace qr::app::test {
namespace {

QPrintPreviewDialog* preview(std::string_view nameGbk)
{
    for (QWidget* top : QApplication::topLevelWidgets())
        if (auto* dialog = qobject_cast<QPrintPreviewDialog*>(top); dialog && dialog->objectName() == qs(nameGbk))
            return dialog;
    return nullptr;
}

void pressInMainWindow(Qt::KeyboardModifiers modifiers)
{
    QWidget* top = window(kMainWindow);
    ASSERT_NE(top, nullptr);
    // A closed preview hands the activation back asynchronously; the keys are the
    // active window's.
    top->activateWindow();
    EXPECT_TRUE(QTest::qWaitForWindowActive(top, 2000));
    QTest::keyClick(top->focusWidget() ? top->focusWidget() : top, Qt::Key_P, modifiers);
    settle();
}

class PrintPreviewTest : public AppTest {
protected:
    void seedClass(int students)
    {
        std::vector<StudentRecord> all;
        for (int k = 1; k <= students; ++k) {
            all.push_back(sampleStudent(k, "学生" + std::to_string(k) + "号"));
            // 18 characters each, none inside another.
            char idCard[32];
            std::snprintf(idCard, sizeof idCard, "43010220100315%03dX", k % 1000);
            all.back().idCard = idCard;
        }
        seed(rosterPath(), all);
    }

    std::vector<std::string> storeFiles() const
    {
        std::vector<std::string> bytes;
        for (const char* name : {"xsdate.edb", "xsdate.EDT", "deldate.edb", "deldate.EDT"})
            bytes.push_back(test_support::wholeFile((dir() / name).string()));
        return bytes;
    }
};

TEST_F(PrintPreviewTest, CtrlPAndCtrlShiftPOpenTheirPreviewsAndLeaveTheStoresAsTheyWere)
{
    seedClass(30);
    enterMainWindow();
    const auto before = storeFiles();
    const auto list = classListFromStore(rosterPath(), {mainWindowClassName(), QDate::currentDate()});
    ASSERT_TRUE(list.has_value());
    forgetBoxes();

    struct Case {
        Qt::KeyboardModifiers keys;
        std::string_view name;
        std::string_view spoken;
        QPageLayout::Orientation orientation;
        std::function<int(const QPrinter&)> pages; // what the preview must show
    };
    for (const Case& c :
         {Case{Qt::ControlModifier | Qt::ShiftModifier, kCardPreviewName, "照片打印预览", QPageLayout::Portrait,
               [](const QPrinter&) { return (30 + print::kCardsPerPage - 1) / print::kCardsPerPage; }},
          Case{Qt::ControlModifier, kListPreviewName, "打印预览", QPageLayout::Landscape,
               [&](const QPrinter& printer) { return int(print::classListPages(printer, *list).size()); }}}) {
        SCOPED_TRACE(std::string(c.name));
        pressInMainWindow(c.keys);
        QPrintPreviewDialog* dialog = preview(c.name);
        ASSERT_NE(dialog, nullptr);
        EXPECT_TRUE(dialog->isVisible());
        EXPECT_EQ(dialog->parentWidget(), window(kMainWindow));
        EXPECT_EQ(dialog->accessibleName(), qs(c.spoken));
        EXPECT_TRUE(dialog->accessibleDescription().startsWith(qs(c.name)));
        EXPECT_TRUE(dialog->windowTitle().contains(qs("Tarnfield初中2017级1班")));
        EXPECT_EQ(dialog->printer()->pageLayout().orientation(), c.orientation);
        // The preview painted its pages through the same layout.
        auto* pages = dialog->findChild<QPrintPreviewWidget*>();
        ASSERT_NE(pages, nullptr);
        EXPECT_EQ(pages->pageCount(), c.pages(*dialog->printer()));
        dialog->reject();
        settle();
        EXPECT_EQ(preview(c.name), nullptr);
        EXPECT_TRUE(forms::isLoaded(kMainWindow));
    }
    EXPECT_TRUE(boxes().empty());
    EXPECT_EQ(storeFiles(), before);
}

TEST_F(PrintPreviewTest, WhatIsPrintedIsTheListAsShownAndThePhotosAsStored)
{
    seedClass(60);
    enterMainWindow();
    const auto before = storeFiles();
    const print::PageHeading heading{mainWindowClassName(), QDate(2026, 12, 9)};
    EXPECT_EQ(heading.titleGbk, "Tarnfield初中2017级1班");

    const auto list = classListFromStore(rosterPath(), heading);
    ASSERT_TRUE(list.has_value());
    ASSERT_EQ(int(list->rows.size()), rowCount(kMainWindow));
    for (int r = 0; r < rowCount(kMainWindow); ++r)
        for (int c = 0; c < 19; ++c)
            ASSERT_EQ(list->rows[std::size_t(r)][std::size_t(c)], cell(kMainWindow, r, c)) << r << "," << c;

    const auto sheet = contactSheetFromStore(rosterPath(), heading);
    ASSERT_TRUE(sheet.has_value());
    const auto stored = readAll(rosterPath());
    ASSERT_EQ(sheet->cards.size(), stored.size());
    for (std::size_t k = 0; k < stored.size(); ++k) {
        EXPECT_EQ(sheet->cards[k].name, stored[k].name);
        EXPECT_EQ(sheet->cards[k].idCard, stored[k].idCard);
        EXPECT_EQ(sheet->cards[k].guardian1Phone, stored[k].guardian1Phone);
        EXPECT_EQ(sheet->cards[k].photo, stored[k].photo);
    }

    // On paper, through the code the preview's printer gets.
    const QString file = QString::fromStdString((dir() / "list.pdf").string());
    {
        QPdfWriter writer(file);
        writer.setPageLayout(print::classListPageLayout());
        EXPECT_GT(print::printClassList(writer, *list), 0);
    }
    const qr::test::PdfFacts pdf = qr::test::readPdf(file);
    const QString whole = pdf.pageTexts.join(QChar(u'\f'));
    for (const StudentRecord& s : stored) {
        // 学生1号 is not inside 学生11号, so each name is counted alone.
        EXPECT_EQ(qr::test::occurrences(whole, qs(s.name)), 1) << s.number;
        EXPECT_EQ(qr::test::occurrences(whole, qs(s.idCard)), 1) << s.number;
    }
    EXPECT_EQ(storeFiles(), before);
}

TEST_F(PrintPreviewTest, AnUnopenableRosterIsReportedAndNoPreviewOpens)
{
    seedClass(2);
    enterMainWindow();
    removeStore(rosterPath());
    forgetBoxes();
    pressInMainWindow(Qt::ControlModifier);
    EXPECT_EQ(preview(kListPreviewName), nullptr);
    EXPECT_EQ(boxes().size(), 1u);
}

} // namespace
} // namespace qr::app::test
