// The one place where GBK texts meet UTF-8 and UTF-16. GB18030 is used on the
// boundary: it is a superset of GBK, so no character is lost either way.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace qr::runtime {

std::string gbkToUtf8(std::string_view gbk);
std::string utf8ToGbk(std::string_view utf8);
std::u16string gbkToUtf16(std::string_view gbk);
std::string utf16ToGbk(std::u16string_view utf16);

// A byte that opens a double-byte character when another byte follows it.
// Walking a text pair by pair from its start keeps GB18030 four-byte sequences
// aligned too, as each of their halves opens with such a byte.
constexpr bool isGbkLeadByte(std::uint8_t b) { return b >= 0x81 && b <= 0xFE; }

} // namespace qr::runtime
