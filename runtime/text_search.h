// Cutting and searching texts. Positions are 1-based byte positions; a
// double-byte GBK character is never entered from its trailing byte.
#pragma once

#include "runtime/value.h"

#include <cstdint>
#include <optional>
#include <string_view>

namespace qr::runtime {

// The first min(count, length) bytes; empty for a count of 0 or less. A
// double-byte character may be split: the caller asked for bytes.
Text leftText(std::string_view text, std::int64_t count);

// The position of the first match that starts at or after start (omitted: 1,
// below 1: 1), or -1. With ignoreCase, ASCII letters match either case; the
// bytes of double-byte characters always match exactly. An empty sought text
// gives 1 when the searched range is not empty, else -1.
std::int32_t findText(std::string_view text, std::string_view sought, std::optional<std::int64_t> start = std::nullopt,
                      bool ignoreCase = false);

// The position of the last match that starts at or before start (omitted or
// beyond the end: the end of the text; below 1: nothing is searched), or -1.
// Same matching and empty-text rule as findText.
std::int32_t findTextBackwards(std::string_view text, std::string_view sought,
                               std::optional<std::int64_t> start = std::nullopt, bool ignoreCase = false);

} // namespace qr::runtime
