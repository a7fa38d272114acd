#include "app/window/Menu.h"

#include <QActionGroup>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QEventLoop>
#include <QFile>
#include <QFrame>
#include <QGuiApplication>
#include <QScreen>
#include <QToolButton>
#include <QVBoxLayout>
#include <optional>

#include "app/core/CatalogHome.h"
#include "app/core/FilmKey.h"
#include "app/core/Global.h"
#include "app/dialogs/Hledej.h"
#include "app/dialogs/Uprav.h"
#include "app/qtedge/QtEdge.h"
#include "app/qtedge/SpecifiedSizes.h"
#include "app/window/CatalogGridModel.h"
#include "app/window/DBGrid.h"
#include "app/window/TypedSearch.h"
#include "layout/CatalogLayout.h"
#include "text/Cp1250.h"

TMenuF::TMenuF(QWidget* parent) : QMainWindow(parent) {
    setWindowTitle(QString::fromUtf8("Kinovka - databáze filmů v. 2.0 - vyrobil tým Kinovka"));
    setFont(WindowFont());
    const SpecifiedPixels pixels(font());
    resize(pixels(640), pixels(494));
    if (const QScreen* screen = QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());
    BuildToolBar();
    BuildGrid();
    BuildUndoKey();
    BuildFilmMenu();
    setAcceptDrops(true);
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

void TMenuF::BuildGrid() {
    Panel1 = new QFrame(this);
    auto* layout = new QVBoxLayout(Panel1);
    layout->setContentsMargins(0, 0, 0, 0);
    DBGrid1 = new TDBGrid(Panel1);
    layout->addWidget(DBGrid1);
    setCentralWidget(Panel1);

    const SpecifiedPixels pixels(DBGrid1->font());
    const QColor windowText = palette().color(QPalette::WindowText);
    std::vector<CatalogGridModel::Column> columns;
    std::vector<int> fieldSizes;
    for (const FilmFieldLayout& def : kFilmLayout) {
        columns.push_back({std::string(def.Name), cp1250::FromUtf8(def.Title), windowText, pixels(def.Width)});
        fieldSizes.push_back(def.Size);
    }
    DataSource1 = std::make_unique<CatalogGridModel>(cds, std::move(columns));
    DataSource1->SetLoans(&Loans);
    DBGrid1->SetGridModel(DataSource1.get());
    DBGrid1->ApplyColumnWidths(fieldSizes);
    QuickSearch = std::make_unique<TypedSearch>(cds, *DBGrid1, *DataSource1);

    DBGrid1->OnKeyDown = [this](int& key, TShiftState shift) { RunHandler([&] { DBGrid1KeyDown(key, shift); }); };
    DBGrid1->OnKeyPress = [this](char& key) { RunHandler([&] { DBGrid1KeyPress(key); }); };
    DBGrid1->OnTitleClick = [this](int column) { RunHandler([&] { DBGrid1TitleClick(column); }); };
    DBGrid1->OnCellClick = [this] { RunHandler([this] { DBGrid1CellClick(); }); };
    DBGrid1->OnDblClick = [this] { RunHandler([this] { DBGrid1DblClick(); }); };
    DBGrid1->OnDeleteKey = [this] { RunHandler([this] { DBGrid1DeleteKey(); }); };
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

void TMenuF::PrepareStartUp(const std::string& executablePath, const std::vector<std::string>& arguments,
                            CatalogHome home) {
    DataDir = CatalogDirectory(home, executablePath);
    DataFileName = arguments.empty() ? "filmy.xml" : arguments.front();
    SortFields = kFirstSort;
    catalogLock_ = CatalogLock(CatalogPath());

    ToolButton11->setEnabled(true);
    ToolButton15->setEnabled(true);
    ToolButton13->setEnabled(false);
    // An absolute name may be a typing error anywhere: only the user's own
    // catalogue folder gets a catalogue unasked.
    const bool firstStart = home == CatalogHome::UserDataFolder && !DataFileName.starts_with('/') &&
                            catalogLock_.GetState() == CatalogLock::State::Held && NothingOfCatalogAt(CatalogPath());
    if (firstStart) CreateCatalog(cds);
    if (OpenCatalog(cds)) {
        // Just loaded in the first order: a sort would only read the file again.
        ApplySort(kFirstSort, NazEnPop, false);
        SetCatalogButtons(true);
        ReadLoansIntoView(true);
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

bool TMenuF::MayChangeCatalog(UpravMode editMode) {
    using State = CatalogLock::State;
    if (catalogLock_.GetState() == State::Held) return true;
    if (catalogLock_.Retry() == State::HeldElsewhere) {
        ShowCatalogInUse();
        return false;
    }
    if (catalogLock_.GetState() != State::Held || !cds.Active()) return true;

    std::optional<std::int32_t> currentKey;
    if (cds.CurrentRow() >= 0) currentKey = cds.FieldNamed(kKeyField).AsInteger();
    const std::string sort = SortFields;
    SortBy(sort, SortGroup->checkedAction());
    if (editMode == UpravMode::Add || !currentKey) return true;
    // A failed reload has been reported by the reload itself.
    if (!cds.Active()) return false;
    if (GoToFilm(cds, *currentKey)) return true;
    cds.First();
    UpravF->ShowFailure(editMode);
    return false;
}
