// The small conversions the registry and the kinds share.
#include "forms/registry/accessibility.h"
#include "forms/registry/component_kind.h"
#include "forms/registry/fonts.h"
#include "forms/registry/property_values.h"
#include "forms/registry/qt_text.h"
#include "forms/registry/registry_internal.h"
#include "forms/registry/virtual_keys.h"

#include <QFontInfo>
#include <QWidget>

#include <gtest/gtest.h>

namespace qr::forms {
namespace {

using runtime::Value;
namespace t = property_type;

TEST(QtText, GbkAndQStringRoundTripAndCountBytes)
{
    const std::string gbk = "小苹果abc";
    EXPECT_EQ(toQString(gbk), QString::fromUtf8(u8"小苹果abc"));
    EXPECT_EQ(fromQString(toQString(gbk)), gbk);
    EXPECT_EQ(gbkLength(QString::fromUtf8(u8"六个汉字六个")), 12u);
}

TEST(Accessibility, NamesComeFromTheComponentName)
{
    EXPECT_EQ(purposeOf("编辑框_监护1姓名"), QString::fromUtf8(u8"监护1姓名"));
    EXPECT_EQ(purposeOf("标签12"), QString::fromUtf8(u8"标签12"));
    QWidget widget;
    nameWidget(&widget, "按钮_确定", QString::fromUtf8(u8"进入系统"));
    EXPECT_EQ(widget.objectName(), QString::fromUtf8(u8"按钮_确定"));
    EXPECT_EQ(widget.accessibleDescription(), QString::fromUtf8(u8"按钮_确定"));
    EXPECT_EQ(widget.accessibleName(), QString::fromUtf8(u8"进入系统"));
}

TEST(Fonts, TemplateFacesMapToAnInstalledChineseFont)
{
    for (const char* face : {"微软雅黑", "楷体", "黑体", "宋体", ""}) {
        LogFont stored;
        stored.height = -19;
        stored.weight = 700;
        stored.faceName = face;
        const QFont font = qtFont(stored);
        EXPECT_EQ(font.pixelSize(), 19) << face;
        EXPECT_EQ(font.weight(), QFont::Bold) << face;
        const QFontInfo shown(font);
        // Whatever family is chosen must be one that is installed.
        EXPECT_EQ(shown.family(), familyForFace(face)) << face;
    }
    EXPECT_EQ(defaultGuiFont().pixelSize(), 12);
    EXPECT_EQ(qtFont(std::nullopt), defaultGuiFont());
    LogFont cell;
    cell.height = 20; // a positive height is the cell height, larger than the characters
    EXPECT_LT(qtFont(cell).pixelSize(), 20);
}

TEST(PropertyValues, WrittenValuesTakeTheirTypesForm)
{
    EXPECT_EQ(toPropertyValue(t::kInteger, Value::text("１７０")), Value::integer(170));
    EXPECT_EQ(toPropertyValue(t::kInteger, Value::longInt(0x100000005LL)), Value::integer(5));
    EXPECT_EQ(toPropertyValue(t::kInteger, Value::doubleFloat(-2.9)), Value::integer(-2));
    EXPECT_EQ(toPropertyValue(t::kChoice, Value::integer(-3)), Value::integer(0));
    EXPECT_EQ(toPropertyValue(t::kLogical, Value::integer(2)), Value::logical(true));
    EXPECT_EQ(toPropertyValue(t::kLogical, Value::text("0")), Value::logical(false));
    EXPECT_EQ(toPropertyValue(t::kText, Value()), Value::text(""));
    EXPECT_EQ(toPropertyValue(t::kText, Value::doubleFloat(0.1)), Value::text("0.1"));
    EXPECT_EQ(toPropertyValue(t::kPicture, Value::text("GIF8")), Value::byteSet({'G', 'I', 'F', '8'}));
    EXPECT_EQ(toPropertyValue(t::kBackgroundColour, Value::integer(0x00FF00)), Value::integer(0x00FF00));
}

TEST(PropertyValues, GeometryClamps)
{
    EXPECT_EQ(clampGeometry(0, Value::integer(99999)), 32627);
    EXPECT_EQ(clampGeometry(1, Value::integer(-99999)), -32627);
    EXPECT_EQ(clampGeometry(1, Value::integer(-5)), -5);
    EXPECT_EQ(clampGeometry(2, Value::integer(-5)), 0);
    EXPECT_EQ(clampGeometry(3, Value::integer(40000)), 32627);
}

TEST(VirtualKeys, CodesOfTheMainKeyboard)
{
    EXPECT_EQ(virtualKeyCode(Qt::Key_Return, {}), 13);
    EXPECT_EQ(virtualKeyCode(Qt::Key_Escape, {}), 27);
    EXPECT_EQ(virtualKeyCode(Qt::Key_Q, {}), 0x51);
    EXPECT_EQ(virtualKeyCode(Qt::Key_F5, {}), 0x74);
    EXPECT_EQ(virtualKeyCode(Qt::Key_Delete, {}), 0x2E);
    EXPECT_EQ(virtualKeyCode(Qt::Key_Down, {}), 0x28);
    EXPECT_EQ(virtualKeyCode(Qt::Key_Minus, {}), 189);
    EXPECT_EQ(virtualKeyCode(Qt::Key_Question, Qt::ShiftModifier), 191);
    EXPECT_EQ(virtualKeyCode(Qt::Key_Asterisk, Qt::KeypadModifier), 0x6A);
    EXPECT_EQ(virtualKeyCode(Qt::Key_Asterisk, Qt::ShiftModifier), '8');
    EXPECT_EQ(keyStateOf(Qt::ControlModifier | Qt::AltModifier), 5);
    EXPECT_EQ(keyStateOf(Qt::ControlModifier | Qt::ShiftModifier, Qt::Key_Control), 2);
}

TEST(Tray, TipsAreCutTo62BytesOnACharacterBoundary)
{
    EXPECT_EQ(detail::cutTip("Quillroll"), "Quillroll");
    const std::string ascii(70, 'a');
    EXPECT_EQ(detail::cutTip(ascii).size(), 62u);
    const std::string chinese = std::string(61, 'a') + "班级";
    EXPECT_EQ(detail::cutTip(chinese), std::string(61, 'a'));
}

TEST(EventResults, OnlyAnExplicitFalseRefuses)
{
    EXPECT_FALSE(EventResult{}.refused());
    EXPECT_FALSE((EventResult{true, Value()}).refused());
    EXPECT_TRUE((EventResult{true, Value::logical(false)}).refused());
    EXPECT_TRUE((EventResult{true, Value::integer(0)}).refused());
    EXPECT_FALSE((EventResult{true, Value::integer(1)}).refused());
    EXPECT_FALSE((EventResult{false, Value::logical(false)}).refused());
}

} // namespace
} // namespace qr::forms
