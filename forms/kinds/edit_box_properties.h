// The edit box's own properties (numbers 8 .. 28).
// As kind indexes: the property number is forms::kindPropertyNumber(index). Qt-free.
#pragma once

#include "forms/registry/property_numbers.h"

namespace qr::forms::edit_box_property {

enum Index : int {
    kContent,
    kBorder,
    kTextColour,
    kBackgroundColour,
    kFont,
    kHideSelection,
    kMaxLength,
    kMultiLine,
    kScrollBars,
    kAlignment,
    kInputMode,
    kPasswordChar,
    kCase,
    kSpinMode,
    kSpinMinimum,
    kSpinMaximum,
    kSelectionStart,
    kSelectionLength,
    kSelectedText,
    kReserved1,
    kReserved2,
};

} // namespace qr::forms::edit_box_property
