// The rows of a report list: one GBK text per column, kept byte for byte, plus the
// row's image, state image, indent and item value. Rows and columns count from 0.
#pragma once

#include "forms/template/template_types.h"

#include <QAbstractTableModel>

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace qr::forms::kinds {

struct ReportRow {
    std::vector<std::string> cells; // GBK; cells[0] is the row's item text
    std::int32_t image = -1;
    std::optional<std::int32_t> stateImage;
    std::int32_t indent = 0;
    std::int32_t value = 0;
};

class ReportRowsModel : public QAbstractTableModel {
public:
    // sortOrder 1 keeps the rows ascending by their item text, 2 descending; the
    // position given to an insertion is then not used.
    explicit ReportRowsModel(std::vector<ListColumn> columns, QObject* parent = nullptr, int sortOrder = 0);

    const std::vector<ListColumn>& columns() const { return columns_; }

    // Inserts before `position` (negative or past the end: after the last row);
    // returns the new row's index.
    int insertRowAt(int position, std::string_view text, std::int32_t image = -1,
                    std::optional<std::int32_t> stateImage = std::nullopt, std::int32_t indent = 0,
                    std::int32_t value = 0);
    // False when the row or column does not exist.
    bool setCell(int row, int column, std::string_view text);
    // Empty for a row or column that does not exist.
    std::string cell(int row, int column) const;
    const ReportRow* row(int index) const;
    bool removeRowAt(int row);
    void removeAll();
    int count() const { return int(rows_.size()); }

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;

private:
    Qt::Alignment alignment(int column) const;

    int sortedPosition(std::string_view text) const;

    std::vector<ListColumn> columns_;
    std::vector<ReportRow> rows_;
    int sortOrder_ = 0;
};

} // namespace qr::forms::kinds
