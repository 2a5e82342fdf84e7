#include "app/spreadsheet_dialog.h"

#include "app/component_ids.h"
#include "forms/kinds/common_dialog.h"
#include "forms/kinds/report_list_ops.h"
#include "forms/registry/window_registry.h"
#include "runtime/directories.h"

namespace qr::app {

using runtime::Value;

namespace {
constexpr int kOpenFile = 0;
constexpr int kSaveFile = 1;
constexpr std::size_t kLongestFolder = 260; // longer folders are not offered
} // namespace

std::optional<runtime::Text> chooseSpreadsheetFile(bool save)
{
    constexpr std::uint32_t kFileDialog = main_window::kFileDialog;
    forms::writeProperty(kMainWindow, kFileDialog, property::kDialogType, Value::integer(save ? kSaveFile : kOpenFile));
    runtime::Text folder = runtime::currentDirectory();
    if (folder.size() > kLongestFolder)
        folder.clear();
    forms::writeProperty(kMainWindow, kFileDialog, property::kDialogInitialFolder, Value::text(folder));
    if (!forms::openCommonDialog(kMainWindow, kFileDialog))
        return std::nullopt;
    return forms::readProperty(kMainWindow, kFileDialog, property::kDialogFileName).asText();
}

std::vector<SheetRow> mainListRows()
{
    namespace list = forms::report_list;
    const int count = list::rowCount(kMainWindow, main_window::kList);
    std::vector<SheetRow> rows(static_cast<std::size_t>(std::max(count, 0)));
    for (int r = 0; r < count; ++r)
        for (std::size_t c = 0; c < roster::kColumnCount; ++c)
            rows[r][c] = list::cellText(kMainWindow, main_window::kList, r, static_cast<int>(c));
    return rows;
}

} // namespace qr::app
