// Ctrl+Z in the main window, pressed as a user presses it: each kind of change
// goes back to the file's exact previous bytes with the cursor on the film
// concerned, a second Ctrl+Z goes one change further (to every version), and Cancel
// changes nothing. In a run begun with "Nový", only saves write the file.
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QToolButton>
#include <functional>
#include <sys/inotify.h>
#include <unistd.h>

#include "app/core/CatalogRestore.h"
#include "app/core/Global.h"
#include "app/dialogs/Uprav.h"
#include "app/window/CatalogGridModel.h"
#include "app/window/DBGrid.h"
#include "tests/app/WindowTestSupport.h"
#include "tests/common/FaultyFileOperations.h"

namespace {

// Ctrl+Z answered with answer, in the main window shown and active as after a
// dialog has closed; the question it asked (UTF-8), or "" without one.
std::string PressUndo(TMenuF& menu, TModalResult answer) {
    menu.show();
    menu.activateWindow();
    if (!QTest::qWaitForWindowActive(&menu)) return "the main window is not active";
    Ui().Clear();
    Ui().QueueAnswer(answer);
    QTest::keyClick(menu.DBGrid1, Qt::Key_Z, Qt::ControlModifier);
    return Ui().Messages.empty() ? "" : cp1250::ToUtf8(Ui().Messages.back().Text);
}

// Whether the file is opened (read, say) while action runs.
bool OpensFile(const std::string& path, const std::function<void()>& action) {
    const int watch = inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
    inotify_add_watch(watch, path.c_str(), IN_OPEN);
    action();
    char events[4096];
    const bool opened = read(watch, events, sizeof events) > 0;
    close(watch);
    return opened;
}

// Runs the edit dialog through a toolbar button: the boxes changed, then "&Stačí".
void ThroughDialog(QToolButton* button, const std::function<void(TUpravF&)>& fill) {
    ModalAnswer answer([&](QWidget* window) {
        auto& dialog = *qobject_cast<TUpravF*>(window);
        fill(dialog);
        dialog.Button1->click();
    });
    button->click();
    QVERIFY(answer.Seen());
}

}  // namespace

class UndoQtTest : public QObject {
    Q_OBJECT

private slots:
    void ctrlZGivesBackTheBytesBeforeEachKindOfChange() {
        ProgramUnderTest program(SampleFilms());
        TMenuF& menu = program.Menu;
        const struct {
            const char* name;
            std::function<void()> change;
            std::string question;
            std::string cursorAfterUndo;
        } changes[] = {
            {"Přidat",
             [&] { ThroughDialog(menu.ToolButton2, [](TUpravF& d) { d.Edit1->setText(QStringLiteral("Zorro")); }); },
             "Vrátit zpět poslední změnu (přidán film „Zorro“)?", ""},
            {"Opravit",
             [&] { ThroughDialog(menu.ToolButton3, [](TUpravF& d) { d.Edit7->setText(QStringLiteral("jiná")); }); },
             "Vrátit zpět poslední změnu (opraven film „Pelíšky“)?", "Pelíšky"},
            {"Smazat", [&] { menu.ToolButton4->click(); }, "Vrátit zpět poslední změnu (smazán film „Pelíšky“)?",
             "Pelíšky"},
            {"Ctrl+Delete",
             [&] {
                 Ui().QueueAnswer(mrOk);
                 PressKey(menu.DBGrid1, Qt::Key_Delete, Qt::ControlModifier);
             },
             "Vrátit zpět poslední změnu (smazán film „Pelíšky“)?", "Pelíšky"},
        };
        for (const auto& change : changes) {
            QVERIFY(OpenCatalog(menu.cds));
            const std::vector<std::string> read = program.Grid();
            const std::string before = program.ReadFile();
            menu.cds.GoToRow(3);  // "Pelíšky" in the first sort
            QCOMPARE(program.CurrentTitle(), std::string("Pelíšky"));
            change.change();
            QVERIFY2(program.ReadFile() != before, change.name);
            QCOMPARE(PressUndo(menu, mrOk), change.question);
            QVERIFY2(program.ReadFile() == before, change.name);
            if (!change.cursorAfterUndo.empty()) QCOMPARE(program.CurrentTitle(), change.cursorAfterUndo);
            QCOMPARE(menu.DataSource1->rowCount(), 9);
            // As read afresh; a title click then reads nothing and shows what a read shows.
            QVERIFY2(program.Grid() == read, change.name);
            QVERIFY2(!OpensFile(program.FilePath(), [&] { menu.DBGrid1TitleClick(6); }), change.name);
            const std::vector<std::string> clicked = program.Grid();
            QVERIFY(OpenCatalog(menu.cds));
            QVERIFY2(program.Grid() == clicked, change.name);
            menu.NazEnPop->trigger();
        }
    }

    void aSecondCtrlZGoesFurtherAndCancelChangesNothing() {
        ProgramUnderTest program(SampleFilms());
        TMenuF& menu = program.Menu;
        const std::string original = program.ReadFile();
        ThroughDialog(menu.ToolButton2, [](TUpravF& d) { d.Edit1->setText(QStringLiteral("Alien")); });
        const std::string oneAdded = program.ReadFile();
        ThroughDialog(menu.ToolButton2, [](TUpravF& d) { d.Edit1->setText(QStringLiteral("Brazil")); });
        const std::string twoAdded = program.ReadFile();
        const std::size_t versions = CatalogVersions().size();

        QCOMPARE(PressUndo(menu, mrCancel), std::string("Vrátit zpět poslední změnu (přidán film „Brazil“)?"));
        QVERIFY(program.ReadFile() == twoAdded);
        QCOMPARE(CatalogVersions().size(), versions);

        PressUndo(menu, mrOk);
        QVERIFY(program.ReadFile() == oneAdded);
        QCOMPARE(PressUndo(menu, mrOk), std::string("Vrátit zpět i předchozí změnu (přidán film „Alien“)?"));
        QVERIFY(program.ReadFile() == original);
        QCOMPARE(PressUndo(menu, mrOk), std::string("Starší verze katalogu už není."));
        QVERIFY(program.ReadFile() == original);

        // A change after the undos: Ctrl+Z takes that change back first.
        menu.ToolButton4->click();
        QVERIFY(PressUndo(menu, mrOk).starts_with("Vrátit zpět poslední změnu (smazán film"));
        QVERIFY(program.ReadFile() == original);
    }

    // A refused add or edit and a failed save leave the file and the grid as last
    // saved, the corrected store adds or changes the film once, and Ctrl+Z takes
    // an add back.
    void aRunBegunWithNovyWritesOnlySaves() {
        ProgramUnderTest program;
        program.Start();
        TMenuF& menu = program.Menu;
        menu.ToolButton1->click();
        ThroughDialog(menu.ToolButton2, [](TUpravF& d) { d.Edit1->setText(QStringLiteral("Alpha")); });
        const struct {
            QToolButton* button;
            const char* title;
            Fault fault;  // none: refused for "Číslo CD" 12a
            std::vector<std::string> titlesAfter;
        } stores[] = {{menu.ToolButton2, "Beta", {}, {"Alpha", "Beta"}},
                      {menu.ToolButton3, "Gamma", {}, {"Beta", "Gamma"}},
                      {menu.ToolButton2, "Delta", {Fault::Create, EACCES}, {"Beta", "Delta", "Gamma"}}};
        for (const auto& store : stores) {
            const std::string file = program.ReadFile();
            const std::vector<std::string> titles = program.Column(0);
            bool asSaved = false;
            ThroughDialog(store.button, [&](TUpravF& d) {
                Ui().Clear();
                d.Edit1->setText(store.title);
                d.Edit3->setText(store.fault.At == Fault::None ? "12a" : "12");
                {
                    const FaultyFileOperations failing(store.fault);
                    d.Button1->click();
                }
                asSaved = d.isVisible() && Ui().Messages.size() == 1 && program.ReadFile() == file &&
                          program.Column(0) == titles;
                d.Edit3->setText("12");
            });
            QVERIFY2(asSaved, store.title);
            QCOMPARE(program.Column(0), store.titlesAfter);
        }
        const std::string beforeAdd = program.ReadFile();
        ThroughDialog(menu.ToolButton2, [](TUpravF& d) { d.Edit1->setText(QStringLiteral("Omega")); });
        PressUndo(menu, mrOk);
        QVERIFY(program.ReadFile() == beforeAdd);
        QCOMPARE(program.Column(0), (std::vector<std::string>{"Beta", "Delta", "Gamma"}));
    }

    // 105 changes leave the newest 100 versions (small ones: the count decides,
    // not the size). Ctrl+Z then walks back through every one of them, although
    // each step is itself a save that keeps a version.
    void aWalkOfCtrlZReachesEveryStateListedWhenItBegan() {
        ProgramUnderTest program(SampleFilms());
        TMenuF& menu = program.Menu;
        for (int film = 0; film < 105; ++film) {
            menu.cds.Insert();
            menu.cds.FieldNamed("S1").SetAsString("Film " + std::to_string(film));
            menu.cds.Post();
            QVERIFY(SaveCatalog(menu.cds) && OpenCatalog(menu.cds));
        }
        std::vector<std::string> listed;
        for (const fileio::Version& version : CatalogVersions()) listed.push_back(ReadBytes(version.Path));
        QCOMPARE(listed.size(), std::size_t{100});
        for (std::size_t step = 0; step < listed.size(); ++step)
            QVERIFY2(!PressUndo(menu, mrOk).empty() && program.ReadFile() == listed[step], std::to_string(step).c_str());
        QCOMPARE(PressUndo(menu, mrOk), std::string("Starší verze katalogu už není."));
    }

    // The changes are saved and the user is told once, naming the folder and the
    // reason; Ctrl+Z says why it cannot go back.
    void aVersionThatCannotBeKeptIsToldOnceAndCostsNoChange() {
        ProgramUnderTest program(SampleFilms());
        TMenuF& menu = program.Menu;
        WriteBytes(program.FilePath("filmy.xml.versions"), "");
        Ui().Clear();
        for (const char* title : {"Alien", "Brazil"})
            ThroughDialog(menu.ToolButton2, [&](TUpravF& d) { d.Edit1->setText(QString::fromUtf8(title)); });
        QCOMPARE(menu.DataSource1->rowCount(), 11);
        QCOMPARE(Ui().Messages.size(), std::size_t{1});
        QCOMPARE(Ui().Messages[0].Kind, MessageKind::Notice);
        QCOMPARE(cp1250::ToUtf8(Ui().Messages[0].Text),
                 std::string("Soubor filmy.xml je uložen, ale jeho předchozí verzi nelze uchovat ve složce "
                             "filmy.xml.versions.\nČást cesty není složka."));
        QCOMPARE(PressUndo(menu, mrOk),
                 std::string("Nepodařilo se přečíst složku verzí: filmy.xml.versions.\nČást cesty není složka."));
    }
};

KINOVKA_WINDOW_TEST_MAIN(UndoQtTest)
#include "UndoQtTest.moc"
