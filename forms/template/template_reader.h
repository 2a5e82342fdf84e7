// Reads the template store: the window map followed by one window template per
// window id. Every count and length is checked against the data before use.
#pragma once

#include "forms/template/template_types.h"

#include <cstdint>
#include <span>
#include <string>

namespace qr::forms {

// The fatal report's text for a store that cannot be read to its end (GBK).
inline constexpr const char* kStoreReadError = "载入窗口模板数据段出错!";

struct StoreReadFailure {
    std::size_t offset = 0; // where the first bad length or value was met
    std::string what;       // short developer-facing description (ASCII)
};

// Parses the whole store. On success returns true and fills `out`; on a length running
// past the data (or another malformed structure) returns false, fills `failure` and
// leaves `out` unspecified. Never reads outside `bytes`.
bool parseTemplateStore(std::span<const std::uint8_t> bytes, TemplateStore& out, StoreReadFailure* failure = nullptr);

// Start-up's reading: parses the store or ends the program through the runtime error
// report with "载入窗口模板数据段出错!" (exit status 255).
TemplateStore loadTemplateStore(std::span<const std::uint8_t> bytes);

} // namespace qr::forms
