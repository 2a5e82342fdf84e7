#include "forms/template/template_writer.h"

#include "forms/template/unit_data_codec.h"

namespace qr::forms {
namespace {

using detail::ByteSink;

void writeMenuBody(const ComponentRecord& r, ByteSink& out)
{
    const auto* m = r.as<MenuItem>();
    if (!m)
        throw std::invalid_argument("menu item record without menu item data");
    out.zeroText("");
    out.zeroText("");
    out.i32(0);
    out.i32(m->level);
    out.i32(m->flags);
    out.zeroText(m->caption);
    out.i32(m->clickHandler);
    out.zeros(16);
}

void writeOrdinaryBody(const ComponentRecord& r, ByteSink& out)
{
    out.zeroText(r.name);
    out.zeroText(r.remark);
    out.u32(0); // live object slot
    out.i32(r.rect.left);
    out.i32(r.rect.top);
    out.i32(r.rect.width);
    out.i32(r.rect.height);
    out.u32(0); // cursor handle slot
    out.u32(r.containerId);
    out.length(r.childIds.size());
    for (std::uint32_t id : r.childIds)
        out.u32(id);
    out.countedBlock(r.mousePointer);
    out.zeroText(r.tag);
    out.i32(0);
    out.i32(r.flags);
    out.i32(r.focusOrder);
    out.length(r.events.size());
    for (const auto& b : r.events) {
        out.i32(b.event);
        out.i32(b.handler);
    }
    out.zeros(20);
    detail::encodeUnitData(r, out);
}

Bytes recordBody(const ComponentRecord& r)
{
    ByteSink out;
    out.u32(r.unitTypeCode);
    out.zeros(20);
    if (r.isMenuItem())
        writeMenuBody(r, out);
    else
        writeOrdinaryBody(r, out);
    return std::move(out.bytes());
}

void writeWindow(const WindowTemplate& w, ByteSink& out)
{
    out.u32(w.buildTagA);
    out.u32(w.buildTagB);
    out.countedText(w.reservedText1);
    out.countedText(w.reservedText2);

    ByteSink records;
    std::vector<std::uint32_t> offsets;
    for (const auto& r : w.records) {
        offsets.push_back(std::uint32_t(records.size()));
        const Bytes body = recordBody(r);
        records.countedBlock(body);
    }
    ByteSink table;
    for (const auto& r : w.records)
        table.u32(r.id);
    for (std::uint32_t off : offsets)
        table.u32(off);
    table.raw(records.bytes());

    out.length(w.records.size());
    out.countedBlock(table.bytes());
}

} // namespace

std::optional<Bytes> buildTemplateStore(const TemplateStore& store, std::string* error)
{
    try {
        ByteSink out;
        const bool useSlots = store.mapSlots.size() == store.windows.size();
        out.length(store.windows.size() * 8);
        for (const auto& w : store.windows)
            out.u32(w.windowId);
        for (std::size_t i = 0; i < store.windows.size(); ++i)
            out.u32(useSlots ? store.mapSlots[i] : 0);
        for (const auto& w : store.windows)
            writeWindow(w, out);
        return std::move(out.bytes());
    } catch (const std::exception& e) {
        if (error)
            *error = e.what();
        return std::nullopt;
    }
}

} // namespace qr::forms
