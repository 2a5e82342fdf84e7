// Configuration items: one value under a section and key of a private-profile
// (INI) file, as the start window keeps the class name. Texts are GBK, in the
// call and in the file. A relative file name is taken from the current
// directory, which is the run directory once the program has started; the
// program passes the run directory plus "/config.ini".
#pragma once

#include "runtime/value.h"

#include <cstddef>
#include <optional>
#include <string_view>

namespace qr::runtime {

// The longest value handed back; longer values are cut to this many bytes.
inline constexpr std::size_t kConfigValueLimit = 10239;

// Bytes up to 32 (blanks, control characters) are skipped at the front of file
// name, section and key; if any of them is then empty the file is not consulted
// and the result is the empty text. A missing or unreadable file, section or key
// gives defaultValue. Values lose surrounding blanks and one pair of quotes.
// The rules for sections, keys and duplicates are those of profile_text.h.
Text readConfigItem(std::string_view fileName, std::string_view section, std::string_view key,
                    std::string_view defaultValue = {});

// Sets key in section to value, creating the file and the section as needed;
// an omitted value deletes the key, an omitted key the whole section. Every
// other line of the file is kept byte for byte. The file is replaced atomically.
// false when the file cannot be read or written, or the texts cannot be stored
// (see profile::edit); the file is then unchanged. Deleting from a missing file
// succeeds without creating it.
bool writeConfigItem(std::string_view fileName, std::string_view section, std::optional<std::string_view> key,
                     std::optional<std::string_view> value);

} // namespace qr::runtime
