#include "forms/kinds/report_rows_model.h"

#include "forms/registry/qt_text.h"

namespace qr::forms::kinds {

ReportRowsModel::ReportRowsModel(std::vector<ListColumn> columns, QObject* parent, int sortOrder)
    : QAbstractTableModel(parent)
    , columns_(std::move(columns))
    , sortOrder_(sortOrder == 1 || sortOrder == 2 ? sortOrder : 0)
{}

int ReportRowsModel::sortedPosition(std::string_view text) const
{
    // Case does not decide the order, as in the platform's sorted lists; equal
    // texts keep their insertion order.
    const QString key = toQString(text);
    int at = 0;
    while (at < count()) {
        const int c = QString::compare(toQString(rows_[std::size_t(at)].cells[0]), key, Qt::CaseInsensitive);
        if (sortOrder_ == 1 ? c > 0 : c < 0)
            break;
        ++at;
    }
    return at;
}

int ReportRowsModel::insertRowAt(int position, std::string_view text, std::int32_t image,
                                 std::optional<std::int32_t> stateImage, std::int32_t indent, std::int32_t value)
{
    const int at = sortOrder_ != 0 ? sortedPosition(text) : position < 0 || position > count() ? count() : position;
    beginInsertRows({}, at, at);
    ReportRow row;
    row.cells.resize(std::max<std::size_t>(1, columns_.size()));
    row.cells[0] = std::string(text);
    row.image = image < -1 ? -1 : image;
    row.stateImage = stateImage;
    row.indent = std::max(0, indent);
    row.value = value;
    rows_.insert(rows_.begin() + at, std::move(row));
    endInsertRows();
    return at;
}

bool ReportRowsModel::setCell(int row, int column, std::string_view text)
{
    if (row < 0 || row >= count() || column < 0 || std::size_t(column) >= rows_[std::size_t(row)].cells.size())
        return false;
    rows_[std::size_t(row)].cells[std::size_t(column)] = std::string(text);
    const QModelIndex changed = index(row, column);
    emit dataChanged(changed, changed);
    return true;
}

std::string ReportRowsModel::cell(int row, int column) const
{
    if (row < 0 || row >= count() || column < 0 || std::size_t(column) >= rows_[std::size_t(row)].cells.size())
        return {};
    return rows_[std::size_t(row)].cells[std::size_t(column)];
}

const ReportRow* ReportRowsModel::row(int index) const
{
    return index >= 0 && index < count() ? &rows_[std::size_t(index)] : nullptr;
}

bool ReportRowsModel::removeRowAt(int row)
{
    if (row < 0 || row >= count())
        return false;
    beginRemoveRows({}, row, row);
    rows_.erase(rows_.begin() + row);
    endRemoveRows();
    return true;
}

void ReportRowsModel::removeAll()
{
    beginResetModel();
    rows_.clear();
    endResetModel();
}

int ReportRowsModel::rowCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : count(); }

int ReportRowsModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : int(columns_.size());
}

Qt::Alignment ReportRowsModel::alignment(int column) const
{
    // The first column of a report list is always drawn left-aligned.
    if (column <= 0 || std::size_t(column) >= columns_.size())
        return Qt::AlignLeft | Qt::AlignVCenter;
    const int a = columns_[std::size_t(column)].alignment;
    return (a == 1 ? Qt::AlignHCenter : a == 2 ? Qt::AlignRight : Qt::AlignLeft) | Qt::AlignVCenter;
}

QVariant ReportRowsModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid())
        return {};
    switch (role) {
    case Qt::DisplayRole:
    case Qt::ToolTipRole: {
        const QString text = toQString(cell(index.row(), index.column()));
        return role == Qt::ToolTipRole && text.isEmpty() ? QVariant() : QVariant(text);
    }
    case Qt::TextAlignmentRole: return QVariant::fromValue(alignment(index.column()));
    default: return {};
    }
}

QVariant ReportRowsModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || section < 0 || std::size_t(section) >= columns_.size())
        return {};
    if (role == Qt::DisplayRole)
        return toQString(columns_[std::size_t(section)].title);
    if (role == Qt::TextAlignmentRole)
        return QVariant::fromValue(alignment(section));
    return {};
}

Qt::ItemFlags ReportRowsModel::flags(const QModelIndex& index) const
{
    return index.isValid() ? Qt::ItemIsEnabled | Qt::ItemIsSelectable : Qt::NoItemFlags;
}

} // namespace qr::forms::kinds
