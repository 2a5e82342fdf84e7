#include "app/combo_choices.h"

#include "app/component_ids.h"
#include "forms/kinds/combo_item_list.h"
#include "forms/registry/window_registry.h"
#include "roster/student_choices.h"

namespace qr::app {

namespace {

using roster::kBoardingTexts;
using roster::kRelationTexts;
using roster::kSexTexts;
// The relation combos end with an empty item after the eleven relations.
constexpr int kEmptyRelationItem = 11;

// Items a template gives the combo before any extra item.
int templateItemCount(ComboChoices choices) { return choices == ComboChoices::Relation ? kEmptyRelationItem + 1 : 2; }

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
            forms::kinds::decodeItemList(forms::readProperty(windowId, comboId, property::kComboItemList).asByteSet());
        index = int(items.size());
        items.emplace_back(stored);
        forms::writeProperty(windowId, comboId, property::kComboItemList,
                             runtime::Value::byteSet(forms::kinds::encodeItemList(items)));
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

} // namespace qr::app
