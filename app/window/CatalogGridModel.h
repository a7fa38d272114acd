#pragma once
// The grid's model: the catalogue table seen as rows and columns.
//
// Rows are the table's records in the order of its active index, read by position
// without moving the table's cursor. Columns are fixed grid columns, each bound to
// a field by name and carrying its own title caption and title colour; the sort
// routine and the typed search read and change these. The model is a view of the
// table: the table tells it of changes and cursor moves (TDataSetView) and it
// passes them on as Qt signals.
//
// The films of a lent disc are shown grey and italic, with a tool tip naming
// who has the disc and since when; the loans are the main window's, which tells
// the model when they change.
#include <QAbstractTableModel>
#include <QColor>
#include <string>
#include <vector>

#include "app/core/Loans.h"
#include "table/ClientDataSet.h"

class CatalogGridModel : public QAbstractTableModel, public TDataSetView {
    Q_OBJECT
public:
    struct Column {
        std::string FieldName;
        std::string Caption;  // Windows-1250
        QColor TitleColor;
        int Width = 0;        // 0: the default width worked out by the grid
    };

    CatalogGridModel(TClientDataSet& table, std::vector<Column> columns, QObject* parent = nullptr);
    ~CatalogGridModel() override;

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;

    const Column& GridColumn(int column) const { return columns_.at(static_cast<std::size_t>(column)); }
    void SetTitleCaption(int column, std::string caption);
    void SetTitleColor(int column, const QColor& color);
    // The loans to show; they must outlive the model or be replaced first.
    void SetLoans(const LoanBook* loans);
    // The loan of the disc the film at that row is on, or none.
    const Loan* LoanOfRow(int row) const;

    // The table's current record as a row, -1 when it has none.
    int CurrentRow() const;
    // Makes the record at that row current; nothing when it is already.
    void GoToRow(int row);

    void DataSetChanged() override;
    void CurrentRecordChanged() override;

signals:
    // The grid's selection must follow the table's cursor to this row (-1: none);
    // rebuilt when the table's records were read anew (a reload, a return to a
    // bookmark), which shows the row in the middle of the grid where it can.
    void CurrentRowMoved(int row, bool rebuilt);

private:
    void ReadLayout();
    void MoveIndicator(int row);

    TClientDataSet& table_;
    std::vector<Column> columns_;
    std::vector<int> fieldNumbers_;  // per column; 0 when the table has no such field
    int discField_ = 0;              // S3's field number; 0 when the table has none
    const LoanBook* loans_ = nullptr;
    int rows_ = 0;
    int indicatorRow_ = -1;  // the row whose indicator shows the current-record mark
};
