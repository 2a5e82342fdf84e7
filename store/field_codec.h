// Values in and out of a record's bytes: the value kind of each field type, the
// numeric conversions into a field's type, and the decoding of stored bytes.
#pragma once

#include "store/commands.h"

#include <cstdint>

namespace qr::store {

runtime::Kind valueKindOf(FieldType type);
// Whether a given value may be written to a field of this type: the same kind, or
// both numeric.
bool valueFitsField(FieldType type, const Value& value);
// The empty value of a field type: 0, false, empty text or byte set.
Value emptyValueOf(FieldType type);

// Writes a value that fits into a non-chain field of the given width.
void encodeField(FieldType type, std::int32_t width, const Value& value, std::uint8_t* at);
// Reads a non-chain field; date-times are clamped to the years 100 to 9999.
Value decodeField(FieldType type, std::int32_t width, const std::uint8_t* at);

// A float's value as a double with six significant decimal digits, halves rounded
// away from zero, so that 165.5f and 0.1f become 165.5 and 0.1.
double floatToDoubleSixDigits(float value);

} // namespace qr::store
