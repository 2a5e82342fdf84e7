#include "roster/store_layout.h"
#include "runtime/gbk.h"
#include "store/check/raw_layout.h"
#include "tools/store_cli/cli_commands.h"
#include "tools/store_cli/cli_support.h"

#include <sys/stat.h>

namespace qr::tools {
namespace {

bool exists(const std::string& pathUtf8)
{
    struct stat st {};
    return ::lstat(pathUtf8.c_str(), &st) == 0;
}

} // namespace

int runCreateRoster(const Arguments& args)
{
    if (args.size() != 1)
        return refuse("usage: quillroll-store create-roster STORE");
    std::string name;
    if (!argumentToGbk(args[0], name))
        return refuse("the store name is not valid UTF-8");
    // Neither file may exist: a stray auxiliary file would otherwise be taken over
    // with blocks that no record owns.
    const std::string dataName = store::check::dataFileName(name);
    const std::string auxName = store::check::auxFileName(dataName);
    for (const std::string& file : {dataName, auxName})
        if (exists(runtime::gbkToUtf8(file)))
            return refuse(runtime::gbkToUtf8(file) + " exists already; a new roster is made only where none is");

    if (!store::createStore(name, roster::rosterFieldSpecs())) {
        printError("cannot create " + args[0] + ": " + resultText(store::lastError()));
        return kExitFailed;
    }
    return kExitOk;
}

} // namespace qr::tools
