// The report list: a table of rows under a header of the stored columns, with
// grid lines and single whole-row selection. The operations below are what the
// application calls by (window id, list component id); a window that is not
// loaded, or a component that is no report list, is the runtime error
// "指定窗口或窗口组件不存在或尚未载入".
#pragma once

#include "forms/kinds/report_rows_model.h"
#include "forms/registry/component_kind.h"

#include <QPointer>

#include <optional>
#include <string>
#include <string_view>

class QTableView;

namespace qr::forms {

namespace report_list {

// Inserts a row before `position` (negative: after the last row) with `text` in
// column 0; an image below -1 becomes -1, a negative indent 0. Returns the new
// row's index, -1 on failure.
int insertRow(std::uint32_t windowId, std::uint32_t listId, int position = -1, std::string_view textGbk = {},
              std::int32_t image = -1, std::optional<std::int32_t> stateImage = std::nullopt,
              std::int32_t indent = 0, std::int32_t value = 0);
// Sets the text of a cell; a row or column that does not exist is left alone.
void setCellText(std::uint32_t windowId, std::uint32_t listId, int row, int column = 0,
                 std::string_view textGbk = {});
// The whole text of a cell (however long); empty for a row or column that does not exist.
std::string cellText(std::uint32_t windowId, std::uint32_t listId, int row, int column = 0);
int rowCount(std::uint32_t windowId, std::uint32_t listId);
bool deleteRow(std::uint32_t windowId, std::uint32_t listId, int row);
bool deleteAllRows(std::uint32_t windowId, std::uint32_t listId);
// The first selected row, -1 when none (property 35).
int currentRow(std::uint32_t windowId, std::uint32_t listId);

} // namespace report_list

// The stored column list block, and back (entries back to back until the block ends;
// nullopt when an entry is cut short).
Bytes encodeListColumns(const std::vector<ListColumn>& columns);
std::optional<std::vector<ListColumn>> decodeListColumns(const Bytes& block);

class ReportListObject : public ComponentObject {
public:
    ReportListObject(const CreateRequest& request, const ReportListSettings& settings);

    QTableView* view() const { return view_; }
    kinds::ReportRowsModel& rows() const { return *model_; }
    ReportListSettings currentSettings() const;

    int currentRow() const;
    void setCurrentRow(int row);
    bool deleteAllRows();

    int setProperty(int index, const runtime::Value& value);
    runtime::Value property(int index) const;

private:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void applyLook();

    ReportListSettings settings_;
    QPointer<QTableView> view_;
    kinds::ReportRowsModel* model_ = nullptr;
    bool removingSelected_ = false;
    int hotRow_ = -1;
};

} // namespace qr::forms
