// The button's own properties (numbers 8 .. 13).
// As kind indexes: the property number is forms::kindPropertyNumber(index). Qt-free.
#pragma once

#include "forms/registry/property_numbers.h"

namespace qr::forms::button_property {

enum Index : int { kPicture, kType, kCaption, kHorizontal, kVertical, kFont };

} // namespace qr::forms::button_property
