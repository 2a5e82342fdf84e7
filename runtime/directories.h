// The run directory (the directory holding the program file, where every file
// of the program lives) and the current directory. Paths are GBK texts.
#pragma once

#include "runtime/value.h"

namespace qr::runtime {

// Splits the program's own path (/proc/self/exe) at its last "/" into the run
// directory and the program file name, and makes the run directory the current
// directory. Called once at start-up; false when the path cannot be found or
// the directory cannot be entered.
bool setUpRunDirectory();

// The run directory without a trailing "/" (empty for a program in "/"). Found
// from the program's own path on first use if setUpRunDirectory has not run.
const Text& runDirectory();

// The program file's name, without its directory.
const Text& programFileName();

// The process's current directory; the empty text if it cannot be found.
Text currentDirectory();

} // namespace qr::runtime
