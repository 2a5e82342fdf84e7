// The label's own properties that are no stored setting; the others serve the stored
// settings by number.
// As kind indexes: the property number is forms::kindPropertyNumber(index). Qt-free.
#pragma once

#include "forms/registry/property_numbers.h"

namespace qr::forms::label_property {

enum Index : int { kCaption = 0, kFont = 7, kBackgroundPicture = 10, kReserved1 = 19, kReserved2 = 20 };

} // namespace qr::forms::label_property
