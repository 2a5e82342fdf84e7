// The fatal runtime error report: the one way a misuse of the program ends it.
#pragma once

#include <cstdint>
#include <string_view>

namespace qr::runtime {

// Composes the report from the message (GBK), the error code and the window and
// component concerned, shows it once and ends the process with exit status 255.
[[noreturn]] void reportRuntimeError(std::string_view messageGbk, std::int32_t errorCode = 0,
                                     std::uint32_t windowId = 0, std::uint32_t componentId = 0);

} // namespace qr::runtime
