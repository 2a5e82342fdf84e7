#include "template_sample_store.h"

#include "forms/template/ids.h"

namespace qr::forms::testing {
namespace {

ComponentRecord ordinary(std::uint32_t id, UnitKind kind, const char* name, Rect rect, UnitData unit)
{
    ComponentRecord r;
    r.id = id;
    r.unitTypeCode = std::uint32_t(kind);
    r.name = name;
    r.rect = rect;
    r.mousePointer = Bytes(4, 0);
    r.unit = std::move(unit);
    r.unitDataStored = true;
    return r;
}

ComponentRecord menu(std::uint32_t id, int level, int flags, const char* caption, std::int32_t click)
{
    ComponentRecord r;
    r.id = id;
    r.unitTypeCode = std::uint32_t(UnitKind::MenuItem);
    r.flags = 0;
    r.unit = MenuItem{level, flags, caption, click};
    return r;
}

} // namespace

TemplateStore sampleStore()
{
    WindowTemplate w;
    w.windowId = 0x52010005;
    w.buildTagA = 0x11223344;
    w.buildTagB = 0x55667788;

    WindowSettings ws;
    ws.caption = "样例窗口";
    ws.icon = {0, 0, 1, 0, 1, 0};
    ws.className = "Cls";
    ComponentRecord own = ordinary(windowRecordId(w.windowId), UnitKind::Window, "", {50, 50, 300, 200}, ws);
    own.events = {{0, 1}, {9, 2}};
    w.records.push_back(own);

    w.records.push_back(menu(0x26010010, 0, 1, "弹出", -1));
    w.records.push_back(menu(0x26010011, 1, 4, "子项", 3));

    GroupBoxSettings group;
    group.caption = "分组";
    group.font = LogFont{.height = -16, .weight = 700, .faceName = "黑体"};
    ComponentRecord groupRecord = ordinary(0x16010020, UnitKind::GroupBox, "分组框1", {8, 8, 200, 150}, group);
    groupRecord.flags = 0; // hidden
    w.records.push_back(groupRecord);

    EditBoxSettings edit;
    edit.content = "内容";
    edit.maxLength = 12;
    edit.alignment = 2;
    edit.reservedText1 = "r1";
    ComponentRecord editRecord = ordinary(0x16010030, UnitKind::EditBox, "编辑框_甲", {4, 4, 80, 25}, edit);
    editRecord.containerId = 0x16010020;
    editRecord.flags = ComponentRecord::kVisible | ComponentRecord::kDisabled | ComponentRecord::kTabStop;
    editRecord.events = {{-9, 4}};
    w.records.push_back(editRecord);
    w.records[3].childIds = {0x16010030};

    ComboBoxSettings combo;
    combo.items = {"    男", "    女", ""};
    combo.initialItem = 7;
    combo.itemData = {1, 0, 0, 0, 2, 0, 0, 0, 3, 0, 0, 0};
    w.records.push_back(ordinary(0x16010031, UnitKind::ComboBox, "组合框_乙", {4, 40, 80, 20}, combo));

    LabelSettings label;
    label.caption = "标签";
    label.settings[LabelSettings::kTextColour] = std::int32_t(rgb(1, 2, 3));
    w.records.push_back(ordinary(0x16010032, UnitKind::Label, "标签1", {1, 2, 3, 4}, label));

    ButtonSettings button;
    button.caption = "按钮";
    button.picture = {'B', 'M', 1, 2, 3, 4};
    w.records.push_back(ordinary(0x16010033, UnitKind::Button, "按钮_丙", {5, 6, 7, 8}, button));

    PictureBoxSettings picture;
    picture.picture = {0xFF, 0xD8, 0xFF, 0xD9};
    w.records.push_back(ordinary(0x16010034, UnitKind::PictureBox, "图片框_丁", {9, 9, 50, 60}, picture));

    CommonDialogSettings dialog;
    dialog.dialogType = 1;
    dialog.filter = "(*.xls)|*.xls";
    dialog.options[CommonDialogSettings::kPathMustExist] = 1;
    dialog.extraText2 = "x";
    w.records.push_back(ordinary(0x16010035, UnitKind::CommonDialog, "通用对话框1", {0, 0, 40, 24}, dialog));

    ComponentRecord empty =
        ordinary(0x16010036, UnitKind::CommonDialog, "通用对话框2", {0, 0, 40, 24}, CommonDialogSettings{});
    empty.unitDataStored = false;
    w.records.push_back(empty);

    ComponentRecord database = ordinary(0x16010037, UnitKind::ExternalDatabase, "外部数据库1", {0, 0, 48, 24}, {});
    database.unitDataStored = false;
    w.records.push_back(database);

    ToolBarSettings toolbar;
    toolbar.font = LogFont{.height = -16, .faceName = "黑体"};
    toolbar.buttons = {{-1, 4, 0, "一", "提示"}, {-1, 4, 1, "", ""}, {3, 0, 0, "", ""}};
    toolbar.fifthBlock = {9};
    w.records.push_back(ordinary(0x16010038, UnitKind::ToolBar, "工具条1", {0, 0, 300, 28}, toolbar));

    ReportListSettings list;
    list.columns = {{0, -1, 0, 40, "序号"}, {1, 2, 2, 70, "姓名"}};
    list.initialRows = {1, 2, 3};
    ComponentRecord listRecord = ordinary(0x16010039, UnitKind::ReportList, "超级列表框1", {0, 30, 300, 100}, list);
    listRecord.events = {{5, 5}, {-3, 6}};
    w.records.push_back(listRecord);

    WindowTemplate bare;
    bare.windowId = 0x52010009;
    bare.reservedText1 = "a";
    WindowSettings old;
    old.version = 1; // before the later settings were added
    old.caption = "旧";
    bare.records.push_back(ordinary(windowRecordId(bare.windowId), UnitKind::Window, "", {50, 50, 10, 10}, old));

    TemplateStore store;
    store.windows = {w, bare};
    store.mapSlots = {0, 0};
    return store;
}

} // namespace qr::forms::testing
