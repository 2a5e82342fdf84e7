// The commands of quillroll-store. Each takes its arguments after the command word
// (UTF-8) and returns the process exit status.
#pragma once

#include <string>
#include <vector>

namespace qr::tools {

using Arguments = std::vector<std::string>;

// The arguments of import-csv and export-csv: STORE FILE.csv [--photos DIR].
struct CsvArguments {
    std::string store;
    std::string csv;
    std::string photos; // empty: no photo folder
};
bool parseCsvArguments(const Arguments& args, CsvArguments& out);

int runInfo(const Arguments& args);
int runDump(const Arguments& args);
int runCheck(const Arguments& args);
int runCreateRoster(const Arguments& args);
int runImportCsv(const Arguments& args);
int runExportCsv(const Arguments& args);
int runDelete(const Arguments& args);
int runPack(const Arguments& args);
int runClear(const Arguments& args);
int runSeedStores(const Arguments& args);
int runBackups(const Arguments& args);
int runRestore(const Arguments& args);
int runRepair(const Arguments& args);

} // namespace qr::tools
