// Writing imported list rows into the roster store in place of the students it
// held, without ever losing the roster on the way.
#pragma once

#include "app/spreadsheet_sql.h"

#include <string_view>
#include <vector>

namespace qr::app {

// The twenty store values of one list row: 序号 and 身高 as doubles and 体重 as a
// float by the runtime's text-to-number rule (so "abc" is 0), an empty photo, the
// other sixteen columns as texts.
std::vector<runtime::Value> storeValuesOfRow(const SheetRow& row);

// Makes the rows, in order, the whole content of the store at `path`. The new
// records are appended after the old ones first; only when every one of them is in
// are the old records deleted and the store packed. When an append fails the
// appended records are taken out again and the store is as it was. False on any
// failure (also when the store cannot be opened).
bool replaceStoreContent(std::string_view path, const std::vector<SheetRow>& rows);

} // namespace qr::app
