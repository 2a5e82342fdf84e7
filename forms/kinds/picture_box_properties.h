// The picture box's own properties (numbers 8 .. 14).
// As kind indexes: the property number is forms::kindPropertyNumber(index). Qt-free.
#pragma once

#include "forms/registry/property_numbers.h"

namespace qr::forms::picture_box_property {

enum Index : int { kBorder, kBackgroundColour, kPicture, kDisplayMode, kAnimate, kReserved1, kReserved2 };

} // namespace qr::forms::picture_box_property
