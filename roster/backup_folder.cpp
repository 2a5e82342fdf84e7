#include "roster/backup_folder.h"

#include "runtime/gbk.h"

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstdio>
#include <filesystem>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace qr::roster {

namespace fs = std::filesystem;

namespace {

constexpr int kMaxSuffix = 99;

fs::path native(std::string_view gbk) { return fs::path(runtime::gbkToUtf8(gbk)); }

bool allDigits(std::string_view s)
{
    return std::all_of(s.begin(), s.end(), [](char c) { return c >= '0' && c <= '9'; });
}

} // namespace

std::string joinPath(std::string_view directory, std::string_view name)
{
    std::string path(directory);
    if (path.empty() || path.back() != '/')
        path += '/';
    path += name;
    return path;
}

std::string backupsDirectory(std::string_view runDirectory) { return joinPath(runDirectory, kBackupFolder); }

bool isBackupName(std::string_view name)
{
    // yyyymmdd-hhmmss, optionally -NN
    if (name.size() != 15 && name.size() != 18)
        return false;
    if (!allDigits(name.substr(0, 8)) || name[8] != '-' || !allDigits(name.substr(9, 6)))
        return false;
    return name.size() == 15 || (name[15] == '-' && allDigits(name.substr(16, 2)));
}

std::string backupBaseName(std::time_t when)
{
    std::tm local{};
    ::localtime_r(&when, &local);
    char buffer[96];
    std::snprintf(buffer, sizeof buffer, "%04d%02d%02d-%02d%02d%02d", local.tm_year + 1900, local.tm_mon + 1,
                  local.tm_mday, local.tm_hour, local.tm_min, local.tm_sec);
    return buffer;
}

std::optional<std::string> backupNameCandidate(std::string_view baseName, int attempt)
{
    if (attempt == 0)
        return std::string(baseName);
    if (attempt < 0 || attempt + 1 > kMaxSuffix)
        return std::nullopt;
    char suffix[16];
    std::snprintf(suffix, sizeof suffix, "-%02d", attempt + 1);
    return std::string(baseName) + suffix;
}

std::string backupTimeText(std::string_view name)
{
    if (!isBackupName(name))
        return std::string(name);
    std::string text;
    text += name.substr(0, 4);
    text += '-';
    text += name.substr(4, 2);
    text += '-';
    text += name.substr(6, 2);
    text += ' ';
    text += name.substr(9, 2);
    text += ':';
    text += name.substr(11, 2);
    text += ':';
    text += name.substr(13, 2);
    return text;
}

std::vector<std::string> listBackups(std::string_view runDirectory)
{
    std::vector<std::string> names;
    std::error_code error;
    for (fs::directory_iterator it(native(backupsDirectory(runDirectory)), error), end; !error && it != end;
         it.increment(error)) {
        const std::string name = it->path().filename().string();
        if (isBackupName(name) && it->is_directory(error))
            names.push_back(name);
    }
    std::sort(names.begin(), names.end());
    return names;
}

std::optional<std::string> newestBackup(std::string_view runDirectory)
{
    const auto names = listBackups(runDirectory);
    if (names.empty())
        return std::nullopt;
    return names.back();
}

void pruneBackups(std::string_view runDirectory, std::size_t kept, std::string_view spare)
{
    auto names = listBackups(runDirectory);
    const bool spared = !spare.empty() && std::erase(names, std::string(spare)) > 0;
    const std::size_t others = spared && kept > 0 ? kept - 1 : kept;
    if (names.size() <= others)
        return;
    const std::string folder = backupsDirectory(runDirectory);
    for (std::size_t i = 0; i + others < names.size(); ++i)
        removeTree(joinPath(folder, names[i]));
    (void)syncPath(folder);
}

bool fileExists(std::string_view pathGbk)
{
    struct stat st {};
    return ::stat(runtime::gbkToUtf8(pathGbk).c_str(), &st) == 0;
}

bool makeDirectory(std::string_view pathGbk)
{
    const std::string path = runtime::gbkToUtf8(pathGbk);
    if (::mkdir(path.c_str(), 0777) == 0)
        return true;
    if (errno != EEXIST)
        return false;
    struct stat st {};
    if (::stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode))
        return true;
    errno = ENOTDIR;
    return false;
}

bool syncPath(std::string_view pathGbk)
{
    const int fd = ::open(runtime::gbkToUtf8(pathGbk).c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return false;
    const bool synced = ::fsync(fd) == 0;
    const int error = errno;
    ::close(fd);
    errno = error;
    return synced;
}

bool renameNoReplace(std::string_view fromGbk, std::string_view toGbk)
{
    return ::renameat2(AT_FDCWD, runtime::gbkToUtf8(fromGbk).c_str(), AT_FDCWD, runtime::gbkToUtf8(toGbk).c_str(),
                       RENAME_NOREPLACE) == 0;
}

bool renameReplacing(std::string_view fromGbk, std::string_view toGbk)
{
    return ::rename(runtime::gbkToUtf8(fromGbk).c_str(), runtime::gbkToUtf8(toGbk).c_str()) == 0;
}

void removeTree(std::string_view pathGbk)
{
    std::error_code ignored;
    fs::remove_all(native(pathGbk), ignored);
}

std::optional<std::string> publishBackup(std::string_view runDirectory, std::string_view partFolder,
                                         std::string_view baseName)
{
    const std::string folder = backupsDirectory(runDirectory);
    for (int attempt = 0;; ++attempt) {
        const auto name = backupNameCandidate(baseName, attempt);
        if (!name) {
            errno = EEXIST;
            return std::nullopt;
        }
        if (renameNoReplace(partFolder, joinPath(folder, *name))) {
            if (!syncPath(folder))
                return std::nullopt;
            return name;
        }
        if (errno != EEXIST && errno != ENOTEMPTY)
            return std::nullopt;
    }
}

} // namespace qr::roster
