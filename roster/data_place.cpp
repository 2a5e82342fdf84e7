#include "roster/data_place.h"

#include "roster/backup_folder.h"
#include "roster/files.h"
#include "roster/store_layout.h"
#include "runtime/file_access.h"
#include "runtime/gbk.h"
#include "store/check/raw_layout.h"
#include "store/commands.h"
#include "store/env.h"
#include "store/store_copy.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <memory>

#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

namespace qr::roster {

namespace {

std::optional<std::string> environmentValue(const char* name)
{
    const char* value = std::getenv(name);
    return value ? std::optional<std::string>(value) : std::nullopt;
}

bool isAbsolute(const std::optional<std::string>& path) { return path && !path->empty() && path->front() == '/'; }

std::string trimmed(std::string path)
{
    while (path.size() > 1 && path.back() == '/')
        path.pop_back();
    return path;
}

bool holdsRosterStore(std::string_view directory) { return fileExists(joinPath(directory, kRosterStoreFile)); }

bool userMayWrite(std::string_view directory)
{
    return ::access(runtime::gbkToUtf8(directory).c_str(), W_OK | X_OK) == 0;
}

std::optional<std::string> homeDirectory(const PlaceEnvironment& environment)
{
    if (isAbsolute(environment.home))
        return trimmed(*environment.home);
    // A session without HOME still has a home in the user database.
    if (const passwd* entry = ::getpwuid(::getuid()); entry && entry->pw_dir && entry->pw_dir[0] == '/')
        return trimmed(entry->pw_dir);
    return std::nullopt;
}

std::string parentOf(std::string_view directory)
{
    const std::size_t slash = directory.rfind('/');
    return slash == std::string_view::npos || slash == 0 ? std::string() : std::string(directory.substr(0, slash));
}

// Makes every missing folder of an absolute path, private to the user as the base
// directory convention asks: the roster holds pupils' identity-card numbers.
bool makeDirectories(const std::string& pathGbk)
{
    if (pathGbk.empty())
        return true;
    if (fileExists(pathGbk))
        return makeDirectory(pathGbk); // says whether it is a folder
    if (!makeDirectories(parentOf(pathGbk)))
        return false;
    if (::mkdir(runtime::gbkToUtf8(pathGbk).c_str(), 0700) == 0 || errno == EEXIST)
        return makeDirectory(pathGbk);
    return false;
}

std::string reason(const std::string& what, const std::string& pathGbk)
{
    return what + " " + runtime::gbkToUtf8(pathGbk) + ": " + std::strerror(errno);
}

// The two files of a store being written under hidden names before they are renamed
// into place; removed again, whatever happened, when it goes.
struct StagedStore {
    std::string data;
    std::string aux;
    ~StagedStore()
    {
        store::Env& env = store::storeEnv();
        (void)env.removeFile(data);
        (void)env.removeFile(aux);
    }
};

bool copyInto(const std::string& sourceGbk, const std::string& targetGbk)
{
    std::unique_ptr<store::File> source;
    if (store::storeEnv().openFile(sourceGbk, store::OpenMode::ReadOnly, source) != store::rc::kOk)
        return false;
    return store::copyFileTo(*source, targetGbk) == store::rc::kOk;
}

// Writes the hidden copies: from the seed folder when it holds this store, else new.
bool stage(const DataPlace& place, std::string_view file, StagedStore& staged, std::string& problem)
{
    const std::string seedData = place.seedDirectory.empty() ? std::string() : joinPath(place.seedDirectory, file);
    const std::string seedAux = seedData.empty() ? std::string() : store::check::auxFileName(seedData);
    bool made = false;
    if (!seedData.empty() && fileExists(seedData) && fileExists(seedAux)) {
        made = copyInto(seedData, staged.data) && copyInto(seedAux, staged.aux);
        if (!made)
            problem = reason("cannot copy the empty store", seedData);
    } else {
        made = store::createStore(staged.data, rosterFieldSpecs());
        if (!made)
            problem = "cannot create an empty store in " + runtime::gbkToUtf8(place.directory);
    }
    if (made && (!syncPath(staged.data) || !syncPath(staged.aux))) {
        problem = reason("cannot write", staged.data);
        made = false;
    }
    return made;
}

bool seedStore(const DataPlace& place, std::string_view file, std::string& problem)
{
    const std::string data = joinPath(place.directory, file);
    const std::string aux = store::check::auxFileName(data);
    const bool hasData = fileExists(data);
    const bool hasAux = fileExists(aux);
    if (hasData)
        return true; // a store (or half of one) that is not ours to touch

    StagedStore staged{joinPath(place.directory, ".seed-" + std::string(file)), {}};
    staged.aux = store::check::auxFileName(staged.data);
    store::Env& env = store::storeEnv();
    (void)env.removeFile(staged.data); // left by a start that died while seeding
    (void)env.removeFile(staged.aux);
    if (!stage(place, file, staged, problem))
        return false;

    if (hasAux) {
        // Only an auxiliary file: ours when it is the seed's, renamed in before its data
        // file by a start that then died; anything else is the teacher's.
        if (runtime::readFile(aux) != runtime::readFile(staged.aux))
            return true;
    } else if (!renameNoReplace(staged.aux, aux)) {
        problem = reason("cannot put the empty store in place at", aux);
        return false;
    }
    // The data file goes last: a store whose data file is there is whole.
    if (!renameNoReplace(staged.data, data)) {
        problem = reason("cannot put the empty store in place at", data);
        return false;
    }
    if (!syncPath(place.directory)) {
        problem = reason("cannot write", place.directory);
        return false;
    }
    return true;
}

} // namespace

PlaceEnvironment processEnvironment() { return {environmentValue("XDG_DATA_HOME"), environmentValue("HOME")}; }

std::string installedSeedDirectory(std::string_view programDirectory)
{
    return joinPath(parentOf(programDirectory), "share/" + std::string(kDataFolderName));
}

DataPlace chooseDataPlace(std::string_view programDirectory, const PlaceEnvironment& environment)
{
    DataPlace place;
    if (holdsRosterStore(programDirectory) && userMayWrite(programDirectory)) {
        place.portable = true;
        place.directory = std::string(programDirectory);
        return place;
    }
    std::optional<std::string> base;
    if (isAbsolute(environment.xdgDataHome))
        base = trimmed(*environment.xdgDataHome);
    else if (const auto home = homeDirectory(environment))
        base = joinPath(*home, ".local/share");
    if (base)
        place.directory = runtime::utf8ToGbk(joinPath(*base, kDataFolderName));

    const std::string packaged = installedSeedDirectory(programDirectory);
    if (holdsRosterStore(packaged))
        place.seedDirectory = packaged;
    else if (holdsRosterStore(programDirectory))
        place.seedDirectory = std::string(programDirectory); // a portable copy on a read-only medium
    return place;
}

bool prepareDataPlace(const DataPlace& place, std::string& problem)
{
    if (place.portable)
        return true;
    if (place.directory.empty()) {
        problem = "no home folder is known (HOME is not set) to keep the roster in";
        return false;
    }
    if (!makeDirectories(place.directory)) {
        problem = reason("cannot make the folder", place.directory);
        return false;
    }
    for (std::string_view file : {kRosterStoreFile, kRecycleStoreFile})
        if (!seedStore(place, file, problem))
            return false;
    return true;
}

} // namespace qr::roster
