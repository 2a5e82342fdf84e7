// The combo box's own properties (numbers 8 .. 24).
// As kind indexes: the property number is forms::kindPropertyNumber(index). Qt-free.
#pragma once

#include "forms/registry/property_numbers.h"

namespace qr::forms::combo_box_property {

enum Index : int {
    kStyle,
    kContent,
    kMaxLength,
    kSelectionStart,
    kSelectionLength,
    kSelectedText,
    kSorted,
    kExtraItemHeight,
    kTextColour,
    kBackgroundColour,
    kFont,
    kCurrentItem,
    kItemList,
    kItemValues,
    kReserved1,
    kReserved2,
    kReserved3,
};

} // namespace qr::forms::combo_box_property
