// A picture of a loaded window as a person sees it: the client area with its
// components inside a plain Windows-style frame and caption bar, at the window's
// stored outer size.
#pragma once

#include <QImage>

#include <cstdint>

namespace qr::tools {

// Null when the window is not loaded.
QImage shootWindow(std::uint32_t windowId);

} // namespace qr::tools
