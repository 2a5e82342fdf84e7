// How a program makes our driver known to the unixODBC driver manager: an
// odbcinst.ini of its own, naming the driver library by its absolute path, in a folder
// the manager is pointed at through ODBCSYSINI. The manager reads that location once,
// at the process's first ODBC call, so both steps come before it.
//
// The path in the file is absolute because the manager needs one; the file is written
// again whenever the driver it names is not the one found now, so a folder that moved
// (a copied run directory, a moved build tree) never keeps naming the old place.
#pragma once

#include <string>
#include <string_view>

namespace qr::xls {

// The name applications connect with (Driver={...}).
inline constexpr std::string_view kDriverName = "Microsoft Excel Driver (*.xls)";
inline constexpr std::string_view kDriverFileName = "libqrxlsodbc.so";
inline constexpr std::string_view kRegistrationFileName = "odbcinst.ini";

// The odbcinst.ini text registering the driver at `driverPath` (UTF-8, absolute).
std::string registrationText(std::string_view driverPath);

enum class Registration { Unchanged, Written, Failed };

// Makes `directory`/odbcinst.ini register the driver at `driverPath` (UTF-8 paths),
// unless it already says exactly that. A new text goes to a temporary file that is
// synced and renamed over the old one, so a reader sees the old or the new file whole.
// On failure, `problem` says why (UTF-8) and any old file is left as it was.
Registration registerDriver(const std::string& directory, std::string_view driverPath, std::string& problem);

// Points this process's driver manager at `directory`/odbcinst.ini; nothing is touched.
void useRegistrationIn(const std::string& directory);

} // namespace qr::xls
