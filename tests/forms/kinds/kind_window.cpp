#include "tests/forms/kinds/kind_window.h"

#include "forms/template/ids.h"
#include "forms/template/template_writer.h"
#include "runtime/gbk.h"

#include <QApplication>

namespace qr::forms::test {

std::string gbk(std::u8string_view utf8)
{
    return runtime::utf8ToGbk(std::string_view(reinterpret_cast<const char*>(utf8.data()), utf8.size()));
}

QString q(std::u8string_view utf8)
{
    return QString::fromUtf8(reinterpret_cast<const char*>(utf8.data()), qsizetype(utf8.size()));
}

void KindWindowTest::TearDown()
{
    destroyAllWindows();
    clearHandlers();
    QApplication::processEvents();
}

ComponentRecord& KindWindowTest::add(std::uint32_t id, UnitKind kind, std::string nameGbk, Rect rect, UnitData settings,
                                     std::vector<std::int32_t> bound)
{
    ComponentRecord r;
    r.id = id;
    r.unitTypeCode = std::uint32_t(kind);
    r.name = std::move(nameGbk);
    r.rect = rect;
    r.mousePointer = Bytes(4, 0);
    r.flags = ComponentRecord::kVisible | ComponentRecord::kTabStop;
    r.unitDataStored = !std::holds_alternative<std::monostate>(settings);
    r.unit = std::move(settings);
    for (std::int32_t e : bound)
        r.events.push_back({e, kRecordingHandler});
    records.push_back(std::move(r));
    return records.back();
}

void KindWindowTest::load()
{
    ComponentRecord window;
    window.id = windowRecordId(kTestWindow);
    window.unitTypeCode = std::uint32_t(UnitKind::Window);
    window.rect = {50, 50, 500, 400};
    window.mousePointer = Bytes(4, 0);
    WindowSettings ws;
    ws.caption = gbk(u8"测试窗口");
    window.unit = ws;
    window.unitDataStored = true;

    WindowTemplate tpl;
    tpl.windowId = kTestWindow;
    tpl.records.push_back(window);
    for (const ComponentRecord& r : records) {
        tpl.records.push_back(r);
        if (r.containerId != 0)
            for (ComponentRecord& c : tpl.records)
                if (c.id == r.containerId)
                    c.childIds.push_back(r.id);
    }
    TemplateStore store;
    store.windows.push_back(tpl);
    std::string error;
    auto bytes = buildTemplateStore(store, &error);
    ASSERT_TRUE(bytes) << error;
    registerStandardKinds();
    initFormsRuntime(*bytes);
    setHandler(kRecordingHandler, [this](const Event& e) {
        events.push_back(e);
        return handlerAnswer;
    });
    ASSERT_TRUE(loadWindow(kTestWindow));
    QApplication::processEvents();
}

ComponentObject* KindWindowTest::object(std::uint32_t id) const { return findComponentObject(kTestWindow, id); }

QWidget* KindWindowTest::widget(std::uint32_t id) const
{
    ComponentObject* o = object(id);
    return o ? o->widget() : nullptr;
}

} // namespace qr::forms::test
