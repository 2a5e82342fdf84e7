// Qt keys as the Win32 virtual-key codes that key handlers test (13 is Enter).
#pragma once

#include <Qt>

namespace qr::forms {

// Key state bits reported with input events.
namespace key_state {
inline constexpr int kCtrl = 1;
inline constexpr int kShift = 2;
inline constexpr int kAlt = 4;
} // namespace key_state

// The virtual-key code of a key; the numeric keypad's digits, minus, point and
// slash fold onto the main keys (0x30-0x39, 189, 190, 191). 0 for keys without one.
int virtualKeyCode(int qtKey, Qt::KeyboardModifiers modifiers);

// Ctrl 1, Shift 2, Alt 4. A modifier key pressed or released alone does not
// report itself as held (pass its key; 0 for mouse events).
int keyStateOf(Qt::KeyboardModifiers modifiers, int qtKey = 0);

} // namespace qr::forms
