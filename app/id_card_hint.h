// The identity-card box of the add and modify forms tells, while the typed number
// fails the identity-card check, why: a red frame, the reason as its tool tip and
// in its accessible description. It only tells; saving is not affected.
#pragma once

#include <cstdint>

namespace qr::app {

// Starts watching the edit box of a loaded window, and shows the hint for what it
// holds now. Watching the same box again changes nothing.
void watchIdCardBox(std::uint32_t windowId, std::uint32_t editId);

} // namespace qr::app
