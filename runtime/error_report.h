// The fatal runtime error report: the one way a misuse of the program ends it.
//
// The report is composed from the message, the error code and the window and
// component concerned, shown once, and then the process ends with exit status
// 255. The forms layer installs hooks that name the window and component by
// their tag texts and show the text in a box; until it does, the text goes to
// standard error as UTF-8. A report raised while one is being shown (from a
// hook, say) ends the process at once.
#pragma once

#include "runtime/value.h"

#include <cstdint>
#include <functional>
#include <optional>
#include <string_view>

namespace qr::runtime {

// The box's title and flags: the error icon with an OK button, no owner window.
inline constexpr char kRuntimeErrorTitle[] = "错误";
inline constexpr std::uint32_t kRuntimeErrorBoxFlags = 0x10;

struct RuntimeErrorTagLookup {
    // The tag text of a window of the registry; nullopt when there is no such window.
    std::function<std::optional<Text>(std::uint32_t windowId)> windowTag;
    // The tag text of a component of that window; nullopt when it holds no such component.
    std::function<std::optional<Text>(std::uint32_t windowId, std::uint32_t componentId)> componentTag;
};

struct RuntimeErrorHooks {
    RuntimeErrorTagLookup tags;
    // Shows the composed text (GBK) and returns when the box is closed.
    std::function<void(const Text& text)> showBox;
};

// Replaces the hooks; empty functions mean "not installed".
void setRuntimeErrorHooks(RuntimeErrorHooks hooks);

// True while a report is being composed or shown; no events are delivered then.
bool runtimeErrorReportActive();

// "\r\n<window id>, <component id>" in decimal. For an id that is a window id
// (bits 24-27 equal to 2): when the window is known, a line with its tag text in
// double quotes and a line with the component's tag text in double quotes, or
// "\r\n未找到所指定的窗口组件"; when it is not, "\r\n未找到所指定的窗口". Other ids
// (0 for faults outside any window) add nothing. Always ends with "\r\n".
Text composeRuntimeErrorContext(std::uint32_t windowId, std::uint32_t componentId, const RuntimeErrorTagLookup& tags);

// "运行时出错!\r\n", then "\r\n错误代码：<code>\r\n" for a non-zero code, then
// "\r\n错误信息：<message>\r\n" for a non-empty message, then the context.
Text composeRuntimeErrorText(std::string_view messageGbk, std::int32_t errorCode, std::string_view context);

// Composes the report from the message (GBK), the error code and the window and
// component concerned, shows it once and ends the process with exit status 255.
[[noreturn]] void reportRuntimeError(std::string_view messageGbk, std::int32_t errorCode = 0,
                                     std::uint32_t windowId = 0, std::uint32_t componentId = 0);

} // namespace qr::runtime
