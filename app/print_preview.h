// Printing from the main window: Ctrl+P previews the class list as the list shows
// it, Ctrl+Shift+P the photo contact sheet. The preview prints to any printer of the
// system or to a PDF file. What is printed is read from the roster store when the
// key is pressed; the store is not held open while the preview is shown.
#pragma once

#include <cstdint>
#include <string_view>

namespace qr::app {

// Gives the loaded window its two print keys.
void installPrinting(std::uint32_t windowId);

// The object names of the two previews (for tests and screen readers).
inline constexpr std::string_view kListPreviewName = "打印预览_全班名单";
inline constexpr std::string_view kCardPreviewName = "打印预览_照片名片";

} // namespace qr::app
