#include "roster/backups.h"

#include "runtime/gbk.h"
#include "store/commands.h"
#include "store/store_copy.h"

#include <cerrno>
#include <cstring>
#include <vector>

#include <unistd.h>

namespace qr::roster {

namespace {

constexpr std::int32_t kLockWaitMs = 2000;

std::string shown(std::string_view gbk) { return runtime::gbkToUtf8(gbk); }

std::string codeText(store::ResultCode code)
{
    return runtime::gbkToUtf8(store::errorText(code)) + " (" + std::to_string(code.value()) + ")";
}

std::string errnoText() { return std::strerror(errno); }

// The lock retry time-out raised for the backup: the store tool or another copy of
// the program may hold a lock for a moment, which should not cost the backup.
class LockWait {
public:
    LockWait()
        : saved_(store::lockRetryTimeout())
    {
        if (saved_ >= 0 && saved_ < kLockWaitMs)
            store::setLockRetryTimeout(kLockWaitMs);
    }
    ~LockWait() { store::setLockRetryTimeout(saved_); }
    LockWait(const LockWait&) = delete;
    LockWait& operator=(const LockWait&) = delete;

private:
    std::int32_t saved_;
};

// The stores opened for one backup, closed again on every way out.
class OpenedStores {
public:
    ~OpenedStores()
    {
        for (const std::string& path : paths_) {
            if (store::selectStore(path))
                store::closeStore();
        }
    }
    bool open(const std::string& path)
    {
        store::OpenOptions options;
        options.readOnly = true;
        if (!store::openStore(path, options))
            return false;
        paths_.push_back(path);
        return true;
    }

private:
    std::vector<std::string> paths_;
};

BackupResult failed(std::string problem)
{
    BackupResult result;
    result.problem = std::move(problem);
    return result;
}

// Copies the existing stores into `part`; the reason on failure.
std::optional<std::string> copyStores(std::string_view runDirectory, const std::string& part,
                                      std::vector<std::string>& written)
{
    OpenedStores opened;
    std::vector<store::StoreFilesCopy> copies;
    for (const StoreFileNames& files : kStoreFiles) {
        const std::string path = joinPath(runDirectory, files.data);
        if (!fileExists(path))
            continue;
        if (!opened.open(path))
            return "cannot open " + shown(path) + ": " + codeText(store::lastError());
        copies.push_back({path, joinPath(part, files.data), joinPath(part, files.aux)});
    }
    if (!store::copyOpenStores(copies))
        return "cannot copy the stores: " + codeText(store::lastError());
    for (const store::StoreFilesCopy& copy : copies) {
        written.push_back(copy.dataCopy);
        if (fileExists(copy.auxCopy))
            written.push_back(copy.auxCopy);
    }
    return std::nullopt;
}

} // namespace

BackupResult backUpStores(std::string_view runDirectory)
{
    const LockWait wait;
    const std::string folder = backupsDirectory(runDirectory);
    if (!makeDirectory(folder))
        return failed("cannot make the folder " + shown(folder) + ": " + errnoText());
    const std::string base = backupBaseName(std::time(nullptr));
    const std::string part = joinPath(folder, ".part-" + base + "-" + std::to_string(::getpid()));
    removeTree(part);
    if (!makeDirectory(part))
        return failed("cannot make the folder " + shown(part) + ": " + errnoText());

    std::vector<std::string> written;
    if (auto problem = copyStores(runDirectory, part, written)) {
        removeTree(part);
        return failed(*problem);
    }
    // The copies must be on the disk before the backup gets its name.
    for (const std::string& file : written) {
        if (!syncPath(file)) {
            const std::string problem = "cannot sync " + shown(file) + ": " + errnoText();
            removeTree(part);
            return failed(problem);
        }
    }
    if (!syncPath(part)) {
        const std::string problem = "cannot sync " + shown(part) + ": " + errnoText();
        removeTree(part);
        return failed(problem);
    }
    const auto name = publishBackup(runDirectory, part, base);
    if (!name) {
        const std::string problem = "cannot name the backup in " + shown(folder) + ": " + errnoText();
        removeTree(part);
        return failed(problem);
    }
    pruneBackups(runDirectory);
    BackupResult result;
    result.ok = true;
    result.name = *name;
    return result;
}

std::optional<std::int32_t> countStudents(std::string_view storePathGbk)
{
    if (!fileExists(storePathGbk))
        return std::nullopt;
    OpenedStores opened;
    if (!opened.open(std::string(storePathGbk)))
        return std::nullopt;
    const std::int32_t count = store::recordCount();
    std::int32_t students = 0;
    for (std::int32_t k = 1; k <= count; ++k) {
        std::int32_t status = 0;
        if (!store::goToRecord(k) || !store::readStatusWord(status))
            return std::nullopt;
        if (status > 0)
            ++students;
    }
    return students;
}

BackupSummary summarizeBackup(std::string_view runDirectory, std::string_view name)
{
    const std::string folder = joinPath(backupsDirectory(runDirectory), name);
    auto summarize = [&](const StoreFileNames& files) {
        StoreSummary summary;
        const std::string path = joinPath(folder, files.data);
        summary.present = fileExists(path);
        if (const auto students = countStudents(path)) {
            summary.readable = true;
            summary.students = *students;
        }
        return summary;
    };
    return {summarize(kRosterFiles), summarize(kRecycleFiles)};
}

} // namespace qr::roster
