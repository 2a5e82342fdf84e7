// backups and restore: the copies of both stores kept in the run directory's backups/.
#include "roster/backups.h"
#include "roster/data_place.h"
#include "roster/restore.h"
#include "runtime/directories.h"
#include "runtime/gbk.h"
#include "tools/store_cli/cli_commands.h"
#include "tools/store_cli/cli_support.h"

#include <iostream>

#include <sys/stat.h>

namespace qr::tools {
namespace {

// The run directory named on the command line, else the one the program beside the
// tool uses: its own folder for a portable copy, the per-user data folder once installed.
int runDirectoryArgument(const Arguments& args, std::size_t index, std::string& dirGbk)
{
    if (args.size() > index) {
        if (!argumentToGbk(args[index], dirGbk))
            return refuse("the directory name is not valid UTF-8");
    } else {
        dirGbk = roster::chooseDataPlace(runtime::runDirectory(), roster::processEnvironment()).directory;
    }
    while (dirGbk.size() > 1 && dirGbk.back() == '/')
        dirGbk.pop_back();
    struct stat st {};
    const std::string shown = runtime::gbkToUtf8(dirGbk);
    if (::stat(shown.c_str(), &st) != 0 || !S_ISDIR(st.st_mode))
        return refuse("the run directory " + shown + " is not a directory");
    return kExitOk;
}

std::string storeColumn(std::string_view label, const roster::StoreSummary& summary)
{
    std::string text(label);
    if (!summary.present)
        return text + " absent";
    if (!summary.readable)
        return text + " unreadable";
    return text + " " + std::to_string(summary.students) + (summary.students == 1 ? " student" : " students");
}

} // namespace

int runBackups(const Arguments& args)
{
    if (args.size() > 1)
        return refuse("usage: quillroll-store backups [RUNDIR]");
    std::string dir;
    if (int status = runDirectoryArgument(args, 0, dir); status != kExitOk)
        return status;
    const auto names = roster::listBackups(dir);
    if (names.empty()) {
        std::cout << "no backups in " << runtime::gbkToUtf8(roster::backupsDirectory(dir)) << '\n';
        return kExitOk;
    }
    for (const std::string& name : names) {
        const roster::BackupSummary summary = roster::summarizeBackup(dir, name);
        std::cout << name << "  " << roster::backupTimeText(name) << "  " << storeColumn("roster", summary.roster)
                  << ", " << storeColumn("recycle", summary.recycle) << '\n';
    }
    return kExitOk;
}

int runRestore(const Arguments& args)
{
    if (args.empty() || args.size() > 2)
        return refuse("usage: quillroll-store restore NAME [RUNDIR]");
    std::string dir;
    if (int status = runDirectoryArgument(args, 1, dir); status != kExitOk)
        return status;
    std::string name;
    if (!argumentToGbk(args[0], name))
        return refuse("the backup name is not valid UTF-8");
    const roster::RestoreResult result = roster::restoreBackup(dir, name);
    using Status = roster::RestoreResult::Status;
    switch (result.status) {
    case Status::Restored:
        std::cout << "restored backup " << args[0] << '\n';
        if (!result.savedAs.empty())
            std::cout << "the stores it replaced are kept as backup " << result.savedAs << '\n';
        return kExitOk;
    case Status::NoSuchBackup: return refuse(result.problem + "; quillroll-store backups lists them");
    case Status::Damaged:
        // One line per problem, as check prints them.
        std::cerr << "quillroll-store: " << result.problem << '\n';
        return kExitFailed;
    case Status::InUse:
    case Status::Failed:
        printError(result.problem);
        if (!result.savedAs.empty())
            std::cerr << "quillroll-store: the stores as they were are kept as backup " << result.savedAs << '\n';
        return kExitFailed;
    }
    return kExitFailed;
}

} // namespace qr::tools
