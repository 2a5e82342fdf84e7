// What the printed class list and photo contact sheet show, read from the roster
// store record by record the way the main list is filled: the same texts in the
// same order, and the photos as stored. Reading changes nothing in the store.
#pragma once

#include "app/print/printed_roster.h"

#include <optional>
#include <string_view>

namespace qr::app {

// The face printing uses: the lists' default face (宋体 and its stand-in here).
QFont printFont();

// Nothing when the store cannot be opened.
std::optional<print::ClassList> classListFromStore(std::string_view path, const print::PageHeading& heading);
std::optional<print::ContactSheet> contactSheetFromStore(std::string_view path, const print::PageHeading& heading);

} // namespace qr::app
