#pragma once
// The data grid: a table view over CatalogGridModel that selects whole rows,
// never edits, keeps its selection on the table's current record and hands its
// keyboard and mouse events to the owning window as events named like the form's
// (KeyDown with a virtual key code, KeyPress with one Windows-1250 character,
// TitleClick, CellClick, DblClick on a record, the Ctrl+Delete delete key).
#include <QHeaderView>
#include <QTableView>
#include <functional>

class CatalogGridModel;

// Modifier keys as the grid's key events report them.
enum TShiftKey : unsigned { ssShift = 1, ssCtrl = 2, ssAlt = 4 };
using TShiftState = unsigned;

// Neither Shift, Ctrl nor Alt held.
inline bool NoModifier(TShiftState shift) { return (shift & (ssShift | ssCtrl | ssAlt)) == 0; }

// Virtual key codes the window reacts to.
namespace vk {
inline constexpr int Back = 8, Return = 13, Escape = 27, Prior = 33, Next = 34, End = 35, Home = 36, Left = 37,
                     Up = 38, Right = 39, Down = 40, Delete = 46, Digit0 = 48, Digit9 = 57, Numpad0 = 96,
                     Numpad9 = 105, F3 = 114, F4 = 115, F7 = 118;
}

// The title row: a column title is clicked to sort by it, so the pointer over a
// title is the hand, except over a column border where it shows that the column
// can be resized.
class TTitleHeader : public QHeaderView {
    Q_OBJECT
public:
    explicit TTitleHeader(QWidget* parent);

protected:
    void mouseMoveEvent(QMouseEvent* event) override;
};

class TDBGrid : public QTableView {
    Q_OBJECT
public:
    explicit TDBGrid(QWidget* parent = nullptr);

    void SetGridModel(CatalogGridModel* model);
    CatalogGridModel* GridModel() const { return model_; }

    // Gives each column its width: the model's, or for a column without one the
    // field size in "0" digits plus 4 pixels, at least its title plus 4 pixels.
    void ApplyColumnWidths(const std::vector<int>& fieldSizes);

    // Column numbers of the model, left to right as the user sees them.
    std::vector<int> ColumnsInDisplayOrder() const;

    std::function<void(int& key, TShiftState shift)> OnKeyDown;
    std::function<void(char& key)> OnKeyPress;
    std::function<void(int column)> OnTitleClick;
    std::function<void()> OnCellClick;
    std::function<void()> OnDblClick;  // the record double-clicked is the current one
    std::function<void()> OnDeleteKey;

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void keyboardSearch(const QString&) override {}
    QModelIndex moveCursor(CursorAction action, Qt::KeyboardModifiers modifiers) override;

private:
    // Selects the row; a rebuilt table shows it in the middle row where it can,
    // otherwise it is scrolled into view only as far as needed.
    void FollowTable(int row, bool rebuilt);

    CatalogGridModel* model_ = nullptr;
    bool following_ = false;  // true while the selection is moved to the table's cursor
};
