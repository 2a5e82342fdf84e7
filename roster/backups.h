// Backups of the two stores, made before the actions that cannot be undone (clearing
// a store, an import replacing the roster) and listed for the store tool.
//
// A backup copies the files of both stores under the stores' own locks: each store
// is opened read-only through the engine (which keeps its share modes) and both are
// held in an exclusive section while their files are copied, so the copies are one
// consistent moment of the pair. A store whose data file does not exist is not
// copied (there is nothing to lose); any other failure (a store that cannot be
// opened, a full disk, a folder that cannot be made) fails the whole backup and
// leaves no named backup behind. After a backup the oldest ones beyond
// kBackupsKept are deleted. No store may be open in this process while a backup
// is made.
#pragma once

#include "roster/backup_folder.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace qr::roster {

struct BackupResult {
    bool ok = false;
    std::string name;    // the new backup's name when ok
    std::string problem; // why not (UTF-8, one line) when not ok
};

BackupResult backUpStores(std::string_view runDirectory);

// Live students (records not marked deleted) of one store in a backup.
struct StoreSummary {
    bool present = false;  // the backup holds this store's data file
    bool readable = false; // and the engine opens it read-only
    std::int32_t students = 0;
};
struct BackupSummary {
    StoreSummary roster;
    StoreSummary recycle;
};
BackupSummary summarizeBackup(std::string_view runDirectory, std::string_view name);

// The live students of a store file, or nothing when it cannot be opened read-only.
std::optional<std::int32_t> countStudents(std::string_view storePathGbk);

} // namespace qr::roster
