// The one place where GBK texts meet UTF-8 and UTF-16. GB18030 is used on the
// boundary: it is a superset of GBK, so no character is lost either way.
#pragma once

#include <string>
#include <string_view>

namespace qr::runtime {

std::string gbkToUtf8(std::string_view gbk);
std::string utf8ToGbk(std::string_view utf8);
std::u16string gbkToUtf16(std::string_view gbk);
std::string utf16ToGbk(std::u16string_view utf16);

} // namespace qr::runtime
