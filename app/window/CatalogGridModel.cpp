#include "app/window/CatalogGridModel.h"

#include "app/qtedge/QtEdge.h"

CatalogGridModel::CatalogGridModel(TClientDataSet& table, std::vector<Column> columns, QObject* parent)
    : QAbstractTableModel(parent), table_(table), columns_(std::move(columns)) {
    ReadLayout();
    table_.AttachView(*this);
}

CatalogGridModel::~CatalogGridModel() { table_.DetachView(*this); }

// The row count and field numbers are read once per change of the table: Qt asks
// for them many times between changes and needs them to stay the same meanwhile.
// A table whose file lacks a column's field shows that column empty.
void CatalogGridModel::ReadLayout() {
    fieldNumbers_.assign(columns_.size(), 0);
    rows_ = 0;
    if (!table_.Active()) return;
    for (std::size_t i = 0; i < columns_.size(); ++i) {
        for (int f = 0; f < table_.FieldCount(); ++f) {
            if (table_.Fields(f).FieldName() == columns_[i].FieldName) fieldNumbers_[i] = table_.Fields(f).FieldNo();
        }
    }
    rows_ = table_.CountRecords();
}

int CatalogGridModel::rowCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : rows_; }

int CatalogGridModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(columns_.size());
}

QVariant CatalogGridModel::data(const QModelIndex& index, int role) const {
    if (role != Qt::DisplayRole || !index.isValid()) return {};
    const int fieldNo = fieldNumbers_.at(static_cast<std::size_t>(index.column()));
    if (fieldNo == 0) return {};
    // Painting may happen while the table's views are frozen in the middle of a
    // reload, when the rows read at the last change are no longer all there.
    try {
        return ToQString(table_.RowValue(index.row(), fieldNo));
    } catch (const std::exception&) {
        return {};
    }
}

QVariant CatalogGridModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation == Qt::Vertical) {
        if (role != Qt::DisplayRole) return {};
        return section == indicatorRow_ ? QStringLiteral("\u25B8") : QString();
    }
    if (section < 0 || section >= columnCount()) return {};
    const Column& column = columns_[static_cast<std::size_t>(section)];
    switch (role) {
        case Qt::DisplayRole:
            return ToQString(column.Caption);
        case Qt::ForegroundRole:
            return column.TitleColor;
        default:
            return {};
    }
}

Qt::ItemFlags CatalogGridModel::flags(const QModelIndex& index) const {
    return index.isValid() ? Qt::ItemIsEnabled | Qt::ItemIsSelectable : Qt::NoItemFlags;
}

void CatalogGridModel::SetTitleCaption(int column, std::string caption) {
    columns_.at(static_cast<std::size_t>(column)).Caption = std::move(caption);
    emit headerDataChanged(Qt::Horizontal, column, column);
}

void CatalogGridModel::SetTitleColor(int column, const QColor& color) {
    columns_.at(static_cast<std::size_t>(column)).TitleColor = color;
    emit headerDataChanged(Qt::Horizontal, column, column);
}

int CatalogGridModel::CurrentRow() const { return table_.Active() ? table_.CurrentRow() : -1; }

void CatalogGridModel::GoToRow(int row) {
    if (row < 0 || row >= rows_ || row == CurrentRow()) return;
    table_.GoToRow(row);
}

void CatalogGridModel::DataSetChanged() {
    beginResetModel();
    ReadLayout();
    indicatorRow_ = -1;
    endResetModel();
    MoveIndicator(CurrentRow());
    emit CurrentRowMoved(indicatorRow_, true);
}

void CatalogGridModel::CurrentRecordChanged() {
    MoveIndicator(CurrentRow());
    emit CurrentRowMoved(indicatorRow_, false);
}

void CatalogGridModel::MoveIndicator(int row) {
    const int previous = indicatorRow_;
    indicatorRow_ = row;
    if (previous >= 0 && previous < rows_) emit headerDataChanged(Qt::Vertical, previous, previous);
    if (row >= 0 && row < rows_) emit headerDataChanged(Qt::Vertical, row, row);
}
