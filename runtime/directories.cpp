#include "runtime/directories.h"

#include "runtime/gbk.h"

#include <cerrno>
#include <string>
#include <unistd.h>

namespace qr::runtime {
namespace {

struct ProgramLocation {
    bool found = false;
    Text directory;
    Text fileName;
};

std::string ownPathUtf8()
{
    std::string path(256, '\0');
    for (;;) {
        const ssize_t n = ::readlink("/proc/self/exe", path.data(), path.size());
        if (n < 0)
            return {};
        if (static_cast<size_t>(n) < path.size()) {
            path.resize(static_cast<size_t>(n));
            return path;
        }
        path.resize(path.size() * 2); // the name may have been cut: try again larger
    }
}

ProgramLocation& location()
{
    static ProgramLocation program = [] {
        ProgramLocation found;
        const Text path = utf8ToGbk(ownPathUtf8());
        const size_t slash = path.rfind('/');
        if (slash != Text::npos) {
            found.found = true;
            found.directory = path.substr(0, slash);
            found.fileName = path.substr(slash + 1);
        }
        return found;
    }();
    return program;
}

} // namespace

bool setUpRunDirectory()
{
    const ProgramLocation& program = location();
    if (!program.found)
        return false;
    const std::string directory = program.directory.empty() ? std::string("/") : gbkToUtf8(program.directory);
    return ::chdir(directory.c_str()) == 0;
}

const Text& runDirectory() { return location().directory; }

const Text& programFileName() { return location().fileName; }

Text currentDirectory()
{
    std::string path(256, '\0');
    while (::getcwd(path.data(), path.size()) == nullptr) {
        if (errno != ERANGE)
            return {};
        path.resize(path.size() * 2);
    }
    path.resize(path.find('\0'));
    return utf8ToGbk(path);
}

} // namespace qr::runtime
