// The template store built into the program, read back, holds exactly the seven
// windows the application is written against.

#include "app/catalogue/catalogue.h"
#include "forms/template/ids.h"
#include "forms/template/template_reader.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <optional>
#include <stdexcept>
#include <string>
#include <tuple>
#include <vector>

namespace qr::forms {
namespace {

using catalogue::Handler;

constexpr std::int32_t h(Handler handler) { return std::int32_t(handler); }

const TemplateStore& store()
{
    static const TemplateStore parsed = loadTemplateStore(catalogue::templateStoreBytes());
    return parsed;
}

const WindowTemplate& window(std::uint32_t id)
{
    const WindowTemplate* w = store().find(id);
    if (!w)
        throw std::runtime_error("window missing");
    return *w;
}

// Width and height from a JPEG's start-of-frame segment.
std::optional<std::pair<int, int>> jpegSize(const Bytes& b)
{
    if (b.size() < 4 || b[0] != 0xFF || b[1] != 0xD8)
        return std::nullopt;
    std::size_t i = 2;
    while (i + 9 < b.size()) {
        if (b[i] != 0xFF)
            return std::nullopt;
        const std::uint8_t marker = b[i + 1];
        const std::size_t length = std::size_t(b[i + 2]) << 8 | b[i + 3];
        if (marker >= 0xC0 && marker <= 0xC2)
            return std::pair{int(b[i + 7]) << 8 | b[i + 8], int(b[i + 5]) << 8 | b[i + 6]};
        i += 2 + length;
    }
    return std::nullopt;
}

void expectFont(const Font& font, const char* face, int height, int weight = 400)
{
    ASSERT_TRUE(font.has_value());
    EXPECT_EQ(font->faceName, face);
    EXPECT_EQ(font->height, height);
    EXPECT_EQ(font->weight, weight);
}

struct WindowRow {
    std::uint32_t id, tagA, tagB;
    const char* caption;
    int width, height;
    bool minimizeButton;
};

TEST(TemplateCatalogue, WindowMapAndWindowSettings)
{
    const std::vector<WindowRow> rows = {
        {0x52010001, 0x015A1B50, 0x19010017, "Quillroll", 409, 366, true},
        {0x5201003C, 0x0199C8D0, 0x19010066, "个人信息－添加", 399, 496, true},
        {0x52010078, 0x015A91B0, 0x1901007E, "", 964, 552, true},
        {0x5201016B, 0x00000093, 0x00000000, "关于 Quillroll", 296, 284, false},
        {0x5201016E, 0x00000009, 0x1901016F, "个人信息－修改", 399, 496, true},
        {0x52010172, 0x00000000, 0x19010173, "个人信息－查询", 399, 496, true},
        {0x520103D3, 0x00000004, 0x190103E2, "已删除学生", 964, 552, true},
    };
    ASSERT_EQ(store().windows.size(), rows.size());
    for (std::size_t i = 0; i < rows.size(); ++i) {
        SCOPED_TRACE(i);
        const auto& row = rows[i];
        const WindowTemplate& w = store().windows[i];
        EXPECT_EQ(w.windowId, row.id);
        EXPECT_EQ(w.buildTagA, row.tagA);
        EXPECT_EQ(w.buildTagB, row.tagB);
        EXPECT_TRUE(w.reservedText1.empty() && w.reservedText2.empty());

        const ComponentRecord& own = w.windowRecord();
        EXPECT_EQ(own.id, row.id - 0x4C000001);
        EXPECT_EQ(own.kind(), UnitKind::Window);
        EXPECT_TRUE(own.name.empty());
        EXPECT_EQ(own.rect, (Rect{50, 50, row.width, row.height}));
        EXPECT_TRUE(own.visible());

        const WindowSettings* s = w.settings();
        ASSERT_NE(s, nullptr);
        EXPECT_EQ(s->version, 6);
        EXPECT_EQ(s->caption, row.caption);
        EXPECT_EQ(s->borderStyle, 2);
        EXPECT_EQ(s->backgroundColour, kDefaultColour);
        EXPECT_EQ(s->maximizeButton, 0);
        EXPECT_EQ(s->minimizeButton, row.minimizeButton ? 1 : 0);
        EXPECT_EQ(s->controlBox, 1);
        EXPECT_EQ(s->startPosition, 1);
        EXPECT_EQ(s->movable, 1);
        EXPECT_EQ(s->escCloses, 1);
        EXPECT_EQ(s->enterMovesFocus, 0);
        EXPECT_EQ(s->shownInTaskBar, 1);
        EXPECT_EQ(s->pictureMode, row.id == kStartWindowId ? 3 : 1);
        EXPECT_TRUE(s->backgroundPicture.empty());
        EXPECT_EQ(s->icon.empty(), row.id != kStartWindowId);
    }
}

TEST(TemplateCatalogue, RecordIdsFollowTheWindowId)
{
    EXPECT_EQ(window(0x52010001).windowRecord().id, 0x06010000u);
    EXPECT_EQ(window(0x5201016B).windowRecord().id, 0x0601016Au);
    EXPECT_EQ(window(0x52010078).windowRecord().id, 0x06010077u);
    for (const auto& w : store().windows) {
        EXPECT_EQ(w.windowRecord().id, windowRecordId(w.windowId));
        for (const auto& r : w.records) {
            EXPECT_TRUE(isValidId(r.id)) << std::hex << r.id;
            EXPECT_EQ(isMenuItemId(r.id), r.isMenuItem()) << std::hex << r.id;
            EXPECT_EQ(w.find(r.id), &r); // ids are unique within a window
        }
    }
}

TEST(TemplateCatalogue, StartWindow)
{
    const WindowTemplate& w = window(catalogue::kStartWindow);
    ASSERT_EQ(w.records.size(), 7u);
    EXPECT_EQ(w.windowRecord().events,
              (std::vector<EventBinding>{{0, h(Handler::startWindowLoaded)}, {9, h(Handler::startWindowTray)}}));
    const auto icon = catalogue::programIconBytes();
    EXPECT_EQ(w.settings()->icon, Bytes(icon.begin(), icon.end()));

    const std::vector<std::tuple<std::uint32_t, int, int, const char*, std::int32_t>> menu = {
        {0x2601039E, 0, 1, "系统开关", -1},
        {0x2601039F, 1, 0, "打开", h(Handler::startMenuOpen)},
        {0x260103A0, 1, 0, "关闭", h(Handler::startMenuClose)},
    };
    for (std::size_t i = 0; i < menu.size(); ++i) {
        const auto& [id, level, flags, caption, click] = menu[i];
        const ComponentRecord& r = w.records[1 + i];
        EXPECT_EQ(r.id, id);
        const MenuItem* m = r.as<MenuItem>();
        ASSERT_NE(m, nullptr);
        EXPECT_EQ(m->level, level);
        EXPECT_EQ(m->flags, flags);
        EXPECT_EQ(m->caption, caption);
        EXPECT_EQ(m->clickHandler, click);
    }

    const ComponentRecord& label = w.records[4];
    EXPECT_EQ(label.id, 0x16010371u);
    EXPECT_EQ(label.name, "标签2");
    EXPECT_EQ(label.rect, (Rect{220, 310, 180, 24}));
    const LabelSettings* ls = label.as<LabelSettings>();
    ASSERT_NE(ls, nullptr);
    EXPECT_EQ(ls->caption, "");
    EXPECT_EQ(ls->textColour(), rgb(255, 0, 255));
    EXPECT_EQ(ls->backgroundColour(), rgb(255, 255, 255));
    expectFont(ls->font, "楷体", -16);

    const ComponentRecord& button = w.records[5];
    EXPECT_EQ(button.id, 0x160100D5u);
    EXPECT_EQ(button.name, "按钮_确定");
    EXPECT_EQ(button.rect, (Rect{277, 151, 92, 48}));
    EXPECT_EQ(button.as<ButtonSettings>()->caption, "进入系统");
    expectFont(button.as<ButtonSettings>()->font, "微软雅黑", -19, 700);
    EXPECT_EQ(button.handlerFor(0), h(Handler::startConfirm));

    const ComponentRecord& edit = w.records[6];
    EXPECT_EQ(edit.id, 0x160100D3u);
    EXPECT_EQ(edit.name, "编辑框_班级");
    EXPECT_EQ(edit.rect, (Rect{39, 152, 240, 47}));
    const EditBoxSettings* es = edit.as<EditBoxSettings>();
    ASSERT_NE(es, nullptr);
    EXPECT_EQ(es->content, "");
    EXPECT_EQ(es->alignment, 1);
    EXPECT_EQ(es->borderStyle, 5);
    expectFont(es->font, "", -19);
    EXPECT_EQ(edit.events, (std::vector<EventBinding>{{-9, h(Handler::startClassKeyDown)}}));
}

// ---- the three student forms -------------------------------------------------------

enum class Kind { Label, Edit, Combo, Picture, Group, Dialog };

struct FormRow {
    const char* name;
    Kind kind;
    std::uint32_t addId, modifyId, detailId;
    Rect rect;
    const char* inside; // nullptr: the window
    const char* text;   // caption, edit content; nullptr where the kind has none
    int maxLength = 0;
    int alignment = 0;
};

const std::vector<FormRow>& formRows()
{
    static const std::vector<FormRow> rows = {
        {"通用对话框1", Kind::Dialog, 0x16010096, 0x16010189, 0x160101B5, {79, 136, 40, 24}, "图片框_照片", nullptr},
        {"标签17", Kind::Label, 0x16010094, 0x16010198, 0x160101C4, {63, 96, 25, 24}, "分组框2", "电话"},
        {"分组框1", Kind::Group, 0x1601003D, 0x1601017C, 0x160101A8, {8, 8, 297, 320}, nullptr, "个人信息"},
        {"标签12", Kind::Label, 0x1601003E, 0x1601017D, 0x160101A9, {8, 151, 48, 24}, "分组框1", "学籍辅号"},
        {"编辑框_学籍辅号", Kind::Edit, 0x1601003F, 0x1601017E, 0x160101AA, {71, 150, 74, 25}, "分组框1", "12345678900", 12, 1},
        {"标签11", Kind::Label, 0x16010040, 0x1601017F, 0x160101AB, {8, 291, 57, 24}, "分组框1", "家庭住址"},
        {"编辑框_家庭住址", Kind::Edit, 0x16010041, 0x16010180, 0x160101AC, {70, 289, 219, 25}, "分组框1", "Hollowmere村二组188号", 0, 0},
        {"编辑框_全国学号", Kind::Edit, 0x16010042, 0x16010181, 0x160101AD, {70, 262, 219, 25}, "分组框1", nullptr, 0, 0},
        {"标签10", Kind::Label, 0x16010043, 0x16010182, 0x160101AE, {8, 265, 57, 24}, "分组框1", "全国学号"},
        {"标签9", Kind::Label, 0x16010044, 0x16010183, 0x160101AF, {8, 235, 57, 24}, "分组框1", "身份证号"},
        {"编辑框_身份证号", Kind::Edit, 0x16010045, 0x16010184, 0x160101B0, {70, 234, 219, 25}, "分组框1", nullptr, 18, 0},
        {"标签7", Kind::Label, 0x16010046, 0x16010185, 0x160101B1, {8, 204, 49, 24}, "分组框1", "宿 舍 号"},
        {"编辑框_宿舍号", Kind::Edit, 0x16010047, 0x16010186, 0x160101B2, {70, 205, 75, 25}, "分组框1", "1#201", 0, 1},
        {"标签8", Kind::Label, 0x16010048, 0x16010187, 0x160101B3, {160, 205, 41, 24}, "分组框1", "床位号"},
        {"编辑框_床位号", Kind::Edit, 0x16010049, 0x16010188, 0x160101B4, {213, 204, 76, 25}, "分组框1", "8", 0, 1},
        {"图片框_照片", Kind::Picture, 0x1601004A, 0x1601018A, 0x160101B6, {153, 8, 136, 168}, "分组框1", nullptr},
        {"标签6", Kind::Label, 0x1601004B, 0x1601018B, 0x160101B7, {8, 179, 48, 24}, "分组框1", "是否住宿"},
        {"组合框_是否住宿", Kind::Combo, 0x1601004C, 0x1601018C, 0x160101B8, {71, 181, 74, 20}, "分组框1", nullptr},
        {"标签5", Kind::Label, 0x1601004D, 0x1601018D, 0x160101B9, {8, 125, 48, 24}, "分组框1", "年龄"},
        {"编辑框_年龄", Kind::Edit, 0x1601004E, 0x1601018E, 0x160101BA, {71, 123, 74, 25}, "分组框1", "12", 12, 1},
        {"组合框_性别", Kind::Combo, 0x1601004F, 0x1601018F, 0x160101BB, {71, 41, 74, 20}, "分组框1", nullptr},
        {"标签4", Kind::Label, 0x16010050, 0x16010190, 0x160101BC, {8, 95, 48, 24}, "分组框1", "体重(kg)"},
        {"编辑框_体重", Kind::Edit, 0x16010051, 0x16010191, 0x160101BD, {71, 94, 74, 25}, "分组框1", "60", 0, 1},
        {"标签3", Kind::Label, 0x16010052, 0x16010192, 0x160101BE, {8, 66, 48, 24}, "分组框1", "身高(cm)"},
        {"编辑框_身高", Kind::Edit, 0x16010053, 0x16010193, 0x160101BF, {71, 65, 74, 25}, "分组框1", "170", 0, 1},
        {"标签2", Kind::Label, 0x16010054, 0x16010194, 0x160101C0, {8, 39, 48, 24}, "分组框1", "性   别"},
        {"编辑框_姓名", Kind::Edit, 0x16010055, 0x16010195, 0x160101C1, {71, 13, 74, 25}, "分组框1", "小苹果", 0, 1},
        {"标签1", Kind::Label, 0x16010056, 0x16010196, 0x160101C2, {8, 16, 48, 24}, "分组框1", "姓   名"},
        {"分组框2", Kind::Group, 0x16010057, 0x16010197, 0x160101C3, {9, 336, 296, 128}, nullptr, "监护人信息"},
        {"编辑框_监护2电话", Kind::Edit, 0x16010058, 0x16010199, 0x160101C5, {90, 97, 125, 25}, "分组框2", nullptr, 0, 0},
        {"标签16", Kind::Label, 0x16010059, 0x1601019A, 0x160101C6, {150, 72, 48, 24}, "分组框2", " 姓  名"},
        {"编辑框_监护2姓名", Kind::Edit, 0x1601005A, 0x1601019B, 0x160101C7, {213, 72, 74, 25}, "分组框2", "小樱桃", 0, 1},
        {"标签18", Kind::Label, 0x1601005C, 0x1601019C, 0x160101C8, {7, 72, 81, 24}, "分组框2", "监护人2：关系"},
        {"组合框_监护2关系", Kind::Combo, 0x1601005D, 0x1601019D, 0x160101C9, {90, 74, 61, 20}, "分组框2", nullptr},
        {"标签15", Kind::Label, 0x1601005E, 0x1601019E, 0x160101CA, {62, 44, 25, 24}, "分组框2", "电话"},
        {"编辑框_监护1电话", Kind::Edit, 0x1601005F, 0x1601019F, 0x160101CB, {91, 44, 125, 25}, "分组框2", nullptr, 0, 0},
        {"组合框_监护1关系", Kind::Combo, 0x16010060, 0x160101A0, 0x160101CC, {91, 21, 61, 20}, "分组框2", nullptr},
        {"编辑框_监护1姓名", Kind::Edit, 0x16010061, 0x160101A1, 0x160101CD, {214, 19, 74, 25}, "分组框2", "小桔子", 0, 1},
        {"标签14", Kind::Label, 0x16010062, 0x160101A2, 0x160101CE, {151, 19, 48, 24}, "分组框2", " 姓  名"},
        {"标签13", Kind::Label, 0x16010063, 0x160101A3, 0x160101CF, {8, 19, 120, 24}, "分组框2", "监护人1：关系"},
    };
    return rows;
}

bool allDigits(const std::string& s)
{
    return !s.empty() && s.find_first_not_of("0123456789") == std::string::npos;
}

std::uint32_t idOf(const FormRow& row, int column)
{
    return column == 0 ? row.addId : column == 1 ? row.modifyId : row.detailId;
}

// The field components shared by the three forms; `column` picks the form's ids.
void checkFormFields(const WindowTemplate& w, int column, std::pair<int, int> photoSize)
{
    const std::vector<std::string> relations = {" 父亲", " 母亲", " 祖父", " 祖母", " 外公", " 外婆",
                                                " 叔父", " 姑母", " 舅父", " 姨母", " 其他", ""};
    for (const FormRow& row : formRows()) {
        SCOPED_TRACE(row.name);
        const ComponentRecord* r = w.find(idOf(row, column));
        ASSERT_NE(r, nullptr);
        EXPECT_EQ(r->name, row.name);
        EXPECT_EQ(r->rect, row.rect);
        EXPECT_TRUE(r->visible());
        EXPECT_FALSE(r->disabled());
        EXPECT_TRUE(r->events.empty());
        EXPECT_EQ(r->mousePointer, Bytes(4, 0));
        EXPECT_EQ(r->unitStatus, UnitDataStatus::Accepted);
        if (row.inside) {
            const ComponentRecord* container = w.findByName(row.inside);
            ASSERT_NE(container, nullptr);
            EXPECT_EQ(r->containerId, container->id);
            EXPECT_NE(std::find(container->childIds.begin(), container->childIds.end(), r->id),
                      container->childIds.end());
        } else {
            EXPECT_EQ(r->containerId, 0u);
        }
        switch (row.kind) {
        case Kind::Label: {
            const auto* s = r->as<LabelSettings>();
            ASSERT_NE(s, nullptr);
            EXPECT_EQ(s->caption, row.text);
            EXPECT_EQ(s->textColour(), 0u);
            EXPECT_EQ(s->backgroundColour(), kDefaultColour);
            EXPECT_FALSE(s->font.has_value());
            EXPECT_EQ(s->settings, LabelSettings{}.settings);
            break;
        }
        case Kind::Edit: {
            const auto* s = r->as<EditBoxSettings>();
            ASSERT_NE(s, nullptr);
            if (row.text) {
                EXPECT_EQ(s->content, row.text);
            }
            EXPECT_EQ(s->maxLength, row.maxLength);
            EXPECT_EQ(s->alignment, row.alignment);
            EXPECT_EQ(s->borderStyle, 1);
            EXPECT_EQ(s->textColour, 0u);
            EXPECT_EQ(s->backgroundColour, 0x00FFFFFFu);
            EXPECT_EQ(s->inputMode, 0);
            EXPECT_EQ(s->multiLine, 0);
            EXPECT_FALSE(s->font.has_value());
            break;
        }
        case Kind::Combo: {
            const auto* s = r->as<ComboBoxSettings>();
            ASSERT_NE(s, nullptr);
            EXPECT_EQ(s->style, 2);
            const std::string name = row.name;
            if (name == "组合框_性别") {
                EXPECT_EQ(s->items, (std::vector<std::string>{"    男", "    女"}));
                EXPECT_EQ(s->currentItemAtCreation(), 1);
            } else if (name == "组合框_是否住宿") {
                EXPECT_EQ(s->items, (std::vector<std::string>{"    是", "    否"}));
                EXPECT_EQ(s->currentItemAtCreation(), 0);
            } else {
                EXPECT_EQ(s->items, relations);
                EXPECT_EQ(s->currentItemAtCreation(), name == "组合框_监护2关系" ? 1 : 0);
            }
            break;
        }
        case Kind::Picture: {
            const auto* s = r->as<PictureBoxSettings>();
            ASSERT_NE(s, nullptr);
            EXPECT_EQ(s->displayMode, 1);
            EXPECT_EQ(jpegSize(s->picture), photoSize);
            break;
        }
        case Kind::Group: {
            const auto* s = r->as<GroupBoxSettings>();
            ASSERT_NE(s, nullptr);
            EXPECT_EQ(s->caption, row.text);
            EXPECT_FALSE(s->font.has_value());
            break;
        }
        case Kind::Dialog: {
            // An empty settings block: open-file dialog, every text empty.
            EXPECT_FALSE(r->unitDataStored);
            const auto* s = r->as<CommonDialogSettings>();
            ASSERT_NE(s, nullptr);
            EXPECT_EQ(*s, CommonDialogSettings{});
            break;
        }
        }
    }

    // Identity-card and national-number samples: 18 digits, and G followed by them.
    const auto& idCard = w.findByName("编辑框_身份证号")->as<EditBoxSettings>()->content;
    EXPECT_EQ(idCard.size(), 18u);
    EXPECT_TRUE(allDigits(idCard));
    EXPECT_EQ(w.findByName("编辑框_全国学号")->as<EditBoxSettings>()->content, "G" + idCard);
    for (const auto& [name, prefix] : {std::pair{"编辑框_监护1电话", "188"}, std::pair{"编辑框_监护2电话", "199"}}) {
        const auto& phone = w.findByName(name)->as<EditBoxSettings>()->content;
        EXPECT_EQ(phone.size(), 11u);
        EXPECT_TRUE(allDigits(phone));
        EXPECT_EQ(phone.substr(0, 3), prefix);
    }
}

struct ButtonRow {
    const char* name;
    std::uint32_t id;
    Rect rect;
    const char* caption;
    Handler handler;
};

void checkButtons(const WindowTemplate& w, const std::vector<ButtonRow>& rows, const char* fontFace = nullptr)
{
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        const ComponentRecord* r = w.find(row.id);
        ASSERT_NE(r, nullptr);
        EXPECT_EQ(r->name, row.name);
        EXPECT_EQ(r->kind(), UnitKind::Button);
        EXPECT_EQ(r->rect, row.rect);
        EXPECT_TRUE(r->visible());
        EXPECT_EQ(r->as<ButtonSettings>()->caption, row.caption);
        EXPECT_EQ(r->events, (std::vector<EventBinding>{{0, h(row.handler)}}));
        if (fontFace)
            expectFont(r->as<ButtonSettings>()->font, fontFace, -12);
        else
            EXPECT_FALSE(r->as<ButtonSettings>()->font.has_value());
    }
}

std::vector<std::uint32_t> storedIds(const WindowTemplate& w)
{
    std::vector<std::uint32_t> ids;
    for (const auto& r : w.records)
        ids.push_back(r.id);
    return ids;
}

TEST(TemplateCatalogue, AddForm)
{
    const WindowTemplate& w = window(catalogue::kAddForm);
    ASSERT_EQ(w.records.size(), 45u);
    EXPECT_EQ(w.windowRecord().events, (std::vector<EventBinding>{{8, h(Handler::addFormSampleNotice)}}));
    checkFormFields(w, 0, {663, 659});
    checkButtons(w, {{"按钮_返回主窗口", 0x1601010A, {320, 216, 56, 24}, "返回", Handler::addFormReturn},
                     {"按钮_添加", 0x160100E1, {320, 128, 56, 24}, "添加保存", Handler::addFormSave},
                     {"按钮_清空示例", 0x160100C0, {320, 88, 56, 24}, "清空示例", Handler::addFormClearSample},
                     {"按钮_插入照片", 0x16010095, {320, 40, 56, 24}, "插入照片", Handler::addFormInsertPhoto}});
    // Design order, not id order: the buttons and the dialog come first.
    const auto ids = storedIds(w);
    EXPECT_EQ(std::vector<std::uint32_t>(ids.begin(), ids.begin() + 8),
              (std::vector<std::uint32_t>{0x0601003B, 0x1601010A, 0x160100E1, 0x160100C0, 0x16010096, 0x16010095,
                                          0x16010094, 0x1601003D}));
    EXPECT_EQ(ids.back(), 0x16010063u);
    EXPECT_EQ(w.findByName("编辑框_身份证号")->as<EditBoxSettings>()->content, "430102201003150020");
}

TEST(TemplateCatalogue, ModifyFormAndDetailView)
{
    const WindowTemplate& modify = window(catalogue::kModifyForm);
    ASSERT_EQ(modify.records.size(), 44u);
    EXPECT_EQ(modify.windowRecord().events, (std::vector<EventBinding>{{0, h(Handler::modifyFormLoaded)}}));
    checkFormFields(modify, 1, {156, 189});
    checkButtons(modify, {{"按钮_替换照片", 0x160101A4, {320, 40, 56, 24}, "替换照片", Handler::modifyFormReplacePhoto},
                          {"按钮_修改保存", 0x160101A6, {320, 72, 56, 24}, "修改保存", Handler::modifyFormSave},
                          {"按钮_返回主窗口", 0x160101A7, {320, 104, 56, 24}, "返回", Handler::modifyFormReturn}});

    const WindowTemplate& detail = window(catalogue::kDetailView);
    ASSERT_EQ(detail.records.size(), 42u);
    EXPECT_EQ(detail.windowRecord().events, (std::vector<EventBinding>{{0, h(Handler::detailViewLoaded)}}));
    checkFormFields(detail, 2, {156, 189});
    checkButtons(detail, {{"按钮_返回主窗口", 0x160101D3, {320, 24, 56, 24}, "返回", Handler::detailViewReturn}});

    // The modify form has its own identity sample; the detail view keeps the add form's.
    const auto idCard = [](const WindowTemplate& w) {
        return w.findByName("编辑框_身份证号")->as<EditBoxSettings>()->content;
    };
    EXPECT_NE(idCard(modify), idCard(window(catalogue::kAddForm)));
    EXPECT_EQ(idCard(detail), idCard(window(catalogue::kAddForm)));
    for (const auto* w : {&modify, &detail}) {
        EXPECT_EQ(w->findByName("按钮_添加"), nullptr);
        EXPECT_EQ(w->findByName("按钮_清空示例"), nullptr);
        EXPECT_EQ(w->findByName("按钮_插入照片"), nullptr);
        EXPECT_EQ(w->windowRecord().handlerFor(8), -1);
        // 分组框1 and its members first, the dialog just before the picture box, then
        // 分组框2 and its members, then the buttons.
        const auto ids = storedIds(*w);
        const auto at = [&](const char* name) {
            return std::find(ids.begin(), ids.end(), w->findByName(name)->id) - ids.begin();
        };
        EXPECT_EQ(at("分组框1"), 1);
        EXPECT_EQ(at("通用对话框1") + 1, at("图片框_照片"));
        EXPECT_LT(at("标签1"), at("分组框2"));
        EXPECT_LT(at("标签13"), at("按钮_返回主窗口"));
    }
}

const std::vector<std::pair<const char*, int>> kColumns = {
    {"序号", 40},        {"姓名", 70},        {"性别", 40},        {"身高", 50},        {"体重", 50},
    {"年龄", 100},       {"学籍辅号", 90},    {"全国学号", 150},   {"是否住宿", 70},    {"宿舍号", 70},
    {"床位号", 55},      {"身份证号", 140},   {"家庭住址", 270},   {"监护人1关系", 90}, {"监护人1姓名", 90},
    {"监护人1电话", 90}, {"监护人2关系", 90}, {"监护人2姓名", 90}, {"监护人2电话", 90},
};

void checkReportList(const ComponentRecord& r)
{
    EXPECT_EQ(r.name, "超级列表框1");
    const auto* s = r.as<ReportListSettings>();
    ASSERT_NE(s, nullptr);
    EXPECT_EQ(s->listType, 3);
    EXPECT_EQ(s->borderStyle, 1);
    EXPECT_EQ(s->textColour, 0u);
    EXPECT_EQ(s->textBackgroundColour, 0x00FFFFFFu);
    EXPECT_EQ(s->backgroundColour, 0x00FFFFFFu);
    EXPECT_EQ(s->headerButtons, 1);
    EXPECT_EQ(s->wholeRowSelection, 1);
    EXPECT_EQ(s->gridLines, 1);
    EXPECT_EQ(s->hotTracking, 0);
    EXPECT_EQ(s->sortOrder, 0);
    EXPECT_EQ(s->singleSelection, 1);
    EXPECT_EQ(s->currentRow, -1);
    EXPECT_EQ(s->showSelectionAlways, 0);
    expectFont(s->font, "", -14, 400);
    ASSERT_EQ(s->columns.size(), kColumns.size());
    for (std::size_t i = 0; i < kColumns.size(); ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(s->columns[i].title, kColumns[i].first);
        EXPECT_EQ(s->columns[i].width, kColumns[i].second);
        EXPECT_EQ(s->columns[i].alignment, i == 0 ? 0 : 1);
        EXPECT_EQ(s->columns[i].imageIndex, -1);
        EXPECT_EQ(s->columns[i].imageOnRight, 0);
    }
    EXPECT_TRUE(s->initialRows.empty());
}

void checkToolBar(const ComponentRecord& r, const std::vector<const char*>& captions)
{
    EXPECT_EQ(r.name, "工具条1");
    const auto* s = r.as<ToolBarSettings>();
    ASSERT_NE(s, nullptr);
    EXPECT_EQ(s->backgroundColour, kDefaultColour);
    EXPECT_EQ(s->settings, (std::array<std::int32_t, 6>{0, 1, 1, 0, 1, 0}));
    expectFont(s->font, "黑体", -16);
    ASSERT_EQ(s->buttons.size(), captions.size());
    for (std::size_t i = 0; i < captions.size(); ++i) {
        SCOPED_TRACE(i);
        const ToolBarButton& b = s->buttons[i];
        EXPECT_EQ(b.caption, captions[i]);
        EXPECT_EQ(b.toolTip, i == 0 ? "如果列表中有无用信息" : "");
        EXPECT_EQ(b.imageIndex, -1);
        EXPECT_EQ(b.state, 4);
        EXPECT_FALSE(b.isSeparator()); // the trailing captionless buttons are real buttons
    }
}

void checkHiddenPlatform(const WindowTemplate& w, std::uint32_t groupId, std::size_t members)
{
    const ComponentRecord* group = w.find(groupId);
    ASSERT_NE(group, nullptr);
    EXPECT_EQ(group->name, "分组框1");
    EXPECT_EQ(group->rect, (Rect{816, 72, 133, 356}));
    EXPECT_FALSE(group->visible());
    EXPECT_EQ(group->as<GroupBoxSettings>()->caption, "操作平台");
    expectFont(group->as<GroupBoxSettings>()->font, "微软雅黑", -16);
    EXPECT_EQ(group->childIds.size(), members);
    for (std::uint32_t child : group->childIds) {
        const ComponentRecord* member = w.find(child);
        ASSERT_NE(member, nullptr);
        EXPECT_EQ(member->containerId, groupId);
        EXPECT_TRUE(member->visible()); // hidden only through the group box
    }
}

TEST(TemplateCatalogue, MainWindow)
{
    const WindowTemplate& w = window(catalogue::kMainWindow);
    ASSERT_EQ(w.records.size(), 19u);
    EXPECT_EQ(w.windowRecord().events,
              (std::vector<EventBinding>{{0, h(Handler::mainWindowLoaded)}, {9, h(Handler::mainWindowTray)}}));
    EXPECT_EQ(storedIds(w),
              (std::vector<std::uint32_t>{0x06010077, 0x160100D1, 0x160103B3, 0x160102C1, 0x26010279, 0x2601027A,
                                          0x2601027B, 0x2601027C, 0x1601010D, 0x1601010C, 0x160100F2, 0x160100F3,
                                          0x160100F4, 0x160100F5, 0x160100F7, 0x160100F9, 0x160100FA, 0x160100D0,
                                          0x160100F1}));

    const ComponentRecord& list = w.records[1];
    EXPECT_EQ(list.rect, (Rect{0, 48, 960, 476}));
    EXPECT_EQ(list.events,
              (std::vector<EventBinding>{{5, h(Handler::mainListMenu)}, {-3, h(Handler::mainListDoubleClick)}}));
    checkReportList(list);

    const std::vector<std::tuple<int, int, const char*, std::int32_t>> menu = {
        {0, 1, "信息维护", -1},
        {1, 0, "信息查询", h(Handler::mainQuery)},
        {1, 0, "信息修改", h(Handler::mainModify)},
        {1, 0, "删除该生", h(Handler::mainDelete)},
    };
    for (std::size_t i = 0; i < menu.size(); ++i) {
        const auto& [level, flags, caption, click] = menu[i];
        const MenuItem* m = w.records[4 + i].as<MenuItem>();
        ASSERT_NE(m, nullptr);
        EXPECT_EQ(m->level, level);
        EXPECT_EQ(m->flags, flags);
        EXPECT_EQ(m->caption, caption);
        EXPECT_EQ(m->clickHandler, click);
    }

    const ComponentRecord& dialog = w.records[8];
    EXPECT_EQ(dialog.name, "通用对话框1");
    EXPECT_EQ(dialog.rect, (Rect{72, 88, 48, 32}));
    const auto* ds = dialog.as<CommonDialogSettings>();
    ASSERT_NE(ds, nullptr);
    EXPECT_TRUE(dialog.unitDataStored);
    EXPECT_EQ(ds->dialogType, 0);
    EXPECT_EQ(ds->filter, "(*.xls)|*.xls");
    EXPECT_EQ(ds->defaultExtension, "*.xls");
    EXPECT_EQ(ds->title, "");
    EXPECT_EQ(ds->initialFolder, "");
    std::array<std::int32_t, 13> options{};
    options[CommonDialogSettings::kFileMustExist] = 1;
    options[CommonDialogSettings::kOverwritePrompt] = 1;
    options[CommonDialogSettings::kPathMustExist] = 1;
    EXPECT_EQ(ds->options, options);

    const ComponentRecord& database = w.records[9];
    EXPECT_EQ(database.name, "外部数据库1");
    EXPECT_EQ(database.kind(), UnitKind::ExternalDatabase);
    EXPECT_EQ(database.rect, (Rect{16, 88, 48, 24}));
    EXPECT_FALSE(database.unitDataStored);

    checkButtons(w,
                 {{"按钮_删除查询", 0x160103B3, {8, 281, 119, 32}, "删除查询", Handler::mainOpenDeleted},
                  {"按钮_信息查询", 0x160102C1, {8, 248, 119, 32}, "信息查询", Handler::mainQuery},
                  {"按钮_Excel导出", 0x160100F2, {7, 173, 119, 32}, "Excel导出", Handler::mainExport},
                  {"按钮_删除选中行", 0x160100F3, {7, 209, 119, 32}, "删除该生", Handler::mainDelete},
                  {"按钮_清空数据库", 0x160100F4, {7, 313, 119, 32}, "全部清空", Handler::mainClearStore},
                  {"按钮_Excel导入", 0x160100F5, {7, 136, 119, 32}, "Excel导入", Handler::mainImport},
                  {"按钮_信息修改", 0x160100F7, {7, 98, 119, 32}, "信息修改", Handler::mainModify},
                  {"按钮_信息添加", 0x160100F9, {7, 60, 119, 32}, "信息添加", Handler::mainAdd},
                  {"按钮_显示全部", 0x160100FA, {7, 24, 119, 32}, "全班学生信息", Handler::mainShowAll}},
                 "微软雅黑");
    checkHiddenPlatform(w, 0x160100F1, 9);

    const ComponentRecord& toolbar = w.records[17];
    EXPECT_EQ(toolbar.rect, (Rect{0, -6, 817, 28}));
    EXPECT_EQ(toolbar.events, (std::vector<EventBinding>{{0, h(Handler::mainToolbar)}}));
    checkToolBar(toolbar, {"系统初始化", "查看全班", "信息添加", "信息修改", "信息删除", "批量导入", "批量导出",
                           "已删查询", "关于程序", "退出系统", "", ""});
}

TEST(TemplateCatalogue, DeletedStudentsWindow)
{
    const WindowTemplate& w = window(catalogue::kDeletedWindow);
    EXPECT_EQ(storedIds(w), (std::vector<std::uint32_t>{0x060103D2, 0x160103D6, 0x160103D4, 0x160103D5, 0x160103DD,
                                                        0x160103DE, 0x160103DF}));
    EXPECT_EQ(w.windowRecord().events, (std::vector<EventBinding>{{0, h(Handler::deletedWindowLoaded)}}));
    checkHiddenPlatform(w, 0x160103D6, 3);

    const ComponentRecord& toolbar = w.records[2];
    EXPECT_EQ(toolbar.rect, (Rect{8, 8, 817, 28}));
    EXPECT_EQ(toolbar.events, (std::vector<EventBinding>{{0, h(Handler::deletedToolbar)}}));
    checkToolBar(toolbar, {"清空全部", "误删还原", "返回主窗", "", ""});

    const ComponentRecord& list = w.records[3];
    EXPECT_EQ(list.rect, (Rect{-2, 52, 1144, 476}));
    EXPECT_TRUE(list.events.empty());
    checkReportList(list);

    checkButtons(w,
                 {{"按钮_返回主窗", 0x160103DD, {7, 98, 119, 32}, "返回主窗", Handler::deletedReturn},
                  {"按钮_误删还原", 0x160103DE, {7, 60, 119, 32}, "误删还原", Handler::deletedRestore},
                  {"按钮_清空全部", 0x160103DF, {7, 24, 119, 32}, "清空全部", Handler::deletedClearAll}},
                 "微软雅黑");
}

TEST(TemplateCatalogue, AboutWindow)
{
    const WindowTemplate& w = window(catalogue::kAboutWindow);
    ASSERT_EQ(w.records.size(), 3u);
    EXPECT_TRUE(w.windowRecord().events.empty());

    const ComponentRecord& title = w.records[1];
    EXPECT_EQ(title.id, 0x16010175u);
    EXPECT_EQ(title.name, "标签2");
    EXPECT_EQ(title.rect, (Rect{64, 48, 160, 24}));
    const auto* ts = title.as<LabelSettings>();
    EXPECT_EQ(ts->caption, "Quillroll");
    EXPECT_EQ(ts->textColour(), rgb(0, 136, 255));
    EXPECT_EQ(ts->backgroundColour(), kDefaultColour);
    EXPECT_EQ(ts->settingForProperty(24), 1);
    EXPECT_EQ(ts->settingForProperty(25), 0);
    expectFont(ts->font, "楷体", -24);

    const ComponentRecord& note = w.records[2];
    EXPECT_EQ(note.id, 0x1601017Bu);
    EXPECT_EQ(note.name, "标签6");
    EXPECT_EQ(note.rect, (Rect{0, 128, 288, 112}));
    const auto* ns = note.as<LabelSettings>();
    EXPECT_EQ(ns->caption, "      ");
    EXPECT_EQ(ns->textColour(), rgb(255, 0, 0));
    EXPECT_EQ(ns->settingForProperty(24), 0);
    EXPECT_EQ(ns->settingForProperty(25), 1);
    expectFont(ns->font, "微软雅黑", -16);
}

// The hidden level-0 items never show in a menu bar, but their items form the pop-up
// menus of the tray and of the roster list.
TEST(TemplateCatalogue, HiddenMenusStillOfferTheirPopupItems)
{
    const auto captions = [](const std::vector<const ComponentRecord*>& items) {
        std::vector<std::string> out;
        for (const auto* r : items)
            out.push_back(r->as<MenuItem>()->caption);
        return out;
    };
    const WindowTemplate& start = window(catalogue::kStartWindow);
    EXPECT_EQ(start.menuRun().size(), 3u);
    EXPECT_TRUE(start.menuRun()[0]->as<MenuItem>()->hidden());
    EXPECT_EQ(captions(start.popupItems(0x2601039E)), (std::vector<std::string>{"打开", "关闭"}));
    EXPECT_TRUE(start.popupItems(0x2601039F).empty()); // a level-1 item has no pop-up

    const WindowTemplate& main = window(catalogue::kMainWindow);
    ASSERT_EQ(main.menuRun().size(), 4u);
    EXPECT_EQ(main.menuRun()[0]->id, 0x26010279u);
    EXPECT_EQ(captions(main.popupItems(0x26010279)), (std::vector<std::string>{"信息查询", "信息修改", "删除该生"}));
    EXPECT_TRUE(window(catalogue::kAddForm).menuRun().empty());
}

TEST(TemplateCatalogue, EveryHandlerIsBoundAndEveryBindingNamed)
{
    std::vector<int> uses(catalogue::kHighestHandlerNumber + 1, 0);
    for (const auto& w : store().windows)
        for (const auto& r : w.records) {
            std::vector<std::int32_t> refs;
            for (const auto& b : r.events)
                refs.push_back(b.handler);
            if (const auto* m = r.as<MenuItem>())
                refs.push_back(m->clickHandler);
            for (std::int32_t ref : refs) {
                if (ref == -1)
                    continue;
                ASSERT_GE(ref, 1);
                ASSERT_LE(ref, catalogue::kHighestHandlerNumber);
                EXPECT_FALSE(catalogue::kHandlerNames[std::size_t(ref)].empty());
                ++uses[std::size_t(ref)];
            }
        }
    for (int n = 1; n <= catalogue::kHighestHandlerNumber; ++n)
        EXPECT_GT(uses[std::size_t(n)], 0) << catalogue::kHandlerNames[std::size_t(n)];
    // Shared handlers: the main window's buttons and its pop-up menu reach the same code.
    EXPECT_EQ(uses[std::size_t(h(Handler::mainQuery))], 2);
    EXPECT_EQ(uses[std::size_t(h(Handler::mainModify))], 2);
    EXPECT_EQ(uses[std::size_t(h(Handler::mainDelete))], 2);
}

TEST(TemplateCatalogue, CarriedPictures)
{
    const auto startup = catalogue::startupPictureBytes();
    EXPECT_EQ(jpegSize(Bytes(startup.begin(), startup.end())), (std::pair{1024, 1024}));
    const auto placeholder = catalogue::placeholderPhotoBytes();
    EXPECT_EQ(jpegSize(Bytes(placeholder.begin(), placeholder.end())), (std::pair{198, 249}));

    // One 128 x 128 image of 32 bits per pixel: directory, bitmap header, colour and mask rows.
    const auto icon = catalogue::programIconBytes();
    ASSERT_EQ(icon.size(), 67646u);
    EXPECT_EQ(icon[2], 1);  // icon, not cursor
    EXPECT_EQ(icon[4], 1);  // one image
    EXPECT_EQ(icon[6], 128);
    EXPECT_EQ(icon[7], 128);
    EXPECT_EQ(icon[12], 32);
    EXPECT_EQ(icon[22], 40); // bitmap info header size
}

} // namespace
} // namespace qr::forms
