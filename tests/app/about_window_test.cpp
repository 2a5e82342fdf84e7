// The about window shows exactly what its template carries: its caption and every
// label's text, and nothing the application added.
#include "tests/app/app_fixture.h"

#include "app/catalogue/catalogue.h"
#include "app/component_ids.h"
#include "forms/registry/window_registry.h"
#include "forms/template/template_reader.h"

#include <QLabel>
#include <QWidget>

namespace qr::app::test {
namespace {

class AboutWindowTest : public AppTest {};

TEST_F(AboutWindowTest, ShowsTheCataloguesCaptionAndLabelsUnchanged)
{
    const forms::TemplateStore carried = forms::loadTemplateStore(catalogue::templateStoreBytes());
    const forms::WindowTemplate* about = carried.find(kAboutWindow);
    ASSERT_NE(about, nullptr);
    ASSERT_NE(about->settings(), nullptr);

    enterMainWindow();
    clickToolbar(kMainWindow, "工具条1", 8);
    settle();
    QWidget* shown = window(kAboutWindow);
    ASSERT_NE(shown, nullptr);
    EXPECT_EQ(gbk(shown->windowTitle()), about->settings()->caption);

    int labels = 0;
    for (const forms::ComponentRecord& record : about->records) {
        const auto* settings = record.as<forms::LabelSettings>();
        if (settings == nullptr)
            continue;
        ++labels;
        SCOPED_TRACE(record.name);
        auto* label = qobject_cast<QLabel*>(component(kAboutWindow, record.name));
        ASSERT_NE(label, nullptr);
        EXPECT_EQ(gbk(label->text()), settings->caption);
        EXPECT_TRUE(label->isVisible());
    }
    EXPECT_EQ(labels, 2);
    EXPECT_EQ(shown->findChildren<QLabel*>().size(), qsizetype(labels));
}

} // namespace
} // namespace qr::app::test
