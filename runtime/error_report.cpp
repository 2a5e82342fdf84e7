#include "runtime/error_report.h"

#include "runtime/gbk.h"

#include <cstdio>
#include <cstdlib>
#include <string>

namespace qr::runtime {

[[noreturn]] void reportRuntimeError(std::string_view messageGbk, std::int32_t errorCode,
                                     std::uint32_t windowId, std::uint32_t componentId)
{
    // Literals are GBK (see the top-level CMakeLists.txt); the terminal wants UTF-8.
    std::string text = "运行时出错!\r\n";
    if (errorCode != 0)
        text += "\r\n错误代码：" + std::to_string(errorCode) + "\r\n";
    if (!messageGbk.empty())
        text += "\r\n错误信息：" + std::string(messageGbk) + "\r\n";
    text += "\r\n" + std::to_string(static_cast<std::int32_t>(windowId)) + ", " +
            std::to_string(static_cast<std::int32_t>(componentId)) + "\r\n";
    const std::string shown = gbkToUtf8(text);
    std::fputs(shown.c_str(), stderr);
    std::fflush(stderr);
    std::_Exit(255);
}

} // namespace qr::runtime
