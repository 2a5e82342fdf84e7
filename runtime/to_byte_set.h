// Turning any value into a byte set, as a handler does before writing a file.
#pragma once

#include "runtime/value.h"

namespace qr::runtime {

// A text: its bytes without a terminator. A numeric value: its raw little-endian
// bytes in its own width (byte 1, short 2, integer 4, long 8, float 4, double 8).
// A date-time: its 8-byte double; a logical: a 4-byte integer 0 or 1; a
// subprogram pointer: its 4 bytes; a byte set: a copy; none: the empty byte set.
ByteSet toByteSet(const Value& value);

} // namespace qr::runtime
