#include "tests/tools/tool_runner.h"

#include "tests/support/file_bytes.h"

#include <atomic>
#include <cstdlib>
#include <sstream>

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace qr::tests {

std::vector<std::string> ToolResult::errorLines() const
{
    std::vector<std::string> lines;
    std::istringstream in(err);
    for (std::string line; std::getline(in, line);)
        lines.push_back(line);
    return lines;
}

RunningTool::RunningTool(const std::vector<std::string>& args)
{
    static std::atomic<int> serial{0};
    const std::string stem = "/tmp/qr-tool-" + std::to_string(::getpid()) + "-" + std::to_string(serial++);
    outPath_ = stem + ".out";
    errPath_ = stem + ".err";
    std::vector<std::string> argv = {QR_STORE_TOOL};
    argv.insert(argv.end(), args.begin(), args.end());
    std::vector<char*> raw;
    for (auto& a : argv)
        raw.push_back(a.data());
    raw.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 1, outPath_.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    posix_spawn_file_actions_addopen(&actions, 2, errPath_.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    pid_t pid = -1;
    if (posix_spawn(&pid, raw[0], &actions, nullptr, raw.data(), environ) == 0)
        pid_ = pid;
    posix_spawn_file_actions_destroy(&actions);
}

ToolResult RunningTool::wait()
{
    ToolResult r;
    if (pid_ < 0)
        return r;
    int status = 0;
    if (::waitpid(pid_, &status, 0) == pid_ && WIFEXITED(status))
        r.exitStatus = WEXITSTATUS(status);
    r.out = readText(outPath_);
    r.err = readText(errPath_);
    ::unlink(outPath_.c_str());
    ::unlink(errPath_.c_str());
    return r;
}

ToolResult runTool(const std::vector<std::string>& args) { return RunningTool(args).wait(); }

} // namespace qr::tests
