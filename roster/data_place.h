// Where the program keeps the teacher's files (config.ini, both stores, backups), and
// where the empty stores of a first start come from. Qt-free: the program and the
// store tool decide the same way.
//
// Portable: the program's own folder, when it holds the roster store and the user may
// write there (the build tree, a copy on a USB stick). Installed: a program whose folder
// has no stores, or one the user cannot write (/usr/bin), keeps the files in
// $XDG_DATA_HOME/quillroll (an unset or relative XDG_DATA_HOME means ~/.local/share),
// made at the first start and seeded with the empty stores the package carries in
// <prefix>/share/quillroll.
//
// Paths are GBK at this interface; file-system calls get their UTF-8 form.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace qr::roster {

inline constexpr std::string_view kDataFolderName = "quillroll";

struct PlaceEnvironment {
    std::optional<std::string> xdgDataHome; // as the process has them, UTF-8
    std::optional<std::string> home;
};
PlaceEnvironment processEnvironment();

struct DataPlace {
    bool portable = false;
    std::string directory;     // GBK, without a trailing "/"; empty when no home folder is known
    std::string seedDirectory; // GBK; the folder holding the empty stores to copy (installed only; may be empty)
};

// `programDirectory` is the folder holding the program file (GBK, no trailing "/").
DataPlace chooseDataPlace(std::string_view programDirectory, const PlaceEnvironment& environment);

// The package's folder of empty stores beside an installed program in <prefix>/bin.
std::string installedSeedDirectory(std::string_view programDirectory);

// Makes the data folder (and its parents) when missing and gives it each store that is
// wholly missing: a copy of the seed store when there is one, else a new empty store.
// Never replaces or changes a file that exists; half a store is left for a person to
// look at. A seed interrupted between its two files is finished. Each new store is
// written under a hidden name, synced, and only then renamed into place. False, with
// the reason in `problem` (UTF-8), when the folder cannot be made or a store not seeded.
bool prepareDataPlace(const DataPlace& place, std::string& problem);

} // namespace qr::roster
