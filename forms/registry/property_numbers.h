// The property numbers every component shares, and how a kind's own properties are
// numbered: a kind's operations receive index = property number - 8, and each kind
// exports its indexes in <kind>_properties.h (forms/kinds) for the programs that
// read and write them. Qt-free.
#pragma once

namespace qr::forms {

// Properties 0 .. 7 of every component (menu items: 0 caption, 1 check mark,
// 2 disabled, 3 visible).
namespace common_property {
enum Number : int { kLeft, kTop, kWidth, kHeight, kTag, kVisible, kDisabled, kMousePointer };
} // namespace common_property

inline constexpr int kFirstKindProperty = 8;

// The property number of a kind's property index.
constexpr int kindPropertyNumber(int index) { return kFirstKindProperty + index; }

} // namespace qr::forms
