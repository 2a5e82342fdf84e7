// Buttons, group boxes, labels, the external database and the control look.
#include "forms/kinds/control_look.h"
#include "forms/kinds/external_database.h"
#include "tests/forms/kinds/kind_window.h"

#include <QApplication>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStyle>
#include <QTest>

namespace qr::forms::test {
namespace {

using runtime::Value;

constexpr std::uint32_t kButton = 0x160100D5, kGroup = 0x1601003D, kMember = 0x16010055, kLabel = 0x16010371,
                        kDatabase = 0x1601010C;

class SimpleKindsTest : public KindWindowTest {
protected:
    void SetUp() override
    {
        ButtonSettings b;
        b.caption = gbk(u8"进入系统");
        add(kButton, UnitKind::Button, gbk(u8"按钮_确定"), {277, 151, 92, 48}, b, {0});
        GroupBoxSettings g;
        g.caption = gbk(u8"个人信息");
        add(kGroup, UnitKind::GroupBox, gbk(u8"分组框1"), {8, 8, 260, 120}, g);
        EditBoxSettings e;
        e.content = gbk(u8"小苹果");
        add(kMember, UnitKind::EditBox, gbk(u8"编辑框_姓名"), {71, 13, 74, 25}, e).containerId = kGroup;
        LabelSettings l;
        l.caption = gbk(u8"姓   名");
        l.settings[LabelSettings::kTextColour] = std::int32_t(rgb(255, 0, 255));
        add(kLabel, UnitKind::Label, gbk(u8"标签2"), {220, 310, 180, 24}, l);
        add(kDatabase, UnitKind::ExternalDatabase, gbk(u8"外部数据库1"), {16, 88, 48, 24}, std::monostate{});
        load();
    }
};

TEST_F(SimpleKindsTest, ButtonClickRaisesEventZero)
{
    auto* button = widgetAs<QPushButton>(kButton);
    ASSERT_NE(button, nullptr);
    EXPECT_EQ(button->text(), q(u8"进入系统"));
    EXPECT_EQ(button->accessibleName(), q(u8"进入系统"));
    QTest::mouseClick(button, Qt::LeftButton);
    ASSERT_EQ(events.size(), 1u);
    EXPECT_EQ(events[0].componentId, kButton);
    EXPECT_EQ(events[0].number, 0);
    EXPECT_TRUE(events[0].args.empty());
    write(kButton, 10, Value::text(gbk(u8"确定")));
    EXPECT_EQ(button->text(), q(u8"确定"));
    EXPECT_EQ(read(kButton, 10).asText(), gbk(u8"确定"));
}

TEST_F(SimpleKindsTest, HiddenGroupBoxHidesItsMembers)
{
    auto* group = widgetAs<QGroupBox>(kGroup);
    auto* member = widgetAs<QLineEdit>(kMember);
    ASSERT_NE(group, nullptr);
    ASSERT_NE(member, nullptr);
    EXPECT_EQ(member->parentWidget(), group);
    EXPECT_EQ(group->title(), q(u8"个人信息"));
    EXPECT_TRUE(member->isVisible());
    write(kGroup, 5, Value::logical(false));
    EXPECT_FALSE(member->isVisible());
    write(kGroup, 5, Value::logical(true));
    EXPECT_TRUE(member->isVisible());
    write(kGroup, 9, Value::integer(2));
    EXPECT_EQ(group->alignment(), Qt::AlignRight);
}

TEST_F(SimpleKindsTest, LabelIsTransparentUnlessGivenABackground)
{
    auto* label = widgetAs<QLabel>(kLabel);
    ASSERT_NE(label, nullptr);
    EXPECT_EQ(label->text(), q(u8"姓   名"));
    EXPECT_FALSE(label->autoFillBackground());
    EXPECT_EQ(label->palette().color(QPalette::WindowText), QColor(255, 0, 255));
    EXPECT_EQ(read(kLabel, 16).asInteger(), std::int32_t(rgb(255, 0, 255)));
    write(kLabel, 17, Value::integer(std::int32_t(rgb(255, 255, 255))));
    EXPECT_TRUE(label->autoFillBackground());
    EXPECT_EQ(label->palette().color(QPalette::Window), QColor(255, 255, 255));
    // Settings the control does not draw are kept as written.
    write(kLabel, 11, Value::integer(3));
    EXPECT_EQ(read(kLabel, 11).asInteger(), 3);
    write(kLabel, 8, Value::text(gbk(u8"新标题")));
    EXPECT_EQ(label->text(), q(u8"新标题"));
}

TEST_F(SimpleKindsTest, ExternalDatabaseIsInvisible)
{
    ComponentObject* db = object(kDatabase);
    ASSERT_NE(db, nullptr);
    EXPECT_NE(dynamic_cast<ExternalDatabaseObject*>(db), nullptr);
    EXPECT_EQ(db->widget(), nullptr);
}

TEST(ControlLook, SwitchesOnAndBackOff)
{
    const QString before = QApplication::style()->name();
    EXPECT_TRUE(controlLook(1));
    EXPECT_EQ(currentControlLook(), 1);
    // Flat borders for buttons and combo boxes through the application's style sheet.
    EXPECT_TRUE(qApp->styleSheet().contains(QStringLiteral("QPushButton")));
    EXPECT_TRUE(controlLook(3)); // a look already on is switched off first
    EXPECT_EQ(currentControlLook(), 3);
    EXPECT_TRUE(controlLook(0));
    EXPECT_EQ(currentControlLook(), 0);
    EXPECT_EQ(QApplication::style()->name(), before);
    EXPECT_TRUE(qApp->styleSheet().isEmpty());
    EXPECT_TRUE(controlLook(-7));
}

} // namespace
} // namespace qr::forms::test
