// The common dialog's own properties (numbers 8 .. 29).
// As kind indexes: the property number is forms::kindPropertyNumber(index). Qt-free.
#pragma once

#include "forms/registry/property_numbers.h"

namespace qr::forms::common_dialog_property {

enum Index : int {
    kType,
    kTitle,
    kFileName,
    kFilter,
    kInitialFilter,
    kInitialFolder,
    kDefaultExtension,
    kFirstOption, // properties 15 .. 27: the 13 option settings
    kLastOption = kFirstOption + 12,
    kExtraText1,
    kExtraText2,
};

} // namespace qr::forms::common_dialog_property
