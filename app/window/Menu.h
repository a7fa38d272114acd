#pragma once
// Unit Menu: the main window. It owns the catalogue table cds for the whole run,
// and the catalogue's lock from start-up on (a window started while another
// program holds the lock shows the catalogue but refuses to change it),
// shows it in the grid DBGrid1, carries the toolbar and the two pop-up menus, and
// does the sorting, the typed search in the grid (TypedSearch) and the two find commands. The
// secondary windows are handed to it once after they are created.
//
// Its code is split by job: Menu.cpp (the window, start-up, the lock),
// MenuToolBar.cpp (the toolbar and the catalogue actions), MenuSorting.cpp,
// MenuGridKeys.cpp, MenuFind.cpp, MenuUndo.cpp, MenuDrop.cpp and MenuLoans.cpp (the
// films' context menu, lending and returning discs). Every handler is reached through
// RunHandler, so a failure in it is reported once and never unwinds through Qt.
#include <QMainWindow>
#include <memory>
#include <string>

#include "app/core/CatalogHome.h"
#include "app/core/CatalogLock.h"
#include "app/core/Loans.h"
#include "layout/CatalogLayout.h"
#include "app/core/UndoTrail.h"
#include "table/ClientDataSet.h"

class CatalogGridModel;
class QAction;
class QActionGroup;
class QEventLoop;
class QFrame;
class QMenu;
class QToolBar;
class QToolButton;
class TDBGrid;
class THledejF;
class TPomocF;
class TSeznamF;
class TUpravF;
class TypedSearch;
enum class UpravMode;

class TMenuF : public QMainWindow {
    Q_OBJECT
    // Before cds, so that it is let go only after the table, which may still
    // write itself when it is destroyed.
    CatalogLock catalogLock_;

public:
    explicit TMenuF(QWidget* parent = nullptr);
    ~TMenuF() override;

    void ConnectDialogs(TUpravF& upravF, TSeznamF& seznamF, TPomocF& pomocF, THledejF& hledejF);

    // The start-up routine: everything of PrepareStartUp for this executable and
    // its command line, then the window, maximised and modal; returns when it closes.
    void StartUp();
    // Catalogue path from the executable's path (CatalogHome.h) and the arguments
    // after the program name, first sort, open, toolbar, find criteria reset. The window is not shown.
    // In the user data folder, where nothing of the catalogue is there yet (the
    // installed program's first start), the empty catalogue is made first, as
    // "Nový" makes it, instead of a failure to open it being reported.
    void PrepareStartUp(const std::string& executablePath, const std::vector<std::string>& arguments,
                        CatalogHome home = BuildCatalogHome());

    // Sorts the catalogue by the field list; item is the sort menu item that
    // stands for it, or none (a title click).
    void SortBy(const std::string& fields, QAction* item);
    // SortBy, or with reload false all it shows without reading the catalogue
    // again: for a catalogue that was just loaded in this order.
    void ApplySort(const std::string& fields, QAction* item, bool reload);

    // Event handlers, named after the component and the event.
    void ToolButton1Click();   // "Nový"
    void ToolButton2Click();   // "Přidat"
    void ToolButton3Click();   // "Opravit"
    void ToolButton4Click();   // "Smazat"
    void ToolButton12Click();  // "Hledání"
    void ToolButton13Click();  // "Další"
    void ToolButton7Click();   // "Třídění" face
    void ToolButton8Click();   // "Seznamy" face
    void SeznamVsePop();
    void SeznamPocetPop();
    void SeznamCDPop();        // "Přehled CD"
    void SeznamPujcenaPop();   // "Půjčená CD"
    void ToolButton11Click();  // "Pomoc"
    void ToolButton15Click();  // "Konec"
    void DBGrid1TitleClick(int column);
    void DBGrid1CellClick();
    // A double-click on a film, like Enter in the grid, opens "Opravit" for it.
    void DBGrid1DblClick();
    void DBGrid1KeyDown(int& key, unsigned shift);
    void DBGrid1KeyPress(char& key);
    // The grid's delete key, Ctrl+Delete.
    void DBGrid1DeleteKey();
    // Ctrl+Z: takes the latest change back (MenuUndo.cpp).
    void UndoLastChange();
    // A film file dropped onto the window: its films added as one change after
    // the user has confirmed, then the import's summary (MenuDrop.cpp).
    void ImportFilmFile(const std::string& path);

    // The context menu of the current film (MenuLoans.cpp): "Půjčit CD 15…" or
    // "CD 15 vráceno"; nothing without a current film.
    std::unique_ptr<QMenu> FilmMenu();
    // Asks who borrows the disc and records the loan; refused while another
    // program holds the lock, when the loans file cannot be read, or when the
    // disc was lent meanwhile.
    void LendDisc(std::int32_t cd);
    void ReturnDisc(std::int32_t cd);

    TClientDataSet cds;
    std::unique_ptr<CatalogGridModel> DataSource1;

    QToolBar* ToolBar1;
    QToolButton *ToolButton1, *ToolButton2, *ToolButton3, *ToolButton4, *ToolButton12, *ToolButton13,
        *ToolButton7, *ToolButton8, *ToolButton11, *ToolButton15;
    QMenu* PopupMenu1;
    QActionGroup* SortGroup;
    QAction *NazEnPop, *NazCzPop, *CisCDPop, *ZneniPop, *TitulkyPop, *ksCDPop, *PoznPop;
    QMenu* PopupMenu2;
    QAction *SeznamVseItem, *SeznamPocetItem, *SeznamCDItem, *SeznamPujcenaItem;
    QFrame* Panel1;
    TDBGrid* DBGrid1;

    // The typed search in DBGrid1, on the column the sort made red.
    std::unique_ptr<TypedSearch> QuickSearch;

    // The catalogue's loans as last read; the grid shows them.
    LoanBook Loans;

signals:
    void Closed();

protected:
    void closeEvent(QCloseEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    inline static const std::string kFirstSort{kDefaultSortFields};

    void BuildToolBar();
    void BuildGrid();
    void BuildUndoKey();
    void BuildFilmMenu();
    // Reads the loans file again and shows it; a file that cannot be read is
    // said only when tellDamage (once a run), its valid loans shown anyway.
    // Gives false when it could not be read.
    bool ReadLoansIntoView(bool tellDamage);
    void SetCatalogButtons(bool open);
    // Whether a change made through the edit dialog in that mode (add, or
    // "Nový"; edit and delete the current film) may go ahead; refused with a
    // message while another program holds the catalogue's lock. When the lock
    // has only now been taken, the catalogue is read again first, in the same
    // sort; a change of the current film then goes ahead only when that film is
    // still there, and current; when it has vanished, the dialog's failure
    // message for the mode says so.
    bool MayChangeCatalog(UpravMode editMode);
    // Finds the first matching record from the current one (the first record when
    // fromFirst, else the one after the current); "Další" shows whether one was found.
    void FindMatching(bool fromFirst, const char* notFoundMessage);

    TUpravF* UpravF = nullptr;
    TSeznamF* SeznamF = nullptr;
    TPomocF* PomocF = nullptr;
    THledejF* HledejF = nullptr;
    UndoTrail undoTrail_;
};
