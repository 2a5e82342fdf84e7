// The constant data the program carries: the template store built from the window
// descriptions in this folder, and the pictures drawn with it. Generated at build time.
#pragma once

#include "app/catalogue/handler_numbers.h" // generated: enum Handler, kHandlerNames

#include <cstdint>
#include <span>

namespace qr::catalogue {

// Window ids in window-map order.
inline constexpr std::uint32_t kStartWindow = 0x52010001;
inline constexpr std::uint32_t kAddForm = 0x5201003C;
inline constexpr std::uint32_t kMainWindow = 0x52010078;
inline constexpr std::uint32_t kAboutWindow = 0x5201016B;
inline constexpr std::uint32_t kModifyForm = 0x5201016E;
inline constexpr std::uint32_t kDetailView = 0x52010172;
inline constexpr std::uint32_t kDeletedWindow = 0x520103D3;

// The whole template store (read it with qr::forms::loadTemplateStore).
std::span<const std::uint8_t> templateStoreBytes();
// The start window's background picture at start-up (JPEG, 1024 x 1024).
std::span<const std::uint8_t> startupPictureBytes();
// The program and tray icon (an icon file with one 128 x 128 32-bit image); the
// start window's template carries the same bytes.
std::span<const std::uint8_t> programIconBytes();
// The add form's placeholder photo after its samples are cleared (JPEG, 198 x 249).
std::span<const std::uint8_t> placeholderPhotoBytes();

} // namespace qr::catalogue
