// Whole-file access for workbooks: every read and write of a workbook file goes
// through here.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace qr::xls {

bool readWholeFile(const std::string& path, std::vector<std::uint8_t>& bytes, std::string& error);

// Replaces the file's contents atomically (runtime::replaceFileAtomically), so a
// failure midway leaves the old workbook as it was. The file keeps its permission
// bits; a symbolic link gives way to the new file.
bool replaceFile(const std::string& path, const std::vector<std::uint8_t>& bytes, std::string& error);

} // namespace qr::xls
