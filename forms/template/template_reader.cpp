#include "forms/template/template_reader.h"

#include "forms/template/unit_data_codec.h"
#include "runtime/error_report.h"

namespace qr::forms {
namespace {

using detail::ByteCursor;
using detail::StoreFormatError;

constexpr std::size_t kReservedHeader = 20;
constexpr std::size_t kReservedTrailer = 20;
constexpr std::size_t kMenuReservedTrailer = 16;

MenuItem readMenuItem(ByteCursor& in)
{
    MenuItem m;
    in.zeroText(); // two empty texts (name and remark of ordinary records)
    in.zeroText();
    in.i32(); // reserved
    m.level = in.i32();
    m.flags = in.i32();
    m.caption = in.zeroText();
    m.clickHandler = in.i32();
    in.skip(kMenuReservedTrailer);
    return m;
}

void readOrdinaryBody(ComponentRecord& r, ByteCursor& in)
{
    r.name = in.zeroText();
    r.remark = in.zeroText();
    in.u32(); // live object slot: meaningful only at run time
    r.rect.left = in.i32();
    r.rect.top = in.i32();
    r.rect.width = in.i32();
    r.rect.height = in.i32();
    in.u32(); // cursor handle slot
    r.containerId = in.u32();
    const std::size_t children = in.count(4, "child count");
    r.childIds.reserve(children);
    for (std::size_t i = 0; i < children; ++i)
        r.childIds.push_back(in.u32());
    r.mousePointer = in.countedBlock();
    r.tag = in.zeroText();
    in.i32(); // reserved
    r.flags = in.i32();
    r.focusOrder = in.i32();
    const std::size_t bindings = in.count(8, "event binding count");
    r.events.reserve(bindings);
    for (std::size_t i = 0; i < bindings; ++i) {
        EventBinding b;
        b.event = in.i32();
        b.handler = in.i32();
        r.events.push_back(b);
    }
    in.skip(kReservedTrailer);
    detail::decodeUnitData(r, ByteCursor(in.take(in.remaining()), in.offset()));
}

ComponentRecord readRecord(std::uint32_t id, ByteCursor body)
{
    ComponentRecord r;
    r.id = id;
    r.unitTypeCode = body.u32();
    body.skip(kReservedHeader);
    if (r.isMenuItem()) {
        r.flags = 0;
        r.unit = readMenuItem(body);
        r.unitDataStored = false;
    } else {
        readOrdinaryBody(r, body);
    }
    return r;
}

std::vector<ComponentRecord> readComponentTable(ByteCursor table, std::size_t count)
{
    const std::size_t tableStart = table.offset();
    const auto all = table.take(table.remaining());
    ByteCursor in(all, tableStart);
    if (count > in.remaining() / 8)
        in.fail("component count runs past the table");
    std::vector<std::uint32_t> ids(count);
    std::vector<std::uint32_t> offsets(count);
    for (auto& id : ids)
        id = in.u32();
    for (auto& off : offsets)
        off = in.u32();
    // Offsets count from the end of the offset list; records are found through them,
    // so their physical order does not matter.
    const auto records = all.subspan(8 * count);
    const std::size_t recordsStart = tableStart + 8 * count;
    std::vector<ComponentRecord> out;
    out.reserve(count);
    for (std::size_t k = 0; k < count; ++k) {
        if (offsets[k] > records.size())
            throw StoreFormatError(tableStart + 4 * (count + k), "record offset past the table");
        ByteCursor at(records.subspan(offsets[k]), recordsStart + offsets[k]);
        const std::size_t length = at.count(1, "record length");
        const std::size_t bodyStart = at.offset();
        out.push_back(readRecord(ids[k], ByteCursor(at.take(length), bodyStart)));
    }
    return out;
}

WindowTemplate readWindowTemplate(ByteCursor& in, std::uint32_t windowId)
{
    WindowTemplate w;
    w.windowId = windowId;
    w.buildTagA = in.u32();
    w.buildTagB = in.u32();
    w.reservedText1 = in.countedText();
    w.reservedText2 = in.countedText();
    const std::size_t at = in.offset();
    const std::int32_t count = in.i32();
    if (count < 0)
        throw StoreFormatError(at, "negative component count");
    ByteCursor table = in.countedCursor();
    w.records = readComponentTable(table, std::size_t(count));
    if (w.records.empty())
        throw StoreFormatError(at, "window template without its own record");
    return w;
}

void readStore(std::span<const std::uint8_t> bytes, TemplateStore& out)
{
    ByteCursor in(bytes);
    const std::size_t mapAt = in.offset();
    ByteCursor map = in.countedCursor();
    if (map.remaining() % 8 != 0)
        throw StoreFormatError(mapAt, "window map length is not a multiple of 8");
    const std::size_t windows = map.remaining() / 8;
    std::vector<std::uint32_t> ids(windows);
    for (auto& id : ids)
        id = map.u32();
    out.mapSlots.assign(windows, 0);
    for (auto& slot : out.mapSlots)
        slot = map.u32();
    out.windows.clear();
    out.windows.reserve(windows);
    for (std::uint32_t id : ids)
        out.windows.push_back(readWindowTemplate(in, id));
    // Anything after the last template is not part of the store and is ignored.
}

} // namespace

bool parseTemplateStore(std::span<const std::uint8_t> bytes, TemplateStore& out, StoreReadFailure* failure)
{
    try {
        readStore(bytes, out);
        return true;
    } catch (const StoreFormatError& e) {
        if (failure) {
            failure->offset = e.offset;
            failure->what = e.what();
        }
    } catch (const std::bad_alloc&) {
        if (failure) {
            failure->offset = 0;
            failure->what = "out of memory";
        }
    }
    return false;
}

TemplateStore loadTemplateStore(std::span<const std::uint8_t> bytes)
{
    TemplateStore store;
    if (!parseTemplateStore(bytes, store))
        runtime::reportRuntimeError(kStoreReadError);
    return store;
}

} // namespace qr::forms
