// The report lists of the main and deleted-students windows: one row per record,
// nineteen columns (every field but the photo), row r showing record r + 1.
#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

namespace qr::app {

class RosterStore;

// Appends one row filled from the current record of the store.
void appendRowFromCurrentRecord(RosterStore& source, std::uint32_t windowId, std::uint32_t listId);

// Empties the list and fills it from the store at `path` in record order. Returns
// the store's record count, or nothing when the store cannot be opened.
std::optional<std::int32_t> fillListFromStore(std::uint32_t windowId, std::uint32_t listId, std::string_view path);

// The list's selected row when it names a listed record, else -1.
int selectedRow(std::uint32_t windowId, std::uint32_t listId);

} // namespace qr::app
