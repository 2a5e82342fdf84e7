// Pausing the GUI thread. Nothing is processed meanwhile: windows do not repaint.
#pragma once

#include <cstdint>

namespace qr::runtime {

// Sleeps for the given number of milliseconds; negative counts as 0.
void delay(std::int64_t milliseconds);

} // namespace qr::runtime
