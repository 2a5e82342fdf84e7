// Putting a backup back in place of the run directory's stores.
//
// Steps: the backup's name is checked, then every store the backup holds must pass
// the consistency check. Then the current store files are claimed the way the
// engine claims them, with share mode deny read and write and a whole-file lock on
// each, which fails while any program holds one of them open; the claims are held
// to the end. The current files are copied into a backup of their own, and the
// backup's files are copied into hidden temporary files beside the stores, synced,
// and renamed over the store files, the auxiliary file of a store before its data
// file; the run directory is synced last.
//
// Hazards: each rename is atomic, but the four are not one step. A crash between
// them leaves some stores restored and others not; both the backup and the copy of
// what it replaced are complete by then, so restoring again finishes the work. A
// store the backup does not hold is left as it is.
#pragma once

#include <string>
#include <string_view>

namespace qr::roster {

struct RestoreResult {
    enum class Status {
        Restored,
        NoSuchBackup, // the name is not a backup of this run directory
        Damaged,      // a store in the backup fails the consistency check
        InUse,        // a program holds a store open
        Failed,       // a file could not be read, written or renamed
    };
    Status status = Status::Failed;
    std::string savedAs; // the backup of the replaced stores, when one was made
    std::string problem; // why not (UTF-8; may span lines for a damaged backup)
};

RestoreResult restoreBackup(std::string_view runDirectory, std::string_view name);

} // namespace qr::roster
