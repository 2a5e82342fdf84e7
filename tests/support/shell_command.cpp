#include "tests/support/shell_command.h"

#include <cstdio>
#include <sys/wait.h>

namespace qr::test_support {

std::string shellQuoted(std::string_view text)
{
    std::string quoted = "'";
    for (char c : text)
        quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return quoted + "'";
}

std::string runShell(const std::string& command, int& status)
{
    status = -1;
    std::string out;
    FILE* pipe = ::popen(command.c_str(), "r");
    if (!pipe)
        return out;
    char buffer[65536];
    std::size_t got = 0;
    while ((got = std::fread(buffer, 1, sizeof buffer, pipe)) > 0)
        out.append(buffer, got);
    const int ended = ::pclose(pipe);
    if (ended != -1 && WIFEXITED(ended))
        status = WEXITSTATUS(ended);
    return out;
}

} // namespace qr::test_support
