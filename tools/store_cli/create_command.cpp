#include "roster/store_layout.h"
#include "runtime/gbk.h"
#include "store/check/raw_layout.h"
#include "tools/store_cli/cli_commands.h"
#include "tools/store_cli/cli_support.h"

#include <cerrno>
#include <cstring>

#include <sys/stat.h>
#include <unistd.h>

namespace qr::tools {
namespace {

bool exists(const std::string& pathUtf8)
{
    struct stat st {};
    return ::lstat(pathUtf8.c_str(), &st) == 0;
}

std::string folderOf(const std::string& pathUtf8)
{
    const std::size_t slash = pathUtf8.rfind('/');
    if (slash == std::string::npos)
        return ".";
    return slash == 0 ? "/" : pathUtf8.substr(0, slash);
}

// Why a store cannot be made at this path, or empty when nothing stands in the way
// that can be seen beforehand. The engine reports every failure of creation with
// one code, so the cause is found here, in words.
std::string obstacle(const std::string& name, const std::string& dataUtf8)
{
    const std::size_t slash = name.rfind('/');
    const std::string last = slash == std::string::npos ? name : name.substr(slash + 1);
    if (last.empty() || last == "." || last == "..")
        return name + " names a folder, not a store file";
    struct stat st {};
    if (::stat(name.c_str(), &st) == 0 && S_ISDIR(st.st_mode))
        return name + " is a folder, not a store file";
    const std::string folder = folderOf(dataUtf8);
    if (::stat(folder.c_str(), &st) != 0)
        return "the folder " + folder + " cannot be used: " + std::strerror(errno);
    if (!S_ISDIR(st.st_mode))
        return folder + " is not a folder";
    if (::access(folder.c_str(), W_OK | X_OK) != 0)
        return "cannot make files in the folder " + folder + ": " + std::strerror(errno);
    return {};
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
    const std::string dataUtf8 = runtime::gbkToUtf8(dataName);
    if (const std::string why = obstacle(args[0], dataUtf8); !why.empty())
        return refuse("cannot create " + args[0] + ": " + why);
    for (const std::string& file : {dataName, auxName})
        if (exists(runtime::gbkToUtf8(file)))
            return refuse(runtime::gbkToUtf8(file) + " exists already; a new roster is made only where none is");

    errno = 0;
    if (!store::createStore(name, roster::rosterFieldSpecs())) {
        // The engine's code says only that creation failed; the system's error of the
        // file call that failed, when there is one, says why.
        const int err = errno;
        std::string cause = resultText(store::lastError());
        if (err != 0)
            cause += ": " + std::string(std::strerror(err));
        printError("cannot create " + args[0] + ": " + cause);
        return kExitFailed;
    }
    return kExitOk;
}

} // namespace qr::tools
