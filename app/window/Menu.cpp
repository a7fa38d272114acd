#include "app/window/Menu.h"

#include <QActionGroup>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QEventLoop>
#include <QFile>
#include <QFontDatabase>
#include <QFrame>
#include <QGuiApplication>
#include <QMenu>
#include <QScreen>
#include <QToolBar>
#include <QToolButton>
#include <QVBoxLayout>
#include <charconv>
#include <optional>

#include "app/core/CatalogHome.h"
#include "app/core/FindMatch.h"
#include "app/core/Global.h"
#include "app/window/CatalogGridModel.h"
#include "app/window/DBGrid.h"
#include "dialogs/Hledej.h"
#include "dialogs/Pomoc.h"
#include "dialogs/QtEdge.h"
#include "dialogs/Seznam.h"
#include "dialogs/Uprav.h"
#include "text/Cp1250.h"

namespace {

const QColor kSortTitleColor(255, 0, 0);
const std::string kFirstSort = "S1;S2;S3";

QFont WindowFont() {
    QFont font = QFontDatabase::hasFamily(QStringLiteral("MS Sans Serif"))
                     ? QFont(QStringLiteral("MS Sans Serif"))
                     : QFontDatabase::systemFont(QFontDatabase::GeneralFont);
    font.setStyleHint(QFont::SansSerif);
    font.setPointSize(8);
    return font;
}

struct GridColumnDef {
    const char* field;
    const char* caption;  // UTF-8
    int width;            // 0: the grid's default width
    int fieldSize;        // characters, for the default width
};

const GridColumnDef kGridColumns[] = {
    {"S1", "Název anglicky", 240, 50}, {"S2", "Název česky", 240, 50}, {"S3", "č. CD", 32, 11},
    {"S4", "Znění", 0, 2},             {"S5", "Titulky", 40, 11},     {"S6", "ks CD", 32, 11},
    {"S7", "Poznámka", 0, 100},
};

struct SortItemDef {
    QAction* TMenuF::*item;
    const char* caption;  // UTF-8
    const char* fields;
};

const SortItemDef kSortItems[] = {
    {&TMenuF::NazEnPop, "Název anglicky", "S1;S2;S3"}, {&TMenuF::NazCzPop, "Název česky", "S2;S1;S3"},
    {&TMenuF::CisCDPop, "č. CD", "S3;S1;S2"},          {&TMenuF::ZneniPop, "Znění", "S4;S5;S1;S2;S3"},
    {&TMenuF::TitulkyPop, "Titulky", "S5;S4;S1;S2;S3"}, {&TMenuF::ksCDPop, "ks CD", "S6;S3;S1;S2"},
    {&TMenuF::PoznPop, "Poznámka", "S7;S1;S2;S3"},
};

bool NoModifier(unsigned shift) { return (shift & (ssShift | ssCtrl | ssAlt)) == 0; }

}  // namespace

TMenuF::TMenuF(QWidget* parent) : QMainWindow(parent) {
    setWindowTitle(QString::fromUtf8("Kinovka - databáze filmů v. 2.0 - vyrobil tým Kinovka"));
    setFont(WindowFont());
    resize(640, 494);
    if (const QScreen* screen = QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());
    BuildToolBar();
    BuildGrid();
    BuildUndoKey();
}

TMenuF::~TMenuF() {
    // The grid lets go of its model before the model detaches from cds.
    DBGrid1->setModel(nullptr);
}

void TMenuF::ConnectDialogs(TUpravF& upravF, TSeznamF& seznamF, TPomocF& pomocF, THledejF& hledejF) {
    UpravF = &upravF;
    SeznamF = &seznamF;
    PomocF = &pomocF;
    HledejF = &hledejF;
}

void TMenuF::BuildToolBar() {
    ToolBar1 = addToolBar(QStringLiteral("ToolBar1"));
    ToolBar1->setObjectName(QStringLiteral("ToolBar1"));
    ToolBar1->setMovable(false);
    ToolBar1->setFloatable(false);
    ToolBar1->setFixedHeight(25);
    ToolBar1->setContextMenuPolicy(Qt::PreventContextMenu);
    ToolBar1->setToolButtonStyle(Qt::ToolButtonTextOnly);
    ToolBar1->setContentsMargins(0, 0, 0, 0);

    auto button = [this](const char* caption, bool enabled, void (TMenuF::*handler)()) {
        auto* toolButton = new QToolButton(ToolBar1);
        toolButton->setText(QString::fromUtf8(caption));
        toolButton->setAutoRaise(true);
        toolButton->setToolButtonStyle(Qt::ToolButtonTextOnly);
        toolButton->setFixedHeight(21);
        toolButton->setMinimumWidth(50);
        toolButton->setFocusPolicy(Qt::NoFocus);
        toolButton->setEnabled(enabled);
        connect(toolButton, &QToolButton::clicked, this, [this, handler] { (this->*handler)(); });
        ToolBar1->addWidget(toolButton);
        return toolButton;
    };

    PopupMenu1 = new QMenu(this);
    SortGroup = new QActionGroup(this);
    SortGroup->setExclusionPolicy(QActionGroup::ExclusionPolicy::Exclusive);
    for (const SortItemDef& def : kSortItems) {
        QAction* item = PopupMenu1->addAction(QString::fromUtf8(def.caption));
        item->setCheckable(true);
        SortGroup->addAction(item);
        const std::string fields = def.fields;
        connect(item, &QAction::triggered, this, [this, item, fields] { SortBy(fields, item); });
        this->*def.item = item;
    }
    NazEnPop->setChecked(true);

    PopupMenu2 = new QMenu(this);
    SeznamVseItem = PopupMenu2->addAction(QString::fromUtf8("Seznam všech filmů"));
    SeznamPocetItem = PopupMenu2->addAction(QString::fromUtf8("Počet CD a filmů"));
    connect(SeznamVseItem, &QAction::triggered, this, [this] { SeznamVsePop(); });
    connect(SeznamPocetItem, &QAction::triggered, this, [this] { SeznamPocetPop(); });

    ToolButton1 = button("Nový", true, &TMenuF::ToolButton1Click);
    ToolBar1->addSeparator();
    ToolButton2 = button("Přidat", true, &TMenuF::ToolButton2Click);
    ToolButton3 = button("Opravit", true, &TMenuF::ToolButton3Click);
    ToolButton4 = button("Smazat", true, &TMenuF::ToolButton4Click);
    ToolBar1->addSeparator();
    ToolButton12 = button("Hledání", true, &TMenuF::ToolButton12Click);
    ToolButton13 = button("Další", false, &TMenuF::ToolButton13Click);
    ToolButton7 = button("Třídění", true, &TMenuF::ToolButton7Click);
    ToolButton7->setPopupMode(QToolButton::MenuButtonPopup);
    ToolButton7->setMenu(PopupMenu1);
    ToolBar1->addSeparator();
    ToolButton8 = button("Seznamy", true, &TMenuF::ToolButton8Click);
    ToolButton8->setPopupMode(QToolButton::MenuButtonPopup);
    ToolButton8->setMenu(PopupMenu2);
    ToolBar1->addSeparator();
    ToolButton11 = button("Pomoc", true, &TMenuF::ToolButton11Click);
    ToolBar1->addSeparator();
    ToolButton15 = button("Konec", true, &TMenuF::ToolButton15Click);
}

void TMenuF::BuildGrid() {
    Panel1 = new QFrame(this);
    auto* layout = new QVBoxLayout(Panel1);
    layout->setContentsMargins(0, 0, 0, 0);
    DBGrid1 = new TDBGrid(Panel1);
    layout->addWidget(DBGrid1);
    setCentralWidget(Panel1);

    const QColor windowText = palette().color(QPalette::WindowText);
    std::vector<CatalogGridModel::Column> columns;
    std::vector<int> fieldSizes;
    for (const GridColumnDef& def : kGridColumns) {
        columns.push_back({def.field, cp1250::FromUtf8(def.caption), windowText, def.width});
        fieldSizes.push_back(def.fieldSize);
    }
    DataSource1 = std::make_unique<CatalogGridModel>(cds, std::move(columns));
    DBGrid1->SetGridModel(DataSource1.get());
    DBGrid1->ApplyColumnWidths(fieldSizes);

    DBGrid1->OnKeyDown = [this](int& key, TShiftState shift) { DBGrid1KeyDown(key, shift); };
    DBGrid1->OnKeyPress = [this](char& key) { DBGrid1KeyPress(key); };
    DBGrid1->OnTitleClick = [this](int column) { DBGrid1TitleClick(column); };
    DBGrid1->OnCellClick = [this] { DBGrid1CellClick(); };
    DBGrid1->OnDeleteKey = [this] { DBGrid1DeleteKey(); };
    DBGrid1->setFocus();
}

void TMenuF::StartUp() {
    std::vector<std::string> arguments;
    const QStringList all = QCoreApplication::arguments();
    for (qsizetype i = 1; i < all.size(); ++i) arguments.push_back(QFile::encodeName(all[i]).toStdString());
    PrepareStartUp(QFile::encodeName(QCoreApplication::applicationFilePath()).toStdString(), arguments);

    QEventLoop loop;
    connect(this, &TMenuF::Closed, &loop, &QEventLoop::quit);
    setWindowModality(Qt::ApplicationModal);
    showMaximized();
    DBGrid1->setFocus();
    loop.exec();
}

void TMenuF::PrepareStartUp(const std::string& executablePath, const std::vector<std::string>& arguments) {
    DataDir = CatalogDirectory(BuildCatalogHome(), executablePath);
    DataFileName = arguments.empty() ? "filmy.xml" : arguments.front();
    SortFields = kFirstSort;
    catalogLock_ = CatalogLock(CatalogPath());

    ToolButton11->setEnabled(true);
    ToolButton15->setEnabled(true);
    ToolButton13->setEnabled(false);
    if (OpenCatalog(cds)) {
        // Just loaded in the first order: a sort would only read the file again.
        ApplySort(kFirstSort, NazEnPop, false);
        SetCatalogButtons(true);
    } else {
        SetCatalogButtons(false);
    }
    HledejF->ResetCriteria();
}

void TMenuF::SetCatalogButtons(bool open) {
    ToolButton1->setEnabled(!open);
    for (QToolButton* button : {ToolButton2, ToolButton3, ToolButton4, ToolButton7, ToolButton8, ToolButton12})
        button->setEnabled(open);
}

void TMenuF::closeEvent(QCloseEvent* event) {
    event->accept();
    emit Closed();
}

bool TMenuF::MayChangeCatalog(bool needsCurrentFilm) {
    using State = CatalogLock::State;
    if (catalogLock_.GetState() == State::Held) return true;
    if (catalogLock_.Retry() == State::HeldElsewhere) {
        ShowCatalogInUse();
        return false;
    }
    if (catalogLock_.GetState() != State::Held || !cds.Active()) return true;

    std::optional<std::int32_t> currentKey;
    if (cds.CurrentRow() >= 0) currentKey = cds.FieldNamed("K").AsInteger();
    const std::string sort = SortFields;
    SortBy(sort, SortGroup->checkedAction());
    if (!needsCurrentFilm || !currentKey) return true;
    if (!cds.Active()) return false;
    const int keyField = cds.FieldNamed("K").FieldNo();
    const std::string key = std::to_string(*currentKey);
    const int row = cds.FirstRowWhere(0, [&](const TClientDataSet::TRowValues& film) { return film.Value(keyField) == key; });
    if (row < 0) {
        cds.First();
        return false;
    }
    cds.GoToRow(row);
    return true;
}

// --- toolbar

void TMenuF::ToolButton1Click() {
    if (!MayChangeCatalog(false)) return;
    CreateCatalog(cds);
    if (!OpenCatalog(cds)) return;
    SortBy(kFirstSort, NazEnPop);
    SetCatalogButtons(true);
}

void TMenuF::ToolButton2Click() {
    if (!MayChangeCatalog(false)) return;
    UpravF->Execute(cds, 0);
    DBGrid1->setFocus();
}

void TMenuF::ToolButton3Click() {
    if (!MayChangeCatalog(true)) return;
    UpravF->Execute(cds, 1);
    DBGrid1->setFocus();
}

void TMenuF::ToolButton4Click() {
    if (!MayChangeCatalog(true)) return;
    UpravF->Execute(cds, 2);
    DBGrid1->setFocus();
}

void TMenuF::ToolButton7Click() { SortBy(kFirstSort, NazEnPop); }

void TMenuF::ToolButton8Click() { SeznamF->Execute(cds, 0); }

void TMenuF::SeznamVsePop() { SeznamF->Execute(cds, 0); }

void TMenuF::SeznamPocetPop() { SeznamF->Execute(cds, 1); }

void TMenuF::ToolButton11Click() { PomocF->Execute(); }

void TMenuF::ToolButton15Click() { close(); }

// --- sorting

void TMenuF::SortBy(const std::string& fields, QAction* item) { ApplySort(fields, item, true); }

void TMenuF::ApplySort(const std::string& fields, QAction* item, bool reload) {
    // While the titles still have their old colours, the title of a typed search
    // gets its caption back.
    QuickSearchText.clear();
    UpdateSearchTitle();

    SortFields = fields;
    if (reload) OpenCatalog(cds);

    if (item) {
        item->setChecked(true);
    } else {
        NazEnPop->setChecked(true);
        NazEnPop->setChecked(false);
    }

    QuickSearchColumn = -1;
    int sortColumns = 0;
    const QColor windowText = palette().color(QPalette::WindowText);
    for (const int column : DBGrid1->ColumnsInDisplayOrder()) {
        const std::string& name = DataSource1->GridColumn(column).FieldName;
        if (fields.find(name) == std::string::npos) {
            DataSource1->SetTitleColor(column, windowText);
            continue;
        }
        DataSource1->SetTitleColor(column, kSortTitleColor);
        ++sortColumns;
        if (name == "S1") QuickSearchColumn = 1;
        if (name == "S2") QuickSearchColumn = 2;
        if (name == "S3") QuickSearchColumn = 3;
        if (name == "S7") QuickSearchColumn = 7;
    }
    if (sortColumns > 1) QuickSearchColumn = -1;
}

void TMenuF::DBGrid1TitleClick(int column) { SortBy(DataSource1->GridColumn(column).FieldName, nullptr); }

// --- typed search

void TMenuF::UpdateSearchTitle() {
    if (SavedTitleCaption.empty() && QuickSearchText.empty()) return;
    for (const int column : DBGrid1->ColumnsInDisplayOrder()) {
        if (DataSource1->GridColumn(column).TitleColor != kSortTitleColor) continue;
        if (!QuickSearchText.empty()) {
            DataSource1->SetTitleCaption(column, QuickSearchText);
        } else if (!SavedTitleCaption.empty()) {
            DataSource1->SetTitleCaption(column, SavedTitleCaption);
            SavedTitleCaption.clear();
        }
    }
}

std::size_t TMenuF::SearchTextLimit(std::size_t limitWhenRed) {
    std::size_t limit = 0;
    for (const int column : DBGrid1->ColumnsInDisplayOrder()) {
        const CatalogGridModel::Column& title = DataSource1->GridColumn(column);
        if (title.TitleColor != kSortTitleColor) continue;
        if (SavedTitleCaption.empty()) SavedTitleCaption = title.Caption;
        limit = limitWhenRed;
    }
    return limit;
}

void TMenuF::DBGrid1KeyPress(char& key) {
    const bool textSearch = QuickSearchColumn == 1 || QuickSearchColumn == 2 || QuickSearchColumn == 7;
    if (!textSearch || static_cast<unsigned char>(key) < 32) return;
    const std::size_t limit = SearchTextLimit(QuickSearchColumn == 7 ? 100 : 50);
    if (QuickSearchText.size() >= limit) {
        QuickSearchText.clear();
    } else {
        QuickSearchText += key;
    }
    TextSearch();
    UpdateSearchTitle();
    key = '\0';
}

// Both passes look from the first record in the grid's order; they do not
// assume that order agrees with CzechCompare. An empty value never matches and
// never stops the second pass, because an empty first argument sorts first. When
// neither pass stops, the last record becomes current. The engine finds the row
// without walking the cursor over every record before it.
void TMenuF::TextSearch() {
    if (!cds.Active()) return;
    const int fieldNo = cds.FieldNamed("S" + std::to_string(QuickSearchColumn)).FieldNo();
    const std::string& typed = QuickSearchText;
    int row = cds.FirstRowWhere(0, [&](const TClientDataSet::TRowValues& film) {
        return CzechCompare(film.Value(fieldNo).substr(0, typed.size()), typed) == 0;
    });
    if (row < 0) {
        row = cds.FirstRowWhere(0, [&](const TClientDataSet::TRowValues& film) {
            return CzechCompare(film.Value(fieldNo), typed) >= 0;
        });
    }
    cds.GoToRow(row < 0 ? cds.CountRecords() - 1 : row);
}

// The first film whose CD number (an empty one reads as 0) is at least the typed
// number, or the last film.
void TMenuF::NumberSearch() {
    std::int32_t wanted = 0;
    std::from_chars(QuickSearchText.data(), QuickSearchText.data() + QuickSearchText.size(), wanted);
    if (!cds.Active()) return;
    const int fieldNo = cds.FieldNamed("S3").FieldNo();
    const int row = cds.FirstRowWhere(0, [&](const TClientDataSet::TRowValues& film) {
        const std::string_view value = film.Value(fieldNo);
        std::int32_t number = 0;
        std::from_chars(value.data(), value.data() + value.size(), number);
        return number >= wanted;
    });
    cds.GoToRow(row < 0 ? cds.CountRecords() - 1 : row);
}

void TMenuF::DBGrid1KeyDown(int& key, unsigned shift) {
    if (key == vk::Back && NoModifier(shift) && !QuickSearchText.empty()) {
        QuickSearchText.pop_back();
        UpdateSearchTitle();
    } else if (key == vk::F4 && NoModifier(shift)) {
        ToolButton2Click();
    } else if (key == vk::F7 && NoModifier(shift)) {
        ToolButton12Click();
    } else if (key == vk::F3 && NoModifier(shift) && ToolButton13->isEnabled()) {
        ToolButton13Click();
    } else if (key == vk::Up || key == vk::Down || key == vk::Home || key == vk::End || key == vk::Next ||
               key == vk::Prior || key == vk::Escape) {
        QuickSearchText.clear();
        UpdateSearchTitle();
    } else if (QuickSearchColumn == 3 && ((key >= vk::Digit0 && key <= vk::Digit9) ||
                                          (key >= vk::Numpad0 && key <= vk::Numpad9))) {
        const std::size_t limit = SearchTextLimit(9);
        if (QuickSearchText.size() == limit) QuickSearchText.clear();
        if (QuickSearchText.size() < limit)
            QuickSearchText += static_cast<char>(key >= vk::Numpad0 ? key - 48 : key);
        NumberSearch();
        UpdateSearchTitle();
    }
}

void TMenuF::DBGrid1CellClick() {
    QuickSearchText.clear();
    UpdateSearchTitle();
}

// --- the grid's delete key

void TMenuF::DBGrid1DeleteKey() {
    if (!cds.Active() || cds.CountRecords() == 0) return;
    if (!MayChangeCatalog(true)) return;
    if (UserInterface().MessageBox("Delete record?", MessageKind::Confirm, MessageButtons::OkCancel) != mrOk) return;
    // The same path as "Smazat": the deletion reaches the file at once, so the
    // film cannot come back at the next reload.
    UpravF->Execute(cds, 2);
}

// --- find

void TMenuF::ToolButton12Click() {
    const TModalResult result = HledejF->Execute();
    DBGrid1->setFocus();
    if (result == mrOk) {
        FindMatching(true, "Nebyl nalezen žádný záznam.");
    } else if (HledejF->FNewSearch) {
        ToolButton13->setEnabled(false);
    }
}

void TMenuF::ToolButton13Click() { FindMatching(false, "Nebyl nalezen další záznam."); }

void TMenuF::FindMatching(bool fromFirst, const char* notFoundMessage) {
    auto reportNotFound = [notFoundMessage] {
        UserInterface().MessageBox(cp1250::FromUtf8(notFoundMessage), MessageKind::Information, MessageButtons::Ok);
    };
    ToolButton13->setEnabled(false);
    // A closed catalogue has nothing to find.
    if (!cds.Active()) {
        reportNotFound();
        return;
    }
    // From the first film, or from the one after the current film.
    const int fromRow = fromFirst ? 0 : cds.CurrentRow() + 1;
    const RecordMatcher matcher(cds, HledejF->Criteria());
    const int row = cds.FirstRowWhere(fromRow, [&matcher](const TClientDataSet::TRowValues& film) {
        return matcher.Matches([&film](const TField& field) { return film.Value(field.FieldNo()); });
    });
    if (row >= 0) {
        cds.GoToRow(row);
        ToolButton13->setEnabled(true);
        return;
    }
    reportNotFound();
}
