// The report-list operations a program calls by (window id, list component id); a
// window that is not loaded, or a component that is no report list, is the runtime
// error "指定窗口或窗口组件不存在或尚未载入". Qt-free.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace qr::forms::report_list {

// Inserts a row before `position` (negative: after the last row) with `text` in
// column 0; an image below -1 becomes -1, a negative indent 0. Returns the new
// row's index, -1 on failure.
int insertRow(std::uint32_t windowId, std::uint32_t listId, int position = -1, std::string_view textGbk = {},
              std::int32_t image = -1, std::optional<std::int32_t> stateImage = std::nullopt, std::int32_t indent = 0,
              std::int32_t value = 0);
// Sets the text of a cell; a row or column that does not exist is left alone.
void setCellText(std::uint32_t windowId, std::uint32_t listId, int row, int column = 0, std::string_view textGbk = {});
// The whole text of a cell (however long); empty for a row or column that does not exist.
std::string cellText(std::uint32_t windowId, std::uint32_t listId, int row, int column = 0);
int rowCount(std::uint32_t windowId, std::uint32_t listId);
bool deleteRow(std::uint32_t windowId, std::uint32_t listId, int row);
bool deleteAllRows(std::uint32_t windowId, std::uint32_t listId);
// The first selected row, -1 when none (property 35).
int currentRow(std::uint32_t windowId, std::uint32_t listId);

} // namespace qr::forms::report_list
