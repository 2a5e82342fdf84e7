#include "app/app_paths.h"

#include "roster/files.h"
#include "runtime/directories.h"

namespace qr::app {

namespace {
runtime::Text& overrideDirectory()
{
    static runtime::Text directory;
    return directory;
}

runtime::Text inDataDirectory(std::string_view fileName)
{
    runtime::Text path = dataDirectory();
    path += '/';
    path += fileName;
    return path;
}
} // namespace

const runtime::Text& dataDirectory()
{
    const runtime::Text& chosen = overrideDirectory();
    return chosen.empty() ? runtime::runDirectory() : chosen;
}

void setDataDirectory(runtime::Text directory)
{
    while (directory.size() > 1 && directory.back() == '/')
        directory.pop_back();
    overrideDirectory() = std::move(directory);
}

runtime::Text configFilePath() { return inDataDirectory(roster::kConfigFile); }
runtime::Text rosterStorePath() { return inDataDirectory(roster::kRosterStoreFile); }
runtime::Text recycleStorePath() { return inDataDirectory(roster::kRecycleStoreFile); }

} // namespace qr::app
