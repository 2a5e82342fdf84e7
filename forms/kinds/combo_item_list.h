// The combo box's item-list property (number 20) as a byte set, which the kind
// reads and writes and a program may edit: a u16 count (0xFFFF and a u32 count for
// 65535 items or more), then per item an int32 length and its stored (GBK) bytes.
// Qt-free.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace qr::forms::kinds {

std::vector<std::uint8_t> encodeItemList(const std::vector<std::string>& items);
// The items of an item-list value; what cannot be read ends the list.
std::vector<std::string> decodeItemList(const std::vector<std::uint8_t>& bytes);

} // namespace qr::forms::kinds
