// Whole-file reads and writes of byte sets, by GBK file name. A relative name is
// taken from the current directory.
#pragma once

#include "runtime/value.h"

#include <span>
#include <string_view>

namespace qr::runtime {

// The whole content; the empty byte set for an empty name, a file that cannot
// be opened, an empty file, or anything that is not a regular file (a folder, a
// FIFO, a device), which is never waited for. If fewer bytes arrive than the file's length (it
// shrank, or a read failed), the byte set holds what arrived.
ByteSet readFile(std::string_view fileName);

// Creates or truncates the file and writes every non-empty byte set in order.
// false for an empty name and on any failure to open, write or close; a partly
// written file is then left behind. No byte sets at all give an empty file.
bool writeFile(std::string_view fileName, std::span<const ByteSet> parts);
bool writeFile(std::string_view fileName, const ByteSet& bytes);

} // namespace qr::runtime
