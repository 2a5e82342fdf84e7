// The copies a repair makes before it changes anything: each file NAME of the store
// copied to NAME.repair-backup-YYYYMMDD-HHMMSS (local time) beside it, synced, so
// that renaming the copies back undoes the repair.
#pragma once

#include <string>
#include <vector>

namespace qr::tools {

// Copies every path (UTF-8) with one common time suffix; a suffix already taken by
// an earlier copy gets "-2", "-3" ... appended. On success the copies' paths are in
// made; on failure why says what went wrong and no copy is left behind.
bool backUpFiles(const std::vector<std::string>& paths, std::vector<std::string>& made, std::string& why);

} // namespace qr::tools
