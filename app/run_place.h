// Where this run of the program keeps its files and finds its spreadsheet driver,
// settled once at start-up, before the first window and the first ODBC call.
#pragma once

#include "roster/data_place.h"
#include "runtime/value.h"

#include <optional>
#include <string>

namespace qr::app {

// The driver library that came with the program in `programDirectory` (GBK): beside it
// in a portable run directory, in <prefix>/lib/<multiarch>/quillroll once installed.
// Its absolute path with links resolved (UTF-8), or nothing when none is there.
std::optional<std::string> findDriver(const runtime::Text& programDirectory);

struct RunPlace {
    roster::DataPlace data;
    std::optional<std::string> driver; // UTF-8
};

// Chooses the data place for the program in `programDirectory` (roster/data_place.h)
// and prepares it, makes it the application's data directory and the current
// directory, registers the driver found beside the program there and points the
// driver manager at it. What went wrong is added to `problems` (UTF-8, one line each);
// the program starts all the same, and what cannot work then says so where it fails
// (a store that cannot be opened, a workbook that cannot be connected to).
RunPlace settleRunPlace(const runtime::Text& programDirectory, std::string& problems);

} // namespace qr::app
