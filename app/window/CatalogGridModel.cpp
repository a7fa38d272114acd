#include "app/window/CatalogGridModel.h"

#include <QFont>

#include "app/qtedge/QtEdge.h"
#include "layout/CatalogLayout.h"
#include "text/Cp1250.h"

namespace {

// Grey enough to tell lent films apart, dark enough to read on white (5.9 : 1).
const QColor kLentColor(0x5f, 0x5f, 0x5f);

}  // namespace

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
    discField_ = 0;
    rows_ = 0;
    if (!table_.Active()) return;
    for (int f = 0; f < table_.FieldCount(); ++f)
        if (table_.Fields(f).FieldName() == FilmFieldName(kCdNumber)) discField_ = table_.Fields(f).FieldNo();
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
    if (!index.isValid()) return {};
    if (role == Qt::FontRole || role == Qt::ForegroundRole || role == Qt::ToolTipRole) {
        const Loan* loan = LoanOfRow(index.row());
        if (!loan) return {};
        if (role == Qt::ToolTipRole) return ToQString(cp1250::FromUtf8("Půjčeno: ") + LentText(*loan));
        if (role == Qt::ForegroundRole) return kLentColor;
        QFont italic;
        italic.setItalic(true);
        return italic;
    }
    if (role != Qt::DisplayRole) return {};
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

void CatalogGridModel::SetLoans(const LoanBook* loans) {
    loans_ = loans;
    if (rows_ > 0) emit dataChanged(index(0, 0), index(rows_ - 1, columnCount() - 1));
}

const Loan* CatalogGridModel::LoanOfRow(int row) const {
    if (!loans_ || loans_->empty() || discField_ == 0 || row < 0 || row >= rows_) return nullptr;
    try {
        const std::string disc = table_.RowValue(row, discField_);
        // A null S3 is disc 0, as everywhere discs are counted.
        const auto loan = loans_->find(disc.empty() ? 0 : static_cast<std::int32_t>(std::stol(disc)));
        return loan == loans_->end() ? nullptr : &loan->second;
    } catch (const std::exception&) {
        return nullptr;  // the rows are being reread: see data()
    }
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
