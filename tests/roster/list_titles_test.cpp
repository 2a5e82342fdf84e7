// The main and recycle lists, as the window catalogue builds them, carry the roster's
// nineteen column titles in column order.
#include "app/catalogue/catalogue.h"
#include "forms/template/template_reader.h"
#include "roster/columns.h"

#include <gtest/gtest.h>

namespace qr::roster {
namespace {

void expectRosterColumns(std::uint32_t windowId, std::uint32_t listId)
{
    const forms::TemplateStore store = forms::loadTemplateStore(catalogue::templateStoreBytes());
    const forms::WindowTemplate* window = store.find(windowId);
    ASSERT_NE(window, nullptr);
    const forms::ComponentRecord* list = window->find(listId);
    ASSERT_NE(list, nullptr);
    const auto* settings = list->as<forms::ReportListSettings>();
    ASSERT_NE(settings, nullptr);
    ASSERT_EQ(settings->columns.size(), kColumnCount);
    for (std::size_t k = 0; k < kColumnCount; ++k)
        EXPECT_EQ(settings->columns[k].title, kListTitles[k]) << k;
}

TEST(ListTitles, MainListShowsTheRosterColumns)
{
    expectRosterColumns(catalogue::kMainWindow, catalogue::MainWindow::kList);
}

TEST(ListTitles, RecycleListShowsTheRosterColumns)
{
    expectRosterColumns(catalogue::kDeletedWindow, catalogue::DeletedWindow::kList);
}

} // namespace
} // namespace qr::roster
