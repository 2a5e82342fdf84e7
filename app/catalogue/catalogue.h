// The constant data the program carries: the template store built from the window
// descriptions in this folder, the pictures drawn with it, and the numbers and ids
// the application addresses it by. Generated at build time.
#pragma once

#include "app/catalogue/components.h"      // generated: window and component ids by code name
#include "app/catalogue/handler_numbers.h" // generated: enum Handler, kHandlerNames

#include <cstdint>
#include <span>

namespace qr::catalogue {

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
