// The one place where GBK texts meet UTF-8 and UTF-16. GB18030 is used on the
// boundary: it is a superset of GBK, so no character is lost either way.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace qr::runtime {

// What cannot be converted becomes U+FFFD, or '?' towards GBK, one for each byte
// (each UTF-16 unit, such as a lone surrogate), and the conversion goes on: no input
// is dropped silently.
std::string gbkToUtf8(std::string_view gbk);
std::string utf8ToGbk(std::string_view utf8);
std::u16string gbkToUtf16(std::string_view gbk);
std::string utf16ToGbk(std::u16string_view utf16);
// utf16ToGbk appended to `out`, without a string of its own.
void appendUtf16AsGbk(std::u16string_view utf16, std::string& out);

// A byte that opens a double-byte character when another byte follows it.
// Walking a text pair by pair from its start keeps GB18030 four-byte sequences
// aligned too, as each of their halves opens with such a byte.
constexpr bool isGbkLeadByte(std::uint8_t b) { return b >= 0x81 && b <= 0xFE; }

// Length in bytes of the character that starts at text[i]: 2 for a lead byte with
// a byte after it, else 1.
constexpr std::size_t gbkCharLength(std::string_view text, std::size_t i)
{
    return isGbkLeadByte(static_cast<std::uint8_t>(text[i])) && i + 1 < text.size() ? 2 : 1;
}

// Equal texts but for the case of half-width letters. Walked character by character
// along `a`: a double-byte character must match both bytes exactly, as its trail
// byte may look like an ASCII letter.
bool equalsIgnoringCase(std::string_view a, std::string_view b);

} // namespace qr::runtime
