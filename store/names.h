// Field names and store aliases: the GBK character rule, and comparison the way
// names are matched (half-width letters without case, two-byte characters exactly).
#pragma once

#include <string_view>

namespace qr::store {

// The character rule of names: letters, digits, '_', full-width letters and digits,
// Chinese characters, kana and A960; not starting with a digit; never '.'.
bool followsNameCharacterRule(std::string_view nameGbk);
// A field name: the character rule, fewer than 16 characters, and short enough for
// the 16 bytes a field definition holds.
bool isValidFieldName(std::string_view nameGbk);
// Compares GBK texts character by character, folding only half-width letters.
bool namesEqual(std::string_view a, std::string_view b);

} // namespace qr::store
