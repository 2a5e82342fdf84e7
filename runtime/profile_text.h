// The private-profile (INI) text of a configuration file, read and edited as
// GBK bytes in memory. The file itself is handled by config_items.
//
// What counts as what, line by line (a line ends at LF; a CR before the LF
// belongs to the line ending):
//   - "[name]": a section header; the name is what lies between "[" and the
//     first "]", without surrounding blanks. A "[" line without "]" is no header.
//   - ";..." (after leading blanks): a comment.
//   - "key=value": a key line; key and value lose surrounding blanks, and the
//     value loses one pair of matching surrounding quotes (" or ').
//   - anything else (blank lines, lines without "=") is kept but means nothing.
// Section and key names match without regard to ASCII case; the two bytes of a
// double-byte character match exactly. Lines before the first header belong to
// no section.
//
// Duplicates: only the first occurrence of a section is read and edited, and in
// it the first line of a key wins. Deleting a key removes every line of it in
// that section; deleting a section removes every occurrence, so that no older
// copy resurfaces afterwards.
#pragma once

#include "runtime/value.h"

#include <optional>
#include <string_view>

namespace qr::runtime::profile {

// Names compare after their surrounding blanks (space, tab) are dropped.
bool sameName(std::string_view a, std::string_view b);

// The value of key in section, or nullopt when the section or key is missing.
std::optional<Text> lookup(std::string_view content, std::string_view section, std::string_view key);

// The content after one write: with key and value, the key is replaced in place
// (or appended at the end of its section, or a new section at the end of the
// file); with the value omitted the key is deleted; with the key omitted the
// whole section is deleted. Every other line keeps its bytes and line ending;
// new lines use the file's line ending (CRLF for a new file), and a file that
// had no final line break still has none.
// nullopt when the write cannot be expressed in the file: an empty section or
// key, a line break in any text, "]" in the section or "=" in the key, or a key
// that would read as a header or comment.
std::optional<Text> edit(std::string_view content, std::string_view section, std::optional<std::string_view> key,
                         std::optional<std::string_view> value);

} // namespace qr::runtime::profile
