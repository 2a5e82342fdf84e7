#include "app/combo_choices.h"

#include "app/component_ids.h"
#include "forms/registry/window_registry.h"

namespace qr::app {

namespace {

constexpr std::array<std::string_view, 2> kSexTexts = {"男", "女"};
constexpr std::array<std::string_view, 2> kBoardingTexts = {"是", "否"};
constexpr std::array<std::string_view, 11> kRelationTexts = {"父亲", "母亲", "祖父", "祖母", "外公", "外婆",
                                                             "叔父", "姑母", "舅父", "姨母", "其他"};
// The relation combos end with an empty item after the eleven relations.
constexpr int kEmptyRelationItem = 11;

// Items a template gives the combo before any extra item.
int templateItemCount(ComboChoices choices)
{
    return choices == ComboChoices::Relation ? kEmptyRelationItem + 1 : 2;
}

std::uint32_t readU32(const runtime::ByteSet& b, std::size_t at)
{
    return std::uint32_t(b[at]) | (std::uint32_t(b[at + 1]) << 8) | (std::uint32_t(b[at + 2]) << 16) |
           (std::uint32_t(b[at + 3]) << 24);
}

void putU32(runtime::ByteSet& out, std::uint32_t v)
{
    for (int i = 0; i < 4; ++i)
        out.push_back(std::uint8_t(v >> (8 * i)));
}

} // namespace

std::span<const std::string_view> fixedTexts(ComboChoices choices)
{
    switch (choices) {
    case ComboChoices::Sex: return kSexTexts;
    case ComboChoices::Boarding: return kBoardingTexts;
    case ComboChoices::Relation: return kRelationTexts;
    }
    return {};
}

int fixedIndexOf(ComboChoices choices, std::string_view stored)
{
    const auto texts = fixedTexts(choices);
    for (std::size_t i = 0; i < texts.size(); ++i) {
        if (texts[i] == stored)
            return int(i);
    }
    if (choices == ComboChoices::Relation && stored.empty())
        return kEmptyRelationItem;
    return -1;
}

void selectStoredText(std::uint32_t windowId, std::uint32_t comboId, ComboChoices choices, std::string_view stored)
{
    int index = fixedIndexOf(choices, stored);
    if (index < 0) {
        std::vector<runtime::Text> items =
            decodeItemList(forms::readProperty(windowId, comboId, property::kComboItemList).asByteSet());
        index = int(items.size());
        items.emplace_back(stored);
        forms::writeProperty(windowId, comboId, property::kComboItemList, runtime::Value::byteSet(encodeItemList(items)));
    }
    forms::writeProperty(windowId, comboId, property::kComboCurrentItem, runtime::Value::integer(index));
}

runtime::Text storedTextOfSelection(std::uint32_t windowId, std::uint32_t comboId, ComboChoices choices)
{
    const int index = forms::readProperty(windowId, comboId, property::kComboCurrentItem).asInteger();
    const auto texts = fixedTexts(choices);
    if (index >= 0 && index < int(texts.size()))
        return runtime::Text(texts[std::size_t(index)]);
    if (index >= templateItemCount(choices))
        return forms::readProperty(windowId, comboId, property::kComboContent).asText();
    return {};
}

runtime::ByteSet encodeItemList(const std::vector<runtime::Text>& items)
{
    runtime::ByteSet out;
    const auto put16 = [&](std::uint16_t v) {
        out.push_back(std::uint8_t(v));
        out.push_back(std::uint8_t(v >> 8));
    };
    if (items.size() < 0xFFFF) {
        put16(std::uint16_t(items.size()));
    } else {
        put16(0xFFFF);
        putU32(out, std::uint32_t(items.size()));
    }
    for (const runtime::Text& item : items) {
        putU32(out, std::uint32_t(item.size()));
        out.insert(out.end(), item.begin(), item.end());
    }
    return out;
}

std::vector<runtime::Text> decodeItemList(const runtime::ByteSet& bytes)
{
    std::vector<runtime::Text> items;
    if (bytes.size() < 2)
        return items;
    std::size_t pos = 2;
    std::size_t count = std::size_t(bytes[0]) | (std::size_t(bytes[1]) << 8);
    if (count == 0xFFFF) {
        if (bytes.size() < 6)
            return items;
        count = readU32(bytes, 2);
        pos = 6;
    }
    for (std::size_t i = 0; i < count && bytes.size() - pos >= 4; ++i) {
        const std::size_t length = readU32(bytes, pos);
        pos += 4;
        if (length > bytes.size() - pos)
            break;
        items.emplace_back(reinterpret_cast<const char*>(bytes.data() + pos), length);
        pos += length;
    }
    return items;
}

} // namespace qr::app
