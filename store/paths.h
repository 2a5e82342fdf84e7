// The one place that names the files of a store: the default extension, the full
// path, the file title and the auxiliary file's name. Paths are GBK; '/' separates.
#pragma once

#include <string>
#include <string_view>

namespace qr::store {

// No '.' after the last '/': ".EDB" appended; ending in '.': "EDB" appended.
std::string withDefaultExtension(std::string_view name);
// An absolute path with "." and ".." resolved by name, without following links.
std::string fullPath(std::string_view name, std::string_view currentDirectory);
// The file name without directory and extension.
std::string fileTitle(std::string_view path);
// The path with its extension removed and ".EDT" appended, in exactly that case.
std::string auxiliaryPath(std::string_view dataPath);
// The rollback journal of a writing command: the data file's full path with
// "-journal" appended, so that it lies in the same directory as the files it restores.
std::string journalPath(std::string_view dataPath);

} // namespace qr::store
