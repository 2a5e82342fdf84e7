// The event numbers the registry raises itself: the events of a window's own record,
// and the common input events of every kind that raises events (negative numbers).
// A kind's own events (a button's click, a list's row events) are numbered by the kind.
// The template store binds handlers to these numbers, so they are part of its format and
// never change.
#pragma once

#include <cstdint>

namespace qr::forms::event {

// A window's own record.
inline constexpr std::int32_t kCreated = 0;   // the load has built and placed everything
inline constexpr std::int32_t kMayClose = 1;  // asked before closing and when the session ends;
                                              // a handler answering false keeps the window
inline constexpr std::int32_t kDestroyed = 2; // the window is being torn down
inline constexpr std::int32_t kMoved = 3;
inline constexpr std::int32_t kResized = 4;
inline constexpr std::int32_t kActivated = 5;
inline constexpr std::int32_t kDeactivated = 6;
inline constexpr std::int32_t kFirstActivated = 8; // once per load, before kActivated
inline constexpr std::int32_t kTrayAction = 9;     // argument: the tray action number
inline constexpr std::int32_t kShown = 10;
inline constexpr std::int32_t kHidden = 11;
inline constexpr std::int32_t kCloseRequested = 12; // asked first when the user closes the window

// A menu item record.
inline constexpr std::int32_t kMenuItemClicked = 0;

// Common input events; mouse events carry x, y and the key state.
inline constexpr std::int32_t kLeftButtonDown = -1;
inline constexpr std::int32_t kLeftButtonUp = -2;
inline constexpr std::int32_t kDoubleClicked = -3;
inline constexpr std::int32_t kRightButtonDown = -4;
inline constexpr std::int32_t kRightButtonUp = -5;
inline constexpr std::int32_t kMouseMoved = -6;
inline constexpr std::int32_t kFocusGained = -7;
inline constexpr std::int32_t kFocusLost = -8;
inline constexpr std::int32_t kKeyDown = -9; // virtual key code and key state
inline constexpr std::int32_t kKeyUp = -10;
inline constexpr std::int32_t kCharacter = -11; // the typed character's GBK code
inline constexpr std::int32_t kWheel = -12;     // notches and key state

} // namespace qr::forms::event
