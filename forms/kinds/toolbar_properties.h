// The toolbar's own properties: the background colour, six stored settings, then the
// blocks.
// As kind indexes: the property number is forms::kindPropertyNumber(index). Qt-free.
#pragma once

#include "forms/registry/property_numbers.h"

namespace qr::forms::toolbar_property {

enum Index : int {
    kBackgroundColour,
    kFirstSetting,
    kLastSetting = kFirstSetting + 5,
    kFont,
    kNormalImages,
    kHotImages,
    kButtons,
    kFifthBlock
};

} // namespace qr::forms::toolbar_property
