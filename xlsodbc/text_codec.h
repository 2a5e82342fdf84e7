// GBK <-> UTF-16 for the driver: the ODBC interface is ANSI in GBK, workbook strings
// are UTF-16. Conversion runs through iconv (GB18030, a superset of GBK) with the
// descriptors opened once per thread: a workbook holds tens of thousands of strings,
// and opening a descriptor per string would dominate an import.
#pragma once

#include <string>
#include <string_view>

namespace qr::xls {

std::u16string gbkToUtf16(std::string_view gbk);
std::string utf16ToGbk(std::u16string_view utf16);
// Appends to `out` instead of returning a new string.
void appendUtf16AsGbk(std::u16string_view utf16, std::string& out);

// ASCII-only letter case folding, stepping over GBK double-byte characters whole
// (a trail byte may look like an ASCII letter).
bool equalsIgnoringCase(std::string_view a, std::string_view b);

// Length in bytes of the GBK character that starts at `s[i]` (1 or 2).
inline std::size_t gbkCharLength(std::string_view s, std::size_t i)
{
    const unsigned char c = static_cast<unsigned char>(s[i]);
    return (c >= 0x81 && c <= 0xFE && i + 1 < s.size()) ? 2 : 1;
}

} // namespace qr::xls
