// The names of the files the program keeps in its data directory. Qt-free.
#pragma once

#include <string_view>

namespace qr::roster {

inline constexpr std::string_view kRosterStoreFile = "xsdate.edb";   // with xsdate.EDT beside it
inline constexpr std::string_view kRecycleStoreFile = "deldate.edb"; // with deldate.EDT beside it
inline constexpr std::string_view kConfigFile = "config.ini";

} // namespace qr::roster
