// A look at an OLE2 compound file's allocation tables before libgsf reads it: a
// sector chain that comes back to a sector it has already passed would make a
// stream read its sectors over again and look whole. Other damage (chains that run
// off the file, bad sizes) is left to the reader, which refuses it.
#pragma once

#include <cstdint>
#include <span>
#include <string>

namespace qr::xls {

// False with a reason when a chain of the file (directory, mini allocation table,
// a stream, the mini stream, or a mini stream's chain of mini sectors) loops.
// Files too damaged to be walked pass: the reader refuses them on its own.
bool sectorChainsEnd(std::span<const std::uint8_t> file, std::string& error);

} // namespace qr::xls
