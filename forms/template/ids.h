// How windows, components and menu items are named by number. Handlers address
// everything through these ids; the window's own record is derived from its id.
#pragma once

#include <cstdint>

namespace qr::forms {

// Window ids have the form 0x52xxxxxx; 0x52010001 is the start window.
inline constexpr std::uint32_t kStartWindowId = 0x52010001;

// The offset between a window id and the component id of the window's own record
// (0x52010001 -> 0x06010000).
inline constexpr std::uint32_t kWindowRecordOffset = 0x4C000001;

constexpr std::uint32_t windowRecordId(std::uint32_t windowId) { return windowId - kWindowRecordOffset; }

constexpr bool isWindowId(std::uint32_t id) { return (id >> 24) == 0x52 && (id & 0x00FFFFFF) != 0; }

// An id is usable only when both its low 24 bits and bits 24-27 are non-zero.
constexpr bool isValidId(std::uint32_t id) { return (id & 0x00FFFFFF) != 0 && ((id >> 24) & 0x0F) != 0; }

// Menu items: bits 24-27 equal 6 and bits 28-31 equal 2 (0x26xxxxxx).
constexpr bool isMenuItemId(std::uint32_t id) { return ((id >> 24) & 0x0F) == 6 && (id >> 28) == 2; }

// Ordinary components: 0x16xxxxxx.
constexpr bool isOrdinaryComponentId(std::uint32_t id) { return (id >> 24) == 0x16 && (id & 0x00FFFFFF) != 0; }

} // namespace qr::forms
