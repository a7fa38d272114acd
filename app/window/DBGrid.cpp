#include "app/window/DBGrid.h"

#include <QGuiApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <optional>

#include "app/window/CatalogGridModel.h"
#include "text/Cp1250.h"

namespace {

TShiftState ShiftOf(Qt::KeyboardModifiers modifiers) {
    TShiftState shift = 0;
    if (modifiers & Qt::ShiftModifier) shift |= ssShift;
    if (modifiers & Qt::ControlModifier) shift |= ssCtrl;
    if (modifiers & Qt::AltModifier) shift |= ssAlt;
    return shift;
}

// The virtual key code of a key event, 0 for keys the window never asks about.
// A digit key of the main keyboard keeps its code whatever character the layout
// and the Shift key give it (on a Czech keyboard the unshifted keys type ě, š, ...),
// as far as the windowing system tells the key's position.
int VirtualKeyOf(const QKeyEvent& event) {
    const int key = event.key();
    if (key >= Qt::Key_0 && key <= Qt::Key_9) {
        const int digit = key - Qt::Key_0;
        return (event.modifiers() & Qt::KeypadModifier) ? vk::Numpad0 + digit : vk::Digit0 + digit;
    }
    if (QGuiApplication::platformName() == QLatin1String("xcb")) {
        // X keycodes 10 to 19 are the digit row 1 ... 9, 0.
        const quint32 code = event.nativeScanCode();
        if (code >= 10 && code <= 19) return code == 19 ? vk::Digit0 : vk::Digit0 + static_cast<int>(code) - 9;
    }
    if (key >= Qt::Key_F1 && key <= Qt::Key_F24) return 112 + (key - Qt::Key_F1);
    if (key >= Qt::Key_A && key <= Qt::Key_Z) return 'A' + (key - Qt::Key_A);
    switch (key) {
        case Qt::Key_Backspace: return vk::Back;
        case Qt::Key_Tab: return 9;
        case Qt::Key_Return:
        case Qt::Key_Enter: return vk::Return;
        case Qt::Key_Escape: return vk::Escape;
        case Qt::Key_Space: return 32;
        case Qt::Key_PageUp: return vk::Prior;
        case Qt::Key_PageDown: return vk::Next;
        case Qt::Key_End: return vk::End;
        case Qt::Key_Home: return vk::Home;
        case Qt::Key_Left: return vk::Left;
        case Qt::Key_Up: return vk::Up;
        case Qt::Key_Right: return vk::Right;
        case Qt::Key_Down: return vk::Down;
        case Qt::Key_Insert: return 45;
        case Qt::Key_Delete: return vk::Delete;
        default: return 0;
    }
}

}  // namespace

TTitleHeader::TTitleHeader(QWidget* parent) : QHeaderView(Qt::Horizontal, parent) {
    setMouseTracking(true);
    setCursor(Qt::PointingHandCursor);
}

// The base class sets the resize cursor over a column border only when no cursor
// is set and removes it elsewhere; the hand is put back around that.
void TTitleHeader::mouseMoveEvent(QMouseEvent* event) {
    if (cursor().shape() == Qt::PointingHandCursor) unsetCursor();
    QHeaderView::mouseMoveEvent(event);
    if (!testAttribute(Qt::WA_SetCursor)) setCursor(Qt::PointingHandCursor);
}

TDBGrid::TDBGrid(QWidget* parent) : QTableView(parent) {
    setHorizontalHeader(new TTitleHeader(this));
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setTabKeyNavigation(true);
    setShowGrid(true);
    setWordWrap(false);
    setCornerButtonEnabled(false);
    viewport()->setCursor(Qt::ArrowCursor);

    QHeaderView* titles = horizontalHeader();
    titles->setSectionsMovable(true);
    titles->setSectionsClickable(true);
    titles->setHighlightSections(false);
    titles->setSectionResizeMode(QHeaderView::Interactive);
    titles->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    titles->setStretchLastSection(false);

    QHeaderView* indicator = verticalHeader();
    indicator->setSectionResizeMode(QHeaderView::Fixed);
    indicator->setSectionsClickable(false);
    indicator->setHighlightSections(false);
    indicator->setDefaultAlignment(Qt::AlignCenter);
    indicator->setMinimumWidth(12);

    connect(titles, &QHeaderView::sectionClicked, this, [this](int column) {
        if (OnTitleClick) OnTitleClick(column);
    });
    connect(this, &QAbstractItemView::clicked, this, [this](const QModelIndex&) {
        if (OnCellClick) OnCellClick();
    });
    // Not "activated", which some styles give for a single click.
    connect(this, &QAbstractItemView::doubleClicked, this, [this](const QModelIndex& index) {
        if (index.isValid() && OnDblClick) OnDblClick();
    });
}

void TDBGrid::SetGridModel(CatalogGridModel* model) {
    model_ = model;
    setModel(model);
    connect(model, &CatalogGridModel::CurrentRowMoved, this, &TDBGrid::FollowTable);
    connect(selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            [this](const QModelIndex& current, const QModelIndex&) {
                if (!following_ && current.isValid()) model_->GoToRow(current.row());
            });
    const int rowHeight = fontMetrics().height() + 4;
    verticalHeader()->setDefaultSectionSize(rowHeight);
    verticalHeader()->setMinimumSectionSize(rowHeight);
    FollowTable(model->CurrentRow(), true);
}

void TDBGrid::ApplyColumnWidths(const std::vector<int>& fieldSizes) {
    const QFontMetrics cells = fontMetrics();
    const QFontMetrics titles = horizontalHeader()->fontMetrics();
    for (int column = 0; column < model_->columnCount(); ++column) {
        int width = model_->GridColumn(column).Width;
        if (width == 0) {
            const int titleWidth = titles.horizontalAdvance(model_->headerData(column, Qt::Horizontal, Qt::DisplayRole).toString());
            width = std::max(fieldSizes.at(static_cast<std::size_t>(column)) * cells.horizontalAdvance(QLatin1Char('0')) + 4,
                             titleWidth + 4);
        }
        horizontalHeader()->resizeSection(column, width);
    }
}

std::vector<int> TDBGrid::ColumnsInDisplayOrder() const {
    std::vector<int> columns;
    for (int visual = 0; visual < horizontalHeader()->count(); ++visual)
        columns.push_back(horizontalHeader()->logicalIndex(visual));
    return columns;
}

void TDBGrid::FollowTable(int row, bool rebuilt) {
    following_ = true;
    if (row < 0) {
        selectionModel()->clear();
    } else {
        const int column = currentIndex().isValid() ? currentIndex().column() : 0;
        const QModelIndex target = model_->index(row, column);
        selectionModel()->setCurrentIndex(target, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
        scrollTo(target, rebuilt ? QAbstractItemView::PositionAtCenter : QAbstractItemView::EnsureVisible);
    }
    following_ = false;
}

// The grid selects records, not cells: Home and End go to the first and the last
// record.
QModelIndex TDBGrid::moveCursor(CursorAction action, Qt::KeyboardModifiers modifiers) {
    if (action == MoveHome || action == MoveEnd) modifiers |= Qt::ControlModifier;
    return QTableView::moveCursor(action, modifiers);
}

namespace {

// The one Windows-1250 character the key types, if it types one: a printable
// character, with neither Ctrl nor Alt held. Keys without a character of their
// own (Delete carries U+007F) and commands such as Alt+letter or Ctrl+digit type
// nothing; AltGr, which this windowing system does not report as Ctrl or Alt,
// types its character.
std::optional<char> TypedCharacter(const QKeyEvent& event) {
    if (event.modifiers() & (Qt::ControlModifier | Qt::AltModifier)) return std::nullopt;
    const QList<uint> text = event.text().toUcs4();
    if (text.size() != 1 || !QChar::isPrint(text[0])) return std::nullopt;
    const std::optional<unsigned char> byte = cp1250::FromUnicode(text[0]);
    if (!byte) return std::nullopt;
    return static_cast<char>(*byte);
}

}  // namespace

// A key goes first to KeyDown, then to the grid's own handling (moving the
// selection, the delete key), and last, as a character, to KeyPress: the order in
// which a key reaches a grid as key-down and character messages. Only a key that
// types a character the Windows-1250 code page holds reaches KeyPress.
void TDBGrid::keyPressEvent(QKeyEvent* event) {
    int key = VirtualKeyOf(*event);
    const TShiftState shift = ShiftOf(event->modifiers());
    if (key != 0 && OnKeyDown) OnKeyDown(key, shift);

    if (key == vk::Delete && (shift & ssCtrl)) {
        if (OnDeleteKey) OnDeleteKey();
        event->accept();
    } else if (key != 0) {
        QTableView::keyPressEvent(event);
    }

    const std::optional<char> typed = TypedCharacter(*event);
    if (!typed || !OnKeyPress) return;
    char character = *typed;
    OnKeyPress(character);
    event->accept();
}
