#include "forms/kinds/toolbar.h"
#include "tests/forms/kinds/kind_window.h"

#include <QTest>
#include <QToolButton>

namespace qr::forms::test {
namespace {

using runtime::Value;

constexpr std::uint32_t kToolBar = 0x160100D0;

class ToolBarTest : public KindWindowTest {
protected:
    void SetUp() override
    {
        ToolBarSettings s;
        LogFont font;
        font.height = -16;
        font.faceName = gbk(u8"黑体");
        s.font = font;
        const char8_t* captions[] = {u8"全班学生", u8"信息查询",  u8"信息添加",  u8"信息修改", u8"删除该生",
                                     u8"全部清空", u8"Excel导出", u8"Excel导入", u8"删除查询", u8"关于"};
        for (const char8_t* c : captions)
            s.buttons.push_back({-1, 4, 0, gbk(c), gbk(u8"提示") + gbk(c)});
        s.buttons.push_back({-1, 4, 0, "", ""});
        s.buttons.push_back({-1, 4, 0, "", gbk(u8"空白")});
        s.buttons.push_back({-1, 4, 1, "", ""}); // separator
        s.buttons.push_back({-1, 0, 0, gbk(u8"停用"), ""});
        add(kToolBar, UnitKind::ToolBar, gbk(u8"工具条1"), {0, -6, 817, 28}, s, {0});
        load();
        bar = dynamic_cast<ToolBarObject*>(object(kToolBar));
        ASSERT_NE(bar, nullptr);
    }
    ToolBarObject* bar = nullptr;
};

TEST_F(ToolBarTest, EveryButtonRaisesItsIndexEvenWithoutCaption)
{
    for (int index : {0, 2, 9, 10, 11}) {
        events.clear();
        QToolButton* button = bar->button(index);
        ASSERT_NE(button, nullptr) << index;
        ASSERT_TRUE(button->isVisible()) << index;
        QTest::mouseClick(button, Qt::LeftButton);
        ASSERT_EQ(events.size(), 1u) << index;
        EXPECT_EQ(events[0].componentId, kToolBar);
        EXPECT_EQ(events[0].number, 0);
        ASSERT_EQ(events[0].args.size(), 1u);
        EXPECT_EQ(events[0].args[0].asInteger(), index);
    }
    // The separator has no button; a disabled button raises nothing.
    EXPECT_EQ(bar->button(12), nullptr);
    events.clear();
    QTest::mouseClick(bar->button(13), Qt::LeftButton);
    EXPECT_TRUE(events.empty());
}

TEST_F(ToolBarTest, CaptionsToolTipsFontAndPlacement)
{
    EXPECT_EQ(bar->button(2)->text(), q(u8"信息添加"));
    EXPECT_EQ(bar->button(2)->toolTip(), q(u8"提示信息添加"));
    EXPECT_EQ(bar->button(11)->toolTip(), q(u8"空白"));
    EXPECT_EQ(bar->button(10)->text(), QString());
    EXPECT_GE(bar->button(10)->width(), 20);
    EXPECT_EQ(bar->button(0)->font().pixelSize(), 16);
    // The bar stands 6 pixels above the client area; its buttons stay in view.
    EXPECT_GE(bar->button(0)->mapTo(bar->widget()->window(), QPoint(0, 0)).y(), 0);
    EXPECT_LT(bar->button(9)->geometry().right(), 817);
}

TEST_F(ToolBarTest, ButtonListRoundTripsAndDamagedListsAreIgnored)
{
    const Bytes stored = read(kToolBar, 18).asByteSet();
    auto decoded = decodeToolBarButtons(stored);
    ASSERT_TRUE(decoded);
    EXPECT_EQ(*decoded, bar->settings().buttons);
    std::vector<ToolBarButton> two = {{-1, 4, 0, gbk(u8"甲"), ""}, {-1, 4, 0, "", ""}};
    write(kToolBar, 18, Value::byteSet(encodeToolBarButtons(two)));
    ASSERT_NE(bar->button(1), nullptr);
    EXPECT_EQ(bar->button(2), nullptr);
    events.clear();
    QTest::mouseClick(bar->button(1), Qt::LeftButton);
    ASSERT_EQ(events.size(), 1u);
    EXPECT_EQ(events[0].args[0].asInteger(), 1);
    Bytes damaged = encodeToolBarButtons(two);
    damaged.resize(damaged.size() - 3);
    EXPECT_FALSE(decodeToolBarButtons(damaged));
    write(kToolBar, 18, Value::byteSet(damaged));
    EXPECT_NE(bar->button(1), nullptr);
}

} // namespace
} // namespace qr::forms::test
