#include "forms/kinds/combo_box.h"
#include "tests/forms/kinds/kind_window.h"

#include <QAbstractItemView>
#include <QComboBox>
#include <QTest>

namespace qr::forms::test {
namespace {

using runtime::Value;

constexpr std::uint32_t kSex = 0x1601004F, kBoarding = 0x1601004C, kRelation = 0x16010060;

class ComboBoxTest : public KindWindowTest {
protected:
    void addCombo(std::uint32_t id, std::u8string_view name, std::vector<std::u8string_view> items, int initial,
                  int style = 2, Rect rect = {71, 41, 74, 20})
    {
        ComboBoxSettings s;
        s.style = style;
        s.initialItem = initial;
        for (auto item : items)
            s.items.push_back(gbk(item));
        add(id, UnitKind::ComboBox, gbk(name), rect, s);
    }
    QComboBox* combo(std::uint32_t id) const { return widgetAs<QComboBox>(id); }
};

TEST_F(ComboBoxTest, ContentIsTheCurrentItemWithItsLeadingBlanks)
{
    addCombo(kSex, u8"组合框_性别", {u8"    男", u8"    女"}, 1);
    load();
    ASSERT_NE(combo(kSex), nullptr);
    EXPECT_FALSE(combo(kSex)->isEditable());
    EXPECT_EQ(read(kSex, 19).asInteger(), 1);
    EXPECT_EQ(read(kSex, 9).asText(), gbk(u8"    女"));
    EXPECT_EQ(combo(kSex)->currentText(), q(u8"    女"));
    // On screen only the selection field shows, not the stored list height.
    EXPECT_LT(combo(kSex)->height(), 60);
}

TEST_F(ComboBoxTest, CurrentItemWritesAreClamped)
{
    addCombo(kBoarding, u8"组合框_是否住宿", {u8"    是", u8"    否"}, 0);
    load();
    write(kBoarding, 19, Value::integer(5));
    EXPECT_EQ(read(kBoarding, 19).asInteger(), 1);
    EXPECT_EQ(read(kBoarding, 9).asText(), gbk(u8"    否"));
    write(kBoarding, 19, Value::integer(-5));
    EXPECT_EQ(read(kBoarding, 19).asInteger(), -1);
    EXPECT_EQ(read(kBoarding, 9).asText(), "");
    write(kBoarding, 19, Value::integer(0));
    EXPECT_EQ(read(kBoarding, 9).asText(), gbk(u8"    是"));
}

TEST_F(ComboBoxTest, StoredInitialItemIsClampedWhenCreated)
{
    addCombo(kSex, u8"组合框_一", {u8"a", u8"b", u8"c"}, 7);
    addCombo(kBoarding, u8"组合框_二", {u8"a", u8"b"}, -2, 2, {71, 81, 74, 20});
    addCombo(kRelation, u8"组合框_三", {}, 0, 2, {71, 121, 74, 20});
    load();
    EXPECT_EQ(read(kSex, 19).asInteger(), 2);
    EXPECT_EQ(read(kBoarding, 19).asInteger(), -1);
    EXPECT_EQ(read(kRelation, 19).asInteger(), -1);
    write(kRelation, 19, Value::integer(3));
    EXPECT_EQ(read(kRelation, 19).asInteger(), -1);
}

TEST_F(ComboBoxTest, UserPicksWithKeyboardAndList)
{
    addCombo(kRelation, u8"组合框_监护1关系", {u8" 父亲", u8" 母亲", u8" 祖父", u8""}, 0);
    load();
    QComboBox* box = combo(kRelation);
    QTest::keyClick(box, Qt::Key_Down);
    EXPECT_EQ(read(kRelation, 19).asInteger(), 1);
    EXPECT_EQ(read(kRelation, 9).asText(), gbk(u8" 母亲"));
    // The empty last item is an item like the others.
    box->setCurrentIndex(3);
    EXPECT_EQ(read(kRelation, 19).asInteger(), 3);
    EXPECT_EQ(read(kRelation, 9).asText(), "");
    // Items are as tall as the font's items plus the stored extra pixel.
    const QModelIndex first = box->view()->model()->index(0, 0);
    EXPECT_EQ(box->view()->sizeHintForIndex(first).height(), box->fontMetrics().height() + 2 + 1);
}

TEST_F(ComboBoxTest, ItemListRoundTripsAndReplacesItems)
{
    addCombo(kSex, u8"组合框_性别", {u8"    男", u8"    女"}, 0);
    load();
    const Bytes stored = read(kSex, 20).asByteSet();
    EXPECT_EQ(kinds::decodeItemList(stored), (std::vector<std::string>{gbk(u8"    男"), gbk(u8"    女")}));
    write(kSex, 20, Value::byteSet(kinds::encodeItemList({gbk(u8"甲"), gbk(u8"乙"), gbk(u8"丙")})));
    EXPECT_EQ(combo(kSex)->count(), 3);
    EXPECT_EQ(read(kSex, 19).asInteger(), -1);
    write(kSex, 19, Value::integer(2));
    EXPECT_EQ(read(kSex, 9).asText(), gbk(u8"丙"));
    // A cut-short list keeps the items that are whole.
    Bytes cut = kinds::encodeItemList({"one", "two"});
    cut.pop_back();
    EXPECT_EQ(kinds::decodeItemList(cut), std::vector<std::string>{"one"});
}

TEST_F(ComboBoxTest, EditableStyleKeepsItsOwnText)
{
    addCombo(kSex, u8"组合框_备注", {u8"x", u8"y"}, -1, 1);
    load();
    ASSERT_TRUE(combo(kSex)->isEditable());
    write(kSex, 9, Value::text(gbk(u8"自由文本")));
    EXPECT_EQ(read(kSex, 9).asText(), gbk(u8"自由文本"));
    EXPECT_EQ(read(kSex, 19).asInteger(), -1);
}

} // namespace
} // namespace qr::forms::test
