// The photo folder of CSV import and export: one file per student, named by the
// student's 序号 and the picture's extension ("12.jpg").
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <vector>

namespace qr::tools {

// Lists the files named "<whole number>.<photo extension>" in dir (UTF-8 path).
// False with a one-line reason when the folder cannot be read or two files name
// the same number.
bool listPhotoFiles(const std::string& dir, std::map<std::int64_t, std::string>& files, std::string& why);

// The file name a photo of this 序号 gets on export.
std::string photoFileName(std::int64_t serial, const std::vector<std::uint8_t>& bytes);

// Whether the folder is missing or empty (export writes only into such a folder,
// so that no photo of an earlier export is mistaken for one of this one).
bool isMissingOrEmptyFolder(const std::string& dir, bool& missing, std::string& why);

} // namespace qr::tools
