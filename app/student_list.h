// The report lists of the main and deleted-students windows: one row per record,
// nineteen columns (every field but the photo), row r showing record r + 1.
#pragma once

#include "roster/columns.h"
#include "runtime/value.h"

#include <array>
#include <cstdint>
#include <functional>
#include <optional>
#include <string_view>

namespace qr::app {

class RosterStore;

// The nineteen texts of the current record of the store as its list row shows them.
std::array<runtime::Text, roster::kColumnCount> listedTexts(RosterStore& source);

// Opens the store at `path` and calls `visit` on each record in record order, the
// store being at that record; closes it. Returns the store's record count, or
// nothing when the store cannot be opened. Only reads.
std::optional<std::int32_t> visitRecords(std::string_view path, const std::function<void(RosterStore&)>& visit);

// Appends one row filled from the current record of the store.
void appendRowFromCurrentRecord(RosterStore& source, std::uint32_t windowId, std::uint32_t listId);

// Empties the list and fills it from the store at `path` in record order. Returns
// the store's record count, or nothing when the store cannot be opened.
std::optional<std::int32_t> fillListFromStore(std::uint32_t windowId, std::uint32_t listId, std::string_view path);

// The list's selected row when it names a listed record, else -1.
int selectedRow(std::uint32_t windowId, std::uint32_t listId);

} // namespace qr::app
