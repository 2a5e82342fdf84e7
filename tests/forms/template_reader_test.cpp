// Reading and writing the template store format: every kind's settings survive the
// round trip, records are found through the offset list, and version limits hold.

#include "forms/template/ids.h"
#include "forms/template/template_reader.h"
#include "forms/template/template_writer.h"
#include "runtime/coding.h"
#include "template_sample_store.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <stdexcept>

namespace qr::forms {
namespace {

Bytes build(const TemplateStore& store)
{
    std::string error;
    const auto bytes = buildTemplateStore(store, &error);
    if (!bytes)
        throw std::runtime_error(error);
    return *bytes;
}

TemplateStore parse(const Bytes& bytes)
{
    TemplateStore out;
    StoreReadFailure failure;
    if (!parseTemplateStore(bytes, out, &failure))
        throw std::runtime_error(failure.what + " at " + std::to_string(failure.offset));
    return out;
}

std::uint32_t u32At(const Bytes& b, std::size_t at) { return runtime::getU32(b.data() + at); }

void putU32(Bytes& b, std::size_t at, std::uint32_t v) { runtime::putU32(b.data() + at, v); }

TEST(TemplateIds, Scheme)
{
    EXPECT_EQ(windowRecordId(0x52010001), 0x06010000u);
    EXPECT_EQ(windowRecordId(0x5201016B), 0x0601016Au);
    EXPECT_EQ(windowRecordId(0x52010078), 0x06010077u);
    EXPECT_TRUE(isValidId(0x16010001));
    EXPECT_FALSE(isValidId(0x16000000)); // low 24 bits zero
    EXPECT_FALSE(isValidId(0x10010001)); // bits 24-27 zero
    EXPECT_FALSE(isValidId(0));
    EXPECT_TRUE(isMenuItemId(0x2601039E));
    EXPECT_FALSE(isMenuItemId(0x1601039E));
    EXPECT_FALSE(isMenuItemId(0x3601039E)); // bits 28-31 must be 2
    EXPECT_FALSE(isMenuItemId(0x2501039E));
    EXPECT_TRUE(isWindowId(0x520103D3));
    EXPECT_FALSE(isWindowId(0x160103D3));
}

TEST(TemplateReader, EveryKindSurvivesTheRoundTrip)
{
    const TemplateStore original = testing::sampleStore();
    const Bytes bytes = build(original);
    const TemplateStore back = parse(bytes);
    ASSERT_EQ(back.windows.size(), original.windows.size());
    for (std::size_t w = 0; w < back.windows.size(); ++w)
        for (std::size_t r = 0; r < back.windows[w].records.size(); ++r)
            EXPECT_EQ(back.windows[w].records[r], original.windows[w].records[r]) << w << "/" << r;
    EXPECT_EQ(back, original);
    // Writing what was read gives the same bytes.
    EXPECT_EQ(build(back), bytes);
}

TEST(TemplateReader, WindowMapLayout)
{
    TemplateStore store = testing::sampleStore();
    store.mapSlots = {0xDEADBEEF, 7}; // slots carry no meaning but are kept
    const Bytes bytes = build(store);
    EXPECT_EQ(u32At(bytes, 0), 16u); // two ids, two slots
    EXPECT_EQ(u32At(bytes, 4), 0x52010005u);
    EXPECT_EQ(u32At(bytes, 8), 0x52010009u);
    EXPECT_EQ(u32At(bytes, 12), 0xDEADBEEFu);
    EXPECT_EQ(u32At(bytes, 20), 0x11223344u); // build tag A of the first template
    EXPECT_EQ(parse(bytes).mapSlots, store.mapSlots);
}

TEST(TemplateReader, OlderSettingsVersionsLackTheLaterFields)
{
    const TemplateStore back = parse(build(testing::sampleStore()));
    const WindowSettings* old = back.windows[1].settings();
    ASSERT_NE(old, nullptr);
    EXPECT_EQ(old->version, 1);
    EXPECT_EQ(old->caption, "旧");
    EXPECT_EQ(old->className, "");
    EXPECT_EQ(back.windows[1].reservedText1, "a");

    // An edit box of version 0 has no reserved texts: its block ends after the content.
    TemplateStore store = testing::sampleStore();
    auto& edit = std::get<EditBoxSettings>(store.windows[0].records[4].unit);
    edit.version = 0;
    edit.reservedText1.clear();
    const TemplateStore reread = parse(build(store));
    EXPECT_EQ(reread.windows[0].records[4], store.windows[0].records[4]);
    EXPECT_LT(build(store).size(), build(testing::sampleStore()).size());
}

// The offset of record k inside the first window's table, and the table's start.
struct TableLayout {
    std::size_t tableStart, count;
    std::size_t offsetAt(std::size_t k) const { return tableStart + 4 * count + 4 * k; }
    std::size_t recordsStart() const { return tableStart + 8 * count; }
};

TableLayout firstTable(const Bytes& bytes)
{
    // map (4 + 16) + tags (8) + two empty texts (8) + count (4) + table length (4)
    const std::size_t countAt = 4 + 16 + 8 + 8;
    return {countAt + 8, u32At(bytes, countAt)};
}

TEST(TemplateReader, RecordsAreFoundThroughTheOffsetList)
{
    const TemplateStore original = testing::sampleStore();
    Bytes bytes = build(original);
    const TableLayout t = firstTable(bytes);
    ASSERT_EQ(t.count, original.windows[0].records.size());

    // Swap the bodies of records 4 and 5 physically and point their offsets at the new
    // places: lookups by id must still give each id its own record.
    const std::size_t off4 = u32At(bytes, t.offsetAt(4)), off5 = u32At(bytes, t.offsetAt(5)),
                      off6 = u32At(bytes, t.offsetAt(6));
    const auto begin = bytes.begin() + std::ptrdiff_t(t.recordsStart());
    const Bytes rec4(begin + std::ptrdiff_t(off4), begin + std::ptrdiff_t(off5));
    const Bytes rec5(begin + std::ptrdiff_t(off5), begin + std::ptrdiff_t(off6));
    std::copy(rec5.begin(), rec5.end(), begin + std::ptrdiff_t(off4));
    std::copy(rec4.begin(), rec4.end(), begin + std::ptrdiff_t(off4 + rec5.size()));
    putU32(bytes, t.offsetAt(5), std::uint32_t(off4));
    putU32(bytes, t.offsetAt(4), std::uint32_t(off4 + rec5.size()));

    const TemplateStore back = parse(bytes);
    EXPECT_EQ(back, original);
    const ComponentRecord* edit = back.windows[0].find(0x16010030);
    ASSERT_NE(edit, nullptr);
    EXPECT_EQ(edit->name, "编辑框_甲");
    EXPECT_EQ(back.windows[0].findByName("组合框_乙")->id, 0x16010031u);
}

TEST(TemplateReader, ComboCurrentItemIsClampedAtCreation)
{
    ComboBoxSettings combo;
    combo.items = {"    男", "    女"};
    combo.initialItem = 5;
    EXPECT_EQ(combo.currentItemAtCreation(), 1);
    combo.initialItem = -5;
    EXPECT_EQ(combo.currentItemAtCreation(), -1);
    combo.initialItem = -1;
    EXPECT_EQ(combo.currentItemAtCreation(), -1);
    combo.initialItem = 0;
    EXPECT_EQ(combo.currentItemAtCreation(), 0);
    combo.items.clear();
    combo.initialItem = 3;
    EXPECT_EQ(combo.currentItemAtCreation(), -1);

    // The stored value itself is kept as it was (7 with three items).
    const TemplateStore back = parse(build(testing::sampleStore()));
    const auto* stored = back.windows[0].find(0x16010031)->as<ComboBoxSettings>();
    EXPECT_EQ(stored->initialItem, 7);
    EXPECT_EQ(stored->currentItemAtCreation(), 2);
}

TEST(TemplateReader, LongTextListUsesTheWideCount)
{
    TemplateStore store = testing::sampleStore();
    auto& combo = std::get<ComboBoxSettings>(store.windows[0].records[5].unit);
    combo.items.assign(0x10005, "x");
    EXPECT_EQ(parse(build(store)), store);
}

TEST(TemplateReader, FontsOfAnyOtherLengthAreNoFont)
{
    LogFont font;
    font.height = -19;
    font.weight = 700;
    font.faceName = "微软雅黑";
    const Bytes bytes = encodeLogFont(font);
    ASSERT_EQ(bytes.size(), 60u);
    EXPECT_EQ(decodeLogFont(bytes.data(), bytes.size()), font);
    EXPECT_FALSE(decodeLogFont(bytes.data(), 59).has_value());
    EXPECT_FALSE(decodeLogFont(nullptr, 0).has_value());

    // Bytes after the face name's terminator are ignored; a name filling all 32 bytes
    // stops at the end of the record.
    Bytes noisy = bytes;
    noisy[28 + 9] = 'Z';
    EXPECT_EQ(decodeLogFont(noisy.data(), noisy.size())->faceName, "微软雅黑");
    Bytes full = bytes;
    std::fill(full.begin() + 28, full.end(), 'A');
    EXPECT_EQ(decodeLogFont(full.data(), full.size())->faceName, std::string(32, 'A'));
    LogFont tooLong = font;
    tooLong.faceName = std::string(32, 'A');
    const Bytes stored = encodeLogFont(tooLong);
    EXPECT_EQ(decodeLogFont(stored.data(), stored.size())->faceName, "宋体");
    tooLong.faceName = std::string(31, 'A');
    const Bytes fits = encodeLogFont(tooLong);
    EXPECT_EQ(decodeLogFont(fits.data(), fits.size())->faceName, std::string(31, 'A'));

    // A group box whose stored font block is 59 bytes: no font, and the caption after
    // it still reads.
    for (std::size_t length : {std::size_t(59), std::size_t(61)}) {
        Bytes raw;
        const auto i32 = [&](std::uint32_t v) {
            for (int k = 0; k < 4; ++k)
                raw.push_back(std::uint8_t(v >> (8 * k)));
        };
        i32(1);          // version
        i32(0);          // caption alignment
        i32(0);          // text colour
        i32(0xFF000000); // background colour
        i32(std::uint32_t(length));
        raw.insert(raw.end(), length, 'F');
        const std::string caption = "分组";
        i32(std::uint32_t(caption.size()));
        raw.insert(raw.end(), caption.begin(), caption.end());
        TemplateStore store = testing::sampleStore();
        store.windows[0].records[3].unit = std::monostate{}; // written as the raw block
        store.windows[0].records[3].rawUnitData = raw;
        const TemplateStore back = parse(build(store));
        const auto* group = back.windows[0].find(0x16010020)->as<GroupBoxSettings>();
        ASSERT_NE(group, nullptr);
        EXPECT_FALSE(group->font.has_value());
        EXPECT_EQ(group->caption, caption);
    }
}

ComponentRecord withRawSettings(UnitKind kind, Bytes raw)
{
    ComponentRecord r;
    r.id = 0x16010040;
    r.unitTypeCode = std::uint32_t(kind);
    r.name = "x";
    r.unitDataStored = true;
    r.rawUnitData = std::move(raw);
    return r;
}

TEST(TemplateReader, SettingsVersionLimits)
{
    struct Limit {
        UnitKind kind;
        int max;
    };
    for (const Limit limit : {Limit{UnitKind::Window, 6}, Limit{UnitKind::EditBox, 2}, Limit{UnitKind::PictureBox, 2},
                              Limit{UnitKind::GroupBox, 1}, Limit{UnitKind::Label, 2}, Limit{UnitKind::Button, 1},
                              Limit{UnitKind::ComboBox, 3}, Limit{UnitKind::CommonDialog, 1},
                              Limit{UnitKind::ToolBar, 1}, Limit{UnitKind::ReportList, 1}}) {
        SCOPED_TRACE(std::uint32_t(limit.kind));
        EXPECT_EQ(unitKindInfo(std::uint32_t(limit.kind))->maxVersion, limit.max);
        for (std::int32_t version : {limit.max + 1, -1}) {
            TemplateStore store = testing::sampleStore();
            Bytes raw(4);
            std::memcpy(raw.data(), &version, 4);
            raw.push_back(0xAB);
            store.windows[0].records.push_back(withRawSettings(limit.kind, raw));
            // The store reads; the component is marked so that creating it fails.
            const TemplateStore back = parse(build(store));
            const ComponentRecord& r = back.windows[0].records.back();
            EXPECT_EQ(r.unitStatus, UnitDataStatus::VersionRejected);
            EXPECT_TRUE(std::holds_alternative<std::monostate>(r.unit));
            EXPECT_EQ(r.rawUnitData, raw);
        }
    }

    TemplateStore store = testing::sampleStore();
    store.windows[0].records.push_back(withRawSettings(UnitKind(0x00020001), {1, 2, 3}));
    const TemplateStore back = parse(build(store));
    const ComponentRecord& unknown = back.windows[0].records.back();
    EXPECT_EQ(unknown.unitStatus, UnitDataStatus::UnknownKind);
    EXPECT_EQ(unknown.rawUnitData, (Bytes{1, 2, 3}));
}

TEST(TemplateReader, EmptySettingsMeanDefaults)
{
    const TemplateStore back = parse(build(testing::sampleStore()));
    const ComponentRecord* dialog = back.windows[0].find(0x16010036);
    EXPECT_FALSE(dialog->unitDataStored);
    EXPECT_EQ(dialog->unitStatus, UnitDataStatus::Accepted);
    EXPECT_EQ(*dialog->as<CommonDialogSettings>(), CommonDialogSettings{});
    const ComponentRecord* database = back.windows[0].find(0x16010037);
    EXPECT_TRUE(std::holds_alternative<std::monostate>(database->unit));
    EXPECT_EQ(database->unitStatus, UnitDataStatus::Accepted);
}

TEST(TemplateReader, MenuItemsAndFlags)
{
    const TemplateStore back = parse(build(testing::sampleStore()));
    const WindowTemplate& w = back.windows[0];
    const ComponentRecord* popup = w.find(0x26010010);
    ASSERT_TRUE(popup->isMenuItem());
    EXPECT_TRUE(popup->as<MenuItem>()->hidden());
    EXPECT_EQ(popup->as<MenuItem>()->level, 0);
    EXPECT_EQ(popup->handlerFor(0), -1);
    const ComponentRecord* item = w.find(0x26010011);
    EXPECT_TRUE(item->as<MenuItem>()->checked());
    EXPECT_FALSE(item->as<MenuItem>()->hidden());
    EXPECT_EQ(item->handlerFor(0), 3);

    const ComponentRecord* edit = w.find(0x16010030);
    EXPECT_TRUE(edit->visible());
    EXPECT_TRUE(edit->disabled());
    EXPECT_TRUE(edit->tabStop());
    EXPECT_EQ(edit->handlerFor(-9), 4);
    EXPECT_EQ(edit->handlerFor(0), -1);
    EXPECT_FALSE(w.find(0x16010020)->visible());
    EXPECT_EQ(w.find(0x12345678), nullptr);
    EXPECT_EQ(w.findByName(""), nullptr);
}

TEST(TemplateWriter, RefusesWhatCannotBeStored)
{
    std::string error;
    TemplateStore store = testing::sampleStore();
    std::get<EditBoxSettings>(store.windows[0].records[4].unit).content = std::string("a\0b", 3);
    EXPECT_TRUE(buildTemplateStore(store).has_value()); // counted texts may hold zero bytes

    store = testing::sampleStore();
    store.windows[0].records[4].name = std::string("a\0b", 3);
    EXPECT_FALSE(buildTemplateStore(store, &error).has_value());
    EXPECT_FALSE(error.empty());

    store = testing::sampleStore();
    store.windows[0].records[4].unit = LabelSettings{}; // an edit box record with label settings
    EXPECT_FALSE(buildTemplateStore(store, &error).has_value());
}

} // namespace
} // namespace qr::forms
