// The report list: a table of rows under a header of the stored columns, with
// grid lines and single whole-row selection. What programs call by (window id, list
// component id) is in report_list_ops.h.
#pragma once

#include "forms/kinds/report_list_ops.h"
#include "forms/kinds/report_rows_model.h"
#include "forms/registry/component_kind.h"

#include <QPointer>

#include <optional>
#include <string>
#include <string_view>

class QTableView;

namespace qr::forms {

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
