#include "test_store.h"

#include "probe_kinds.h"

#include "forms/template/ids.h"
#include "forms/template/template_writer.h"

#include <algorithm>
#include <stdexcept>

namespace qr::forms::testing {
namespace {

ComponentRecord record(std::uint32_t id, UnitKind kind, const char* name, Rect rect, UnitData unit)
{
    ComponentRecord r;
    r.id = id;
    r.unitTypeCode = std::uint32_t(kind);
    r.name = name;
    r.rect = rect;
    r.mousePointer = Bytes(4, 0);
    r.flags = ComponentRecord::kVisible | ComponentRecord::kTabStop;
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

std::vector<EventBinding> commonInputs(int base)
{
    std::vector<EventBinding> events;
    for (int e = -1; e >= -12; --e)
        events.push_back({e, base + 100 + e});
    return events;
}

ComponentRecord windowRecord(std::uint32_t windowId, const char* caption, int width, int height)
{
    WindowSettings settings;
    settings.caption = caption;
    return record(windowRecordId(windowId), UnitKind::Window, "", {50, 50, width, height}, settings);
}

ButtonSettings button(const char* caption)
{
    ButtonSettings s;
    s.caption = caption;
    return s;
}

EditBoxSettings edit(const char* content)
{
    EditBoxSettings s;
    s.content = content;
    return s;
}

} // namespace

TemplateStore testStore()
{
    TemplateStore store;

    WindowTemplate main;
    main.windowId = kMain;
    ComponentRecord own = windowRecord(kMain, "测试窗口", 300, 200);
    for (int e = 0; e <= 12; ++e)
        own.events.push_back({e, h::kWindowEvent + e});
    for (const EventBinding& b : commonInputs(h::kWindowInput))
        own.events.push_back(b);
    main.records.push_back(own);
    main.records.push_back(menu(kMenuFile, 0, 0, "文件", -1));
    main.records.push_back(menu(kMenuOpen, 1, 0, "打开", h::kMenuOpen));
    main.records.push_back(menu(kMenuQuit, 1, 0, "退出", h::kMenuQuit));
    main.records.push_back(menu(kMenuTray, 0, 1, "系统开关", -1));
    main.records.push_back(menu(kMenuTrayShow, 1, 0, "显示", h::kTrayShow));
    main.records.push_back(menu(kMenuTrayEnd, 1, 0, "结束", h::kTrayEnd));
    ComponentRecord okButton = record(kButton, UnitKind::Button, "按钮_确定", {10, 120, 80, 30}, button("确定"));
    okButton.events = commonInputs(h::kButtonInput);
    okButton.events.push_back({0, h::kButtonClick});
    main.records.push_back(okButton);
    ComponentRecord nameEdit = record(kEdit, UnitKind::EditBox, "编辑框_姓名", {10, 10, 120, 25}, edit("小苹果"));
    nameEdit.events = commonInputs(h::kEditInput);
    main.records.push_back(nameEdit);
    ComponentRecord group = record(kGroup, UnitKind::GroupBox, "分组框1", {150, 10, 140, 100}, GroupBoxSettings{});
    group.childIds = {kInner};
    main.records.push_back(group);
    ComponentRecord inner = record(kInner, UnitKind::EditBox, "编辑框_内", {5, 5, 60, 25}, edit("内"));
    inner.containerId = kGroup;
    main.records.push_back(inner);
    store.windows.push_back(main);

    WindowTemplate second;
    second.windowId = kSecond;
    ComponentRecord secondOwn = windowRecord(kSecond, "第二窗口", 200, 150);
    secondOwn.events = {{0, h::kSecondLoaded}};
    second.records.push_back(secondOwn);
    ComponentRecord back = record(kSecondButton, UnitKind::Button, "按钮_返回", {10, 10, 60, 24}, button("返回"));
    back.events = {{0, h::kSecondClick}};
    second.records.push_back(back);
    store.windows.push_back(second);

    WindowTemplate broken;
    broken.windowId = kBroken;
    broken.records.push_back(windowRecord(kBroken, "坏窗口", 200, 150));
    broken.records.push_back(record(0x16010050, UnitKind::Button, "按钮_甲", {0, 0, 50, 20}, button("甲")));
    broken.records.push_back(
        record(0x16010051, UnitKind::PictureBox, "图片框_照片", {0, 30, 50, 50}, PictureBoxSettings{}));
    broken.records.push_back(record(0x16010052, UnitKind::Button, "按钮_乙", {0, 90, 50, 20}, button("乙")));
    store.windows.push_back(broken);

    WindowTemplate hidden;
    hidden.windowId = kHiddenMenu;
    hidden.records.push_back(windowRecord(kHiddenMenu, "隐藏菜单", 200, 150));
    hidden.records.push_back(menu(0x26010060, 0, 1, "信息维护", -1));
    hidden.records.push_back(menu(0x26010061, 1, 0, "信息查询", -1));
    ComponentRecord hiddenGroup =
        record(kHiddenGroup, UnitKind::GroupBox, "分组框2", {10, 10, 100, 100}, GroupBoxSettings{});
    hiddenGroup.flags = 0;
    hiddenGroup.childIds = {kHiddenGroupMember};
    hidden.records.push_back(hiddenGroup);
    ComponentRecord member = record(kHiddenGroupMember, UnitKind::Button, "按钮_内", {5, 5, 50, 20}, button("内"));
    member.containerId = kHiddenGroup;
    hidden.records.push_back(member);
    store.windows.push_back(hidden);
    return store;
}

std::vector<std::uint8_t> testStoreBytes()
{
    std::string error;
    const std::optional<Bytes> bytes = buildTemplateStore(testStore(), &error);
    if (!bytes)
        throw std::runtime_error("test store: " + error);
    return *bytes;
}

namespace {
const std::vector<int>& allHandlerNumbers()
{
    static const std::vector<int> numbers = [] {
        std::vector<int> n;
        for (int e = 0; e <= 12; ++e)
            n.push_back(h::kWindowEvent + e);
        for (int e = -1; e >= -12; --e) {
            n.push_back(h::kWindowInput + 100 + e);
            n.push_back(h::kButtonInput + 100 + e);
            n.push_back(h::kEditInput + 100 + e);
        }
        for (int x : {h::kButtonClick, h::kMenuOpen, h::kMenuQuit, h::kTrayShow, h::kTrayEnd, h::kSecondClick,
                      h::kSecondLoaded})
            n.push_back(x);
        return n;
    }();
    return numbers;
}
} // namespace

Recorder::Recorder()
{
    for (int number : allHandlerNumbers()) {
        setHandler(number, [this, number](const Event& event) {
            calls.push_back({number, event});
            if (const auto it = actions.find(number); it != actions.end() && it->second) {
                const auto action = it->second; // the action may replace itself
                action();
            }
            const auto it = answers.find(number);
            return it == answers.end() ? runtime::Value() : it->second;
        });
    }
}

Recorder::~Recorder() { clearHandlers(); }

std::vector<int> Recorder::handlersCalled() const
{
    std::vector<int> numbers;
    for (const Call& call : calls)
        numbers.push_back(call.handler);
    return numbers;
}

std::vector<std::int32_t> Recorder::eventsOf(std::uint32_t componentId) const
{
    std::vector<std::int32_t> events;
    for (const Call& call : calls)
        if (call.event.componentId == componentId)
            events.push_back(call.event.number);
    return events;
}

int Recorder::count(int handler) const
{
    return int(std::count_if(calls.begin(), calls.end(), [&](const Call& c) { return c.handler == handler; }));
}

const Call* Recorder::last(int handler) const
{
    for (auto it = calls.rbegin(); it != calls.rend(); ++it)
        if (it->handler == handler)
            return &*it;
    return nullptr;
}

} // namespace qr::forms::testing
