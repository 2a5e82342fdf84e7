#include "forms/kinds/edit_box.h"
#include "forms/kinds/gbk_input_filter.h"
#include "tests/forms/kinds/kind_window.h"

#include <QApplication>
#include <QFontMetrics>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTest>

namespace qr::forms::test {
namespace {

using kinds::CaseConversion;
using runtime::Value;

constexpr std::uint32_t kName = 0x16010055, kIdNumber = 0x16010045, kMulti = 0x16010060;

void commit(QWidget* w, std::u8string_view utf8)
{
    QInputMethodEvent event;
    event.setCommitString(q(utf8));
    QApplication::sendEvent(w, &event);
}

void typeText(QWidget* w, std::u8string_view utf8)
{
    // One key press carrying the text, as a keyboard with a Chinese layout sends it.
    QKeyEvent press(QEvent::KeyPress, 0, Qt::NoModifier, q(utf8));
    QApplication::sendEvent(w, &press);
    QKeyEvent release(QEvent::KeyRelease, 0, Qt::NoModifier, q(utf8));
    QApplication::sendEvent(w, &release);
}

TEST(GbkInputFilter, CountsAndCutsAtCharacterBoundaries)
{
    EXPECT_EQ(kinds::gbkBytes(q(u8"ab中文")), 6);
    EXPECT_EQ(kinds::fitToGbkBytes(q(u8"一二三四五六七"), 12), q(u8"一二三四五六"));
    // An odd room never takes half a Chinese character.
    EXPECT_EQ(kinds::fitToGbkBytes(q(u8"a中b"), 2), QStringLiteral("a"));
    // A character outside the BMP is one surrogate pair and four GB18030 bytes.
    const QString wide = q(u8"x\U00020000y");
    EXPECT_EQ(kinds::gbkBytes(wide), 6);
    EXPECT_EQ(kinds::fitToGbkBytes(wide, 4), QStringLiteral("x"));
    EXPECT_EQ(kinds::fitToGbkBytes(wide, 5), q(u8"x\U00020000"));
    EXPECT_EQ(kinds::charIndexOfByteOffset(q(u8"中a文"), 3), 2);
    EXPECT_EQ(kinds::byteOffsetOfCharIndex(q(u8"中a文"), 2), 3);
}

TEST(GbkInputFilter, KeepsExistingTextAndCutsOnlyTheInsertion)
{
    int cursor = -1;
    // Insertion in the middle: the head and tail stay, the insertion is cut to the room left.
    const QString before = q(u8"甲乙");
    const QString after = q(u8"甲丙丁戊乙");
    EXPECT_EQ(kinds::filterEdit(before, after, 7, CaseConversion::None, &cursor), q(u8"甲丙乙"));
    EXPECT_EQ(cursor, 2);
    // Text already over the limit (set by the program) is not cut by a deletion.
    const QString over = QStringLiteral("abcdefgh");
    EXPECT_EQ(kinds::filterEdit(over, QStringLiteral("abcdefg"), 4, CaseConversion::None, &cursor),
              QStringLiteral("abcdefg"));
    // Only the inserted letters change case.
    EXPECT_EQ(kinds::filterEdit(QStringLiteral("ab"), QStringLiteral("abcD"), 0, CaseConversion::Lower, &cursor),
              QStringLiteral("abcd"));
    EXPECT_EQ(kinds::filterEdit(QStringLiteral("xy"), QStringLiteral("xAby"), 0, CaseConversion::Upper, &cursor),
              QStringLiteral("xABy"));
}

class EditBoxTest : public KindWindowTest {
protected:
    void addBox(std::uint32_t id, std::u8string_view name, EditBoxSettings s, Rect rect = {10, 10, 200, 25},
                std::vector<std::int32_t> bound = {})
    {
        add(id, UnitKind::EditBox, gbk(name), rect, s, std::move(bound));
    }
    QLineEdit* line(std::uint32_t id) const { return widgetAs<QLineEdit>(id); }
    std::string content(std::uint32_t id) const { return read(id, 8).asText(); }
};

TEST_F(EditBoxTest, ContentRoundTripsAndShowsChinese)
{
    EditBoxSettings s;
    s.content = gbk(u8"小苹果");
    s.alignment = 1;
    addBox(kName, u8"编辑框_姓名", s);
    load();
    ASSERT_NE(line(kName), nullptr);
    EXPECT_EQ(line(kName)->text(), q(u8"小苹果"));
    EXPECT_EQ(content(kName), gbk(u8"小苹果"));
    EXPECT_TRUE(line(kName)->alignment() & Qt::AlignHCenter);
    write(kName, 8, Value::text(gbk(u8"张三丰 Zhang")));
    EXPECT_EQ(content(kName), gbk(u8"张三丰 Zhang"));
    EXPECT_EQ(line(kName)->text(), q(u8"张三丰 Zhang"));
    // Names for screen readers and for finding the box.
    EXPECT_EQ(line(kName)->objectName(), q(u8"编辑框_姓名"));
    EXPECT_EQ(line(kName)->accessibleDescription(), q(u8"编辑框_姓名"));
    EXPECT_EQ(line(kName)->accessibleName(), q(u8"姓名"));
}

TEST_F(EditBoxTest, TwelveByteLimitTakesSixChineseCharacters)
{
    EditBoxSettings s;
    s.maxLength = 12;
    addBox(kIdNumber, u8"编辑框_学籍辅号", s);
    load();
    QLineEdit* box = line(kIdNumber);
    commit(box, u8"一二三四五六七");
    EXPECT_EQ(content(kIdNumber), gbk(u8"一二三四五六"));
    typeText(box, u8"a"); // full: refused
    EXPECT_EQ(content(kIdNumber), gbk(u8"一二三四五六"));
    QTest::keyClick(box, Qt::Key_Backspace);
    typeText(box, u8"中");
    typeText(box, u8"b");
    EXPECT_EQ(content(kIdNumber), gbk(u8"一二三四五中"));
    QTest::keyClick(box, Qt::Key_Backspace);
    QTest::keyClicks(box, "xyz"); // two bytes of room: "xy"
    EXPECT_EQ(content(kIdNumber), gbk(u8"一二三四五xy"));
    // A write by the program is not held to the input limit.
    write(kIdNumber, 8, Value::text(gbk(u8"一二三四五六七八")));
    EXPECT_EQ(content(kIdNumber), gbk(u8"一二三四五六七八"));
}

TEST_F(EditBoxTest, PasteIsCutToTheRoomLeft)
{
    EditBoxSettings s;
    s.maxLength = 5;
    s.content = "ab";
    addBox(kIdNumber, u8"编辑框_身份证号", s);
    load();
    QLineEdit* box = line(kIdNumber);
    box->setCursorPosition(1);
    box->insert(q(u8"中文字")); // what a paste does
    EXPECT_EQ(content(kIdNumber), gbk(u8"a中b"));
    EXPECT_EQ(box->cursorPosition(), 2);
}

TEST_F(EditBoxTest, CaseConversionAppliesToTypingAndWrites)
{
    EditBoxSettings s;
    s.caseConversion = 2;
    addBox(kName, u8"编辑框_代码", s);
    load();
    QTest::keyClicks(line(kName), "abC");
    EXPECT_EQ(content(kName), "ABC");
    write(kName, 8, Value::text(gbk(u8"xy中")));
    EXPECT_EQ(content(kName), gbk(u8"XY中"));
    write(kName, 20, Value::integer(1));
    EXPECT_EQ(content(kName), gbk(u8"xy中"));
}

TEST_F(EditBoxTest, EnterIsWantedOnlyByMultiLineBoxesThatAreNotReadOnly)
{
    EditBoxSettings single, multi, readOnlyMulti;
    multi.multiLine = 1;
    readOnlyMulti.multiLine = 1;
    readOnlyMulti.inputMode = 1;
    addBox(kName, u8"编辑框_一", single);
    addBox(kIdNumber, u8"编辑框_二", multi, {10, 40, 200, 60});
    addBox(kMulti, u8"编辑框_三", readOnlyMulti, {10, 110, 200, 60});
    load();
    const auto wantsKey = findKind(std::uint32_t(UnitKind::EditBox))->operations.wantsKey;
    ASSERT_NE(wantsKey, nullptr);
    EXPECT_FALSE(wantsKey(*object(kName), 13));
    EXPECT_TRUE(wantsKey(*object(kIdNumber), 13));
    EXPECT_FALSE(wantsKey(*object(kIdNumber), 9));
    EXPECT_FALSE(wantsKey(*object(kMulti), 13));
    ASSERT_NE(widgetAs<QPlainTextEdit>(kIdNumber), nullptr);
    EXPECT_TRUE(widgetAs<QPlainTextEdit>(kMulti)->isReadOnly());
}

TEST_F(EditBoxTest, MultiLineContentUsesCrLfLineEnds)
{
    EditBoxSettings s;
    s.multiLine = 1;
    s.content = "one\r\ntwo";
    addBox(kMulti, u8"编辑框_备注", s, {10, 10, 200, 80});
    load();
    EXPECT_EQ(widgetAs<QPlainTextEdit>(kMulti)->toPlainText(), QStringLiteral("one\ntwo"));
    EXPECT_EQ(content(kMulti), "one\r\ntwo");
}

TEST_F(EditBoxTest, BorderStylesClampAndInputModesApply)
{
    EditBoxSettings s;
    s.inputMode = 2;
    addBox(kName, u8"编辑框_密码", s, {10, 10, 200, 8});
    load();
    QLineEdit* box = line(kName);
    EXPECT_EQ(box->echoMode(), QLineEdit::Password);
    // A box shorter than its text is made tall enough for it.
    EXPECT_GE(box->height(), QFontMetrics(box->font()).height() + 4);
    write(kName, 9, Value::integer(9));
    EXPECT_EQ(read(kName, 9).asInteger(), 5);
    write(kName, 9, Value::integer(3));
    EXPECT_EQ(read(kName, 9).asInteger(), 3);
    write(kName, 18, Value::integer(1));
    EXPECT_TRUE(box->isReadOnly());
    EXPECT_EQ(box->echoMode(), QLineEdit::Normal);
    QTest::keyClicks(box, "zz");
    EXPECT_EQ(content(kName), "");
}

TEST_F(EditBoxTest, ColoursAndSelectionRoundTrip)
{
    EditBoxSettings s;
    s.content = gbk(u8"中文abc");
    addBox(kName, u8"编辑框_姓名", s);
    load();
    write(kName, 10, Value::integer(0x0000FF)); // red as 0x00BBGGRR
    EXPECT_EQ(read(kName, 10).asInteger(), 0x0000FF);
    EXPECT_TRUE(line(kName)->styleSheet().contains(QStringLiteral("#ff0000")));
    // Selection positions count bytes: start 2 is after "中".
    write(kName, 24, Value::integer(2));
    write(kName, 25, Value::integer(3));
    EXPECT_EQ(line(kName)->selectedText(), q(u8"文a"));
    EXPECT_EQ(read(kName, 26).asText(), gbk(u8"文a"));
    write(kName, 26, Value::text(gbk(u8"字")));
    EXPECT_EQ(content(kName), gbk(u8"中字bc"));
}

} // namespace
} // namespace qr::forms::test
