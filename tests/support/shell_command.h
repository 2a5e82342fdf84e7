// Commands a test runs through the shell: an argument quoted for sh, and what a
// command printed with how it ended.
#pragma once

#include <string>
#include <string_view>

namespace qr::test_support {

// `text` in single quotes, each single quote inside it written as '\''.
std::string shellQuoted(std::string_view text);

// Runs `command` with sh and returns what it wrote to standard output; `status` gets
// its exit status, or -1 when it could not be started or did not exit.
std::string runShell(const std::string& command, int& status);

} // namespace qr::test_support
