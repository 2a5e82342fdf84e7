// quillroll-store: looks into and repairs record-store files, and keeps their backups.
#include "store/commands.h"
#include "tools/store_cli/cli_commands.h"
#include "tools/store_cli/cli_support.h"

#include <cstring>
#include <iostream>

namespace {

const char* const kUsage =
    "usage: quillroll-store COMMAND STORE [...]\n"
    "  info STORE                              header, fields, records and blocks\n"
    "  dump STORE                              every record as JSON\n"
    "  check STORE                             consistency check: one line per problem, in words (exit 1)\n"
    "  create-roster STORE                     a new empty roster store\n"
    "  import-csv STORE FILE.csv [--photos DIR]  append the students of a CSV file\n"
    "  export-csv STORE FILE.csv [--photos DIR]  write every live student as CSV\n"
    "  delete STORE N                          mark record N deleted\n"
    "  pack STORE                              remove the deleted records\n"
    "  clear STORE                             remove every record\n"
    "  seed-stores DIR                         the empty roster and recycle stores, where missing\n"
    "  backups [RUNDIR]                        the backups of both stores: time, students in each\n"
    "  restore NAME [RUNDIR]                   put backup NAME back after checking it; the stores\n"
    "                                          it replaces are kept as a backup of their own\n"
    "  repair STORE                            mend what check finds without losing a record: lost blocks\n"
    "                                          freed, shared chains copied, broken chains cut, counts and\n"
    "                                          lengths corrected; copies the files to\n"
    "                                          NAME.repair-backup-TIME first; refuses while the store is open\n"
    "                                          elsewhere (exit 1: something could not be mended)\n"
    "RUNDIR is the program's run directory (default: this tool's folder when it holds the stores\n"
    "and can be written, else $XDG_DATA_HOME/quillroll, by default ~/.local/share/quillroll).\n"
    "Exit status, the same for every command:\n"
    "  0  done (check: the store is sound)\n"
    "  1  the store is not sound (damaged, or problems found), or the work failed; a command\n"
    "     that fails takes back what it wrote, so nothing of it is left behind\n"
    "  2  refused before anything changed: bad arguments, or an unusable path (missing, a\n"
    "     folder or device where a file belongs, a file too large, a store in use)\n";

// Another process appending or packing holds its locks only for moments; commands
// wait for them rather than fail at once.
constexpr std::int32_t kLockWaitMs = 30000;

} // namespace

int main(int argc, char** argv)
{
    using namespace qr::tools;
    if (argc < 2)
        return refuse("no command given; quillroll-store --help lists the commands");
    if (std::strcmp(argv[1], "--help") == 0 || std::strcmp(argv[1], "-h") == 0) {
        std::cout << kUsage;
        return kExitOk;
    }
    const std::string command = argv[1];
    const Arguments args(argv + 2, argv + argc);
    qr::store::setLockRetryTimeout(kLockWaitMs);
    if (command == "info")
        return runInfo(args);
    if (command == "dump")
        return runDump(args);
    if (command == "check")
        return runCheck(args);
    if (command == "create-roster")
        return runCreateRoster(args);
    if (command == "import-csv")
        return runImportCsv(args);
    if (command == "export-csv")
        return runExportCsv(args);
    if (command == "delete")
        return runDelete(args);
    if (command == "pack")
        return runPack(args);
    if (command == "clear")
        return runClear(args);
    if (command == "seed-stores")
        return runSeedStores(args);
    if (command == "backups")
        return runBackups(args);
    if (command == "restore")
        return runRestore(args);
    if (command == "repair")
        return runRepair(args);
    return refuse("unknown command \"" + command + "\"; run quillroll-store --help for the commands");
}
