// The backups/ folder of the run directory: one folder per backup, named by the local
// date and time it was made ("20261209-093015", with "-02", "-03" ... when several
// are made in one second), so that names sort by age. Each holds copies of the store
// files that existed then: xsdate.edb, xsdate.EDT, deldate.edb, deldate.EDT. A
// backup is built in a hidden folder (".part-...") and renamed to its name only
// when every file is in and synced, so a named backup is always complete.
//
// Paths are GBK at this interface, as everywhere in the store; file-system calls get
// their UTF-8 form. Qt-free: the application and the store tool share it.
#pragma once

#include <cstddef>
#include <ctime>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace qr::roster {

inline constexpr std::string_view kBackupFolder = "backups";
inline constexpr std::size_t kBackupsKept = 20;

// The store file names of one store: data file and auxiliary file.
struct StoreFileNames {
    std::string_view data;
    std::string_view aux;
};
inline constexpr StoreFileNames kRosterFiles{"xsdate.edb", "xsdate.EDT"};
inline constexpr StoreFileNames kRecycleFiles{"deldate.edb", "deldate.EDT"};
inline constexpr StoreFileNames kStoreFiles[] = {kRosterFiles, kRecycleFiles};

std::string joinPath(std::string_view directory, std::string_view name);
std::string backupsDirectory(std::string_view runDirectory);

// Whether a name has the form of a backup's name (and so is safe to join to a path).
bool isBackupName(std::string_view name);
// The name for a backup made at `when` (local time), without uniqueness suffix.
std::string backupBaseName(std::time_t when);
// The uniqueness suffixes in order: "", "-02" ... "-99".
std::optional<std::string> backupNameCandidate(std::string_view baseName, int attempt);
// "2026-12-09 09:30:15" for "20261209-093015" (the suffix dropped).
std::string backupTimeText(std::string_view name);

// The names of the backups in the run directory, oldest first; empty when there is
// no backups folder.
std::vector<std::string> listBackups(std::string_view runDirectory);
std::optional<std::string> newestBackup(std::string_view runDirectory);

// Deletes the oldest backups until `kept` remain; `spare` (when given) is never
// deleted. Failures to delete are ignored: a backup too many is no harm.
void pruneBackups(std::string_view runDirectory, std::size_t kept = kBackupsKept, std::string_view spare = {});

// Low-level steps for the makers of backups, each false with errno on failure.
bool fileExists(std::string_view pathGbk);
bool makeDirectory(std::string_view pathGbk); // true also when it exists as a directory
bool syncPath(std::string_view pathGbk);      // a file or a directory
// Renames without replacing: fails with EEXIST when `to` exists.
bool renameNoReplace(std::string_view fromGbk, std::string_view toGbk);
// Renames over an existing file, atomically.
bool renameReplacing(std::string_view fromGbk, std::string_view toGbk);
void removeTree(std::string_view pathGbk);

// Moves a finished hidden folder into place under a unique name built from
// `baseName`; syncs the backups folder. The chosen name, or nothing (errno set).
std::optional<std::string> publishBackup(std::string_view runDirectory, std::string_view partFolder,
                                         std::string_view baseName);

} // namespace qr::roster
