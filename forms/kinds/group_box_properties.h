// The group box's own properties (numbers 8 .. 12).
// As kind indexes: the property number is forms::kindPropertyNumber(index). Qt-free.
#pragma once

#include "forms/registry/property_numbers.h"

namespace qr::forms::group_box_property {

enum Index : int { kCaption, kAlignment, kTextColour, kBackgroundColour, kFont };

} // namespace qr::forms::group_box_property
