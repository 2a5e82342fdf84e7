// The fixed choices of the student forms' combo boxes, and how a stored text and a
// combo selection map onto each other.
//
// Texts outside a combo's fixed list (an empty relation aside, which has its own
// empty item) are never replaced by the first item: the form shows such a text
// as an extra item of the combo, selected, and a save writes it back unchanged
// unless the teacher picked another item.
#pragma once

#include "runtime/value.h"

#include <array>
#include <cstdint>
#include <span>
#include <string_view>

namespace qr::app {

enum class ComboChoices { Sex, Boarding, Relation };

// The stored texts of the fixed items, by selection index.
std::span<const std::string_view> fixedTexts(ComboChoices choices);

// The index that shows `stored` among the fixed items (an empty relation: the
// empty twelfth item, 11), or -1 when the text needs an extra item.
int fixedIndexOf(ComboChoices choices, std::string_view stored);

// Selects the item showing `stored` in a combo of a loaded window, appending it as
// an extra item when it is not one of the fixed texts.
void selectStoredText(std::uint32_t windowId, std::uint32_t comboId, ComboChoices choices, std::string_view stored);

// The text a save stores for the combo's current selection: the fixed text of a
// fixed item, the item text itself for an extra item, empty for none.
runtime::Text storedTextOfSelection(std::uint32_t windowId, std::uint32_t comboId, ComboChoices choices);

} // namespace qr::app
