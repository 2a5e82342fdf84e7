// Finding a student in a long list: Ctrl+F opens a small box over the list; typing
// selects the first row whose 姓名, 身份证号, 学籍辅号 or 全国学号 holds the text,
// Enter the next one (round to the top), Esc closes the box and leaves the window
// open. Rows are only selected and scrolled to, never hidden or reordered, so what
// acts on the selection acts on the record it always did.
#pragma once

#include <cstdint>
#include <string_view>

namespace qr::app {

// Gives the loaded window's list its find box.
void installFindBox(std::uint32_t windowId, std::uint32_t listId);

// The object name of the box (for tests and screen readers).
inline constexpr std::string_view kFindBoxName = "查找框";

} // namespace qr::app
