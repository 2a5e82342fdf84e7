// Runs the built quillroll-store as a child process and collects what it says.
#pragma once

#include <string>
#include <vector>

namespace qr::tests {

struct ToolResult {
    int exitStatus = -1;
    std::string out;
    std::string err;
    // Lines of standard error (the tool's refusals are exactly one line).
    std::vector<std::string> errorLines() const;
};

ToolResult runTool(const std::vector<std::string>& args);

// Starts the tool without waiting; wait() collects it.
class RunningTool {
public:
    explicit RunningTool(const std::vector<std::string>& args);
    ToolResult wait();

private:
    int pid_ = -1;
    std::string outPath_, errPath_;
};

} // namespace qr::tests
