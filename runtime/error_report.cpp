#include "runtime/error_report.h"

#include "runtime/gbk.h"

#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <string>

namespace qr::runtime {
namespace {

RuntimeErrorHooks& hooks()
{
    static RuntimeErrorHooks installed;
    return installed;
}

std::atomic<bool> reporting{false};

std::string decimal(std::uint32_t id) { return std::to_string(static_cast<std::int32_t>(id)); }

bool isWindowId(std::uint32_t id) { return ((id >> 24) & 0xF) == 2; }

[[noreturn]] void endProcess()
{
    std::fflush(nullptr);
    std::_Exit(255);
}

} // namespace

void setRuntimeErrorHooks(RuntimeErrorHooks newHooks) { hooks() = std::move(newHooks); }

bool runtimeErrorReportActive() { return reporting.load(); }

Text composeRuntimeErrorContext(std::uint32_t windowId, std::uint32_t componentId, const RuntimeErrorTagLookup& tags)
{
    Text context = "\r\n" + decimal(windowId) + ", " + decimal(componentId);
    if (isWindowId(windowId)) {
        const std::optional<Text> windowTag = tags.windowTag ? tags.windowTag(windowId) : std::nullopt;
        if (windowTag) {
            context += "\r\n\"" + *windowTag + "\"";
            const std::optional<Text> componentTag =
                tags.componentTag ? tags.componentTag(windowId, componentId) : std::nullopt;
            if (componentTag)
                context += "\r\n\"" + *componentTag + "\"";
            else
                context += "\r\n未找到所指定的窗口组件";
        } else {
            context += "\r\n未找到所指定的窗口";
        }
    }
    context += "\r\n";
    return context;
}

Text composeRuntimeErrorText(std::string_view messageGbk, std::int32_t errorCode, std::string_view context)
{
    Text text = "运行时出错!\r\n";
    if (errorCode != 0)
        text += "\r\n错误代码：" + std::to_string(errorCode) + "\r\n";
    if (!messageGbk.empty())
        text += "\r\n错误信息：" + Text(messageGbk) + "\r\n";
    text += context;
    return text;
}

[[noreturn]] void reportRuntimeError(std::string_view messageGbk, std::int32_t errorCode, std::uint32_t windowId,
                                     std::uint32_t componentId)
{
    // A fault inside the report (a hook that fails in turn) must not recurse.
    if (reporting.exchange(true))
        endProcess();
    const RuntimeErrorHooks& installed = hooks();
    const Text text = composeRuntimeErrorText(messageGbk, errorCode,
                                              composeRuntimeErrorContext(windowId, componentId, installed.tags));
    if (installed.showBox) {
        installed.showBox(text);
    } else {
        const std::string shown = gbkToUtf8(text);
        std::fwrite(shown.data(), 1, shown.size(), stderr);
    }
    endProcess();
}

} // namespace qr::runtime
