#include "roster/restore.h"

#include "roster/backup_folder.h"
#include "runtime/gbk.h"
#include "store/check/consistency_check.h"
#include "store/env.h"
#include "store/formats.h"
#include "store/journal.h"
#include "store/lock_retry.h"
#include "store/share_mode.h"
#include "store/store_copy.h"

#include <cerrno>
#include <cstring>
#include <memory>
#include <vector>

#include <unistd.h>

namespace qr::roster {

namespace {

using Status = RestoreResult::Status;

// A program that opens a store holds it for one action; that much we wait for.
constexpr std::int32_t kClaimWaitMs = 2000;

std::string shown(std::string_view gbk) { return runtime::gbkToUtf8(gbk); }

std::string codeText(store::ResultCode code)
{
    return runtime::gbkToUtf8(store::errorText(code)) + " (" + std::to_string(code.value()) + ")";
}

RestoreResult outcome(Status status, std::string problem)
{
    RestoreResult result;
    result.status = status;
    result.problem = std::move(problem);
    return result;
}

// One store file of the run directory, held the way a deny-read-write open holds it.
struct ClaimedFile {
    std::string path;     // GBK
    std::string fileName; // its name in a backup folder
    std::unique_ptr<store::File> file;
};

store::ResultCode claim(const std::string& path, std::unique_ptr<store::File>& out)
{
    store::Env& env = store::storeEnv();
    return store::retryRefused(
        [&] {
            std::unique_ptr<store::File> file;
            store::ResultCode code = env.openFile(path, store::OpenMode::ReadWrite, file);
            if (code == store::rc::kOk)
                code = store::claimShareMode(*file, store::ShareMode::DenyReadWrite);
            if (code == store::rc::kOk)
                code = file->lock(0, store::format::kWholeFileLength, store::LockMode::Exclusive);
            if (code == store::rc::kOk)
                out = std::move(file);
            return code;
        },
        kClaimWaitMs);
}

std::string checkBackupStores(const std::string& folder, int& storesHeld)
{
    std::string problems;
    storesHeld = 0;
    for (const StoreFileNames& files : kStoreFiles) {
        const std::string path = joinPath(folder, files.data);
        if (!fileExists(path))
            continue;
        ++storesHeld;
        const store::CheckReport report = store::checkStore(path);
        if (report.openResult != store::rc::kOk) {
            problems += std::string(files.data) + ": cannot be opened: " + codeText(report.openResult) + "\n";
            continue;
        }
        for (const std::string& line : report.problems)
            problems += std::string(files.data) + ": " + line + "\n";
    }
    if (!problems.empty())
        problems.pop_back();
    return problems;
}

// Copies the claimed files into a new backup; its name, or the reason it failed.
bool saveReplaced(std::string_view runDirectory, std::vector<ClaimedFile>& claimed, std::string& nameOrProblem)
{
    const std::string folder = backupsDirectory(runDirectory);
    if (!makeDirectory(folder)) {
        nameOrProblem = "cannot make the folder " + shown(folder) + ": " + std::strerror(errno);
        return false;
    }
    const std::string base = backupBaseName(std::time(nullptr));
    const std::string part = joinPath(folder, ".part-" + base + "-" + std::to_string(::getpid()));
    removeTree(part);
    if (!makeDirectory(part)) {
        nameOrProblem = "cannot make the folder " + shown(part) + ": " + std::strerror(errno);
        return false;
    }
    for (ClaimedFile& c : claimed) {
        const std::string copy = joinPath(part, c.fileName);
        if (const store::ResultCode code = store::copyFileTo(*c.file, copy); code != store::rc::kOk) {
            nameOrProblem = "cannot copy " + shown(c.path) + ": " + codeText(code);
            removeTree(part);
            return false;
        }
        if (!syncPath(copy)) {
            nameOrProblem = "cannot sync " + shown(copy) + ": " + std::strerror(errno);
            removeTree(part);
            return false;
        }
    }
    const auto name = syncPath(part) ? publishBackup(runDirectory, part, base) : std::nullopt;
    if (!name) {
        nameOrProblem = "cannot keep the replaced stores in " + shown(folder) + ": " + std::strerror(errno);
        removeTree(part);
        return false;
    }
    nameOrProblem = *name;
    return true;
}

// The files of the backup, in the order they are renamed into place.
std::vector<std::string_view> filesToRestore(const std::string& folder)
{
    std::vector<std::string_view> names;
    for (const StoreFileNames& files : kStoreFiles) {
        if (!fileExists(joinPath(folder, files.data)))
            continue;
        if (fileExists(joinPath(folder, files.aux)))
            names.push_back(files.aux);
        names.push_back(files.data);
    }
    return names;
}

} // namespace

RestoreResult restoreBackup(std::string_view runDirectory, std::string_view name)
{
    const std::string folder = joinPath(backupsDirectory(runDirectory), name);
    if (!isBackupName(name) || !fileExists(folder))
        return outcome(Status::NoSuchBackup,
                       "there is no backup \"" + shown(name) + "\" in " + shown(backupsDirectory(runDirectory)));
    int storesHeld = 0;
    if (std::string problems = checkBackupStores(folder, storesHeld); !problems.empty())
        return outcome(Status::Damaged, "backup " + shown(name) + " is damaged, nothing was restored:\n" + problems);
    if (storesHeld == 0)
        return outcome(Status::Damaged, "backup " + shown(name) + " holds no store, nothing was restored");

    // A command cut off part-way leaves a journal beside its store: roll it back first, so
    // that the stores kept as a backup are whole and no journal outlives the files it
    // belongs to.
    for (const StoreFileNames& files : kStoreFiles) {
        const std::string data = joinPath(runDirectory, files.data);
        if (!fileExists(data))
            continue;
        if (const store::ResultCode code =
                store::recoverAtOpen(store::storeEnv(), data, joinPath(runDirectory, files.aux));
            code != store::rc::kOk)
            return outcome(Status::Failed,
                           "cannot roll back the journal beside " + shown(data) + ": " + codeText(code));
    }

    // Every current store file is held from here to the end.
    std::vector<ClaimedFile> claimed;
    for (const StoreFileNames& files : kStoreFiles) {
        for (std::string_view fileName : {files.data, files.aux}) {
            const std::string path = joinPath(runDirectory, fileName);
            if (!fileExists(path))
                continue;
            ClaimedFile c{path, std::string(fileName), nullptr};
            if (const store::ResultCode code = claim(path, c.file); code != store::rc::kOk) {
                if (store::isRetryableRefusal(code))
                    return outcome(Status::InUse, shown(path) + " is in use by a program; close it and try again");
                return outcome(Status::Failed, "cannot take " + shown(path) + ": " + codeText(code));
            }
            claimed.push_back(std::move(c));
        }
    }

    RestoreResult result;
    if (!claimed.empty()) {
        std::string nameOrProblem;
        if (!saveReplaced(runDirectory, claimed, nameOrProblem))
            return outcome(Status::Failed, nameOrProblem);
        result.savedAs = nameOrProblem;
    }

    // Temporary copies beside the stores, so that the renames stay in one file system.
    const std::vector<std::string_view> names = filesToRestore(folder);
    std::vector<std::string> temporaries;
    auto dropTemporaries = [&] {
        for (const std::string& t : temporaries)
            (void)store::storeEnv().removeFile(t);
    };
    for (std::string_view fileName : names) {
        const std::string source = joinPath(folder, fileName);
        const std::string temporary =
            joinPath(runDirectory, "." + std::string(fileName) + ".restore-" + std::to_string(::getpid()));
        (void)store::storeEnv().removeFile(temporary);
        std::unique_ptr<store::File> from;
        store::ResultCode code = store::storeEnv().openFile(source, store::OpenMode::ReadOnly, from);
        if (code == store::rc::kOk)
            code = store::copyFileTo(*from, temporary);
        if (code != store::rc::kOk) {
            dropTemporaries();
            RestoreResult failedCopy = outcome(Status::Failed, "cannot copy " + shown(source) + ": " + codeText(code));
            failedCopy.savedAs = result.savedAs;
            return failedCopy;
        }
        temporaries.push_back(temporary);
        if (!syncPath(temporary)) {
            dropTemporaries();
            RestoreResult failedSync =
                outcome(Status::Failed, "cannot sync " + shown(temporary) + ": " + std::strerror(errno));
            failedSync.savedAs = result.savedAs;
            return failedSync;
        }
    }
    for (std::size_t i = 0; i < names.size(); ++i) {
        if (!renameReplacing(temporaries[i], joinPath(runDirectory, names[i]))) {
            const std::string problem = "cannot put " + std::string(names[i]) + " in place: " + std::strerror(errno) +
                                        (i > 0 ? "; the stores are partly restored, restore again" : "");
            for (std::size_t j = i; j < temporaries.size(); ++j)
                (void)store::storeEnv().removeFile(temporaries[j]);
            RestoreResult failedRename = outcome(Status::Failed, problem);
            failedRename.savedAs = result.savedAs;
            return failedRename;
        }
    }
    if (!syncPath(runDirectory)) {
        RestoreResult failedSync =
            outcome(Status::Failed, "cannot sync " + shown(runDirectory) + ": " + std::strerror(errno));
        failedSync.savedAs = result.savedAs;
        return failedSync;
    }
    pruneBackups(runDirectory, kBackupsKept, name);
    result.status = Status::Restored;
    return result;
}

} // namespace qr::roster
