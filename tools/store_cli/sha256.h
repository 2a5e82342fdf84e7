#pragma once

#include <cstdint>
#include <span>
#include <string>

namespace qr::tools {

// Lower-case hexadecimal SHA-256 of the bytes.
std::string sha256Hex(std::span<const std::uint8_t> bytes);

} // namespace qr::tools
