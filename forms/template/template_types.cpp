#include "forms/template/template_types.h"

#include "runtime/coding.h"

#include <algorithm>
#include <cstring>

namespace qr::forms {
namespace {

constexpr std::size_t kFaceNameSize = 32;

} // namespace

Bytes encodeLogFont(const LogFont& font)
{
    Bytes out;
    out.reserve(LogFont::kStoredSize);
    for (std::int32_t v : {font.height, font.width, font.escapement, font.orientation, font.weight})
        runtime::appendI32(out, v);
    for (std::uint8_t v : {font.italic, font.underline, font.strikeOut, font.charSet, font.outPrecision,
                           font.clipPrecision, font.quality, font.pitchAndFamily})
        out.push_back(v);
    // The face name keeps its terminator inside its 32 bytes; a name that cannot is
    // not cut into some other face's name but replaced by the standard face.
    const std::string face = font.faceName.size() < kFaceNameSize ? font.faceName : std::string("宋体");
    out.insert(out.end(), face.begin(), face.end());
    out.resize(LogFont::kStoredSize, 0);
    return out;
}

std::optional<LogFont> decodeLogFont(const std::uint8_t* data, std::size_t size)
{
    if (data == nullptr || size != LogFont::kStoredSize)
        return std::nullopt;
    LogFont f;
    f.height = runtime::getI32(data);
    f.width = runtime::getI32(data + 4);
    f.escapement = runtime::getI32(data + 8);
    f.orientation = runtime::getI32(data + 12);
    f.weight = runtime::getI32(data + 16);
    const std::uint8_t* b = data + 20;
    f.italic = b[0];
    f.underline = b[1];
    f.strikeOut = b[2];
    f.charSet = b[3];
    f.outPrecision = b[4];
    f.clipPrecision = b[5];
    f.quality = b[6];
    f.pitchAndFamily = b[7];
    const char* face = reinterpret_cast<const char*>(data + 28);
    // Bytes after the terminator are ignored; a name filling all 32 bytes has none.
    f.faceName.assign(face, strnlen(face, kFaceNameSize));
    return f;
}

std::optional<std::int32_t> LabelSettings::settingForProperty(int property) const
{
    for (std::size_t i = 0; i < kSettingProperty.size(); ++i)
        if (kSettingProperty[i] == property)
            return settings[i];
    return std::nullopt;
}

std::int32_t ComboBoxSettings::currentItemAtCreation() const
{
    const auto last = std::int32_t(std::min<std::size_t>(items.size(), 0x7FFFFFFF)) - 1;
    return std::clamp(initialItem, std::int32_t(-1), std::max(last, std::int32_t(-1)));
}

std::int32_t ComponentRecord::handlerFor(std::int32_t event) const
{
    if (const auto* menu = as<MenuItem>())
        return menu->clickHandler;
    for (const auto& b : events)
        if (b.event == event)
            return b.handler;
    return -1;
}

const ComponentRecord* WindowTemplate::find(std::uint32_t componentId) const
{
    for (const auto& r : records)
        if (r.id == componentId)
            return &r;
    return nullptr;
}

ComponentRecord* WindowTemplate::find(std::uint32_t componentId)
{
    for (auto& r : records)
        if (r.id == componentId)
            return &r;
    return nullptr;
}

std::vector<const ComponentRecord*> WindowTemplate::menuRun() const
{
    std::vector<const ComponentRecord*> run;
    for (const auto& r : records) {
        if (r.isMenuItem() && r.as<MenuItem>())
            run.push_back(&r);
        else if (!run.empty())
            break;
    }
    return run;
}

std::vector<const ComponentRecord*> WindowTemplate::popupItems(std::uint32_t itemId) const
{
    const auto run = menuRun();
    std::vector<const ComponentRecord*> items;
    for (std::size_t i = 0; i < run.size(); ++i) {
        if (run[i]->id != itemId || run[i]->as<MenuItem>()->level != 0)
            continue;
        for (std::size_t k = i + 1; k < run.size() && run[k]->as<MenuItem>()->level > 0; ++k)
            items.push_back(run[k]);
        break;
    }
    return items;
}

const ComponentRecord* WindowTemplate::findByName(std::string_view nameGbk) const
{
    if (nameGbk.empty())
        return nullptr;
    for (const auto& r : records)
        if (r.name == nameGbk)
            return &r;
    return nullptr;
}

const WindowTemplate* TemplateStore::find(std::uint32_t windowId) const
{
    for (const auto& w : windows)
        if (w.windowId == windowId)
            return &w;
    return nullptr;
}

} // namespace qr::forms
