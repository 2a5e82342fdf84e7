// The values of the property table's types: what a written value becomes before
// a kind sees it, and what a kind's raw answer becomes before a handler sees it.
#pragma once

#include "runtime/value.h"

#include <cstdint>

namespace qr::forms {

// The canonical value of `type` (see property_type in component_kind.h) for any value.
runtime::Value toPropertyValue(std::int16_t type, const runtime::Value& value);

// The clamps of the position and size properties 0-3: at most 32627; left and
// top at least -32627, width and height at least 0.
std::int32_t clampGeometry(int property, const runtime::Value& value);

} // namespace qr::forms
