// seed-stores: the empty roster and recycle stores of a run directory. A store that
// exists is never touched, so the teacher's records survive every rebuild and every
// install; half a store (only its data file, or only its auxiliary file) is left for a
// person to look at and reported.
#include "roster/files.h"
#include "roster/store_layout.h"
#include "runtime/gbk.h"
#include "store/check/raw_layout.h"
#include "tools/store_cli/cli_commands.h"
#include "tools/store_cli/cli_support.h"

#include <iostream>
#include <string>
#include <sys/stat.h>

namespace qr::tools {
namespace {

bool exists(const std::string& pathGbk)
{
    struct stat st {};
    return ::lstat(runtime::gbkToUtf8(pathGbk).c_str(), &st) == 0;
}

} // namespace

int runSeedStores(const Arguments& args)
{
    if (args.size() != 1)
        return refuse("usage: quillroll-store seed-stores DIR");
    std::string dir;
    if (!argumentToGbk(args[0], dir))
        return refuse("the folder name is not valid UTF-8");
    struct stat st {};
    if (::stat(args[0].c_str(), &st) != 0 || !S_ISDIR(st.st_mode))
        return refuse(args[0] + " is not a folder");
    while (dir.size() > 1 && dir.back() == '/')
        dir.pop_back();

    int status = kExitOk;
    for (std::string_view file : {roster::kRosterStoreFile, roster::kRecycleStoreFile}) {
        const std::string data = dir + "/" + std::string(file);
        const std::string aux = store::check::auxFileName(data);
        const bool hasData = exists(data);
        const bool hasAux = exists(aux);
        if (hasData && hasAux)
            continue;
        if (hasData || hasAux) {
            printError("only one of " + runtime::gbkToUtf8(data) + " and " + runtime::gbkToUtf8(aux) +
                       " is there; left as it is (remove it to get a new empty store)");
            continue;
        }
        if (!store::createStore(data, roster::rosterFieldSpecs())) {
            printError("cannot create " + runtime::gbkToUtf8(data) + ": " + resultText(store::lastError()));
            status = kExitFailed;
            continue;
        }
        std::cout << "created the empty store " << runtime::gbkToUtf8(data) << "\n";
    }
    return status;
}

} // namespace qr::tools
