// "Hledání" and "Další": the scan in the grid's order, "Další" as the search
// state, and the messages when nothing is found.
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QToolButton>

#include "app/core/Global.h"
#include "app/dialogs/Hledej.h"
#include "app/window/CatalogGridModel.h"
#include "app/window/DBGrid.h"
#include "tests/app/WindowTestSupport.h"

namespace {

struct Criteria {
    const char* s1 = "";
    const char* s2 = "";
    const char* s7 = "";
};

// "Hledání" (or F7 in the grid, which works also while the button is disabled)
// with these criteria typed into the find dialog and "&Hledat" pressed.
void Find(TMenuF& menu, Criteria criteria, bool byKey = false) {
    ModalAnswer answer([criteria](QWidget* window) {
        auto* dialog = qobject_cast<THledejF*>(window);
        dialog->Edit1->setText(QString::fromUtf8(criteria.s1));
        dialog->Edit2->setText(QString::fromUtf8(criteria.s2));
        dialog->Edit7->setText(QString::fromUtf8(criteria.s7));
        dialog->Button1->click();
    });
    if (byKey) {
        PressKey(menu.DBGrid1, Qt::Key_F7);
    } else {
        menu.ToolButton12->click();
    }
    QVERIFY(answer.Seen());
}

// "Hledání", then in the dialog optionally "&Nové hledání", then "&Cancel".
void FindCancelled(TMenuF& menu, bool newSearchFirst) {
    ModalAnswer answer([newSearchFirst](QWidget* window) {
        auto* dialog = qobject_cast<THledejF*>(window);
        if (newSearchFirst) dialog->Button4->click();
        dialog->Button2->click();
    });
    menu.ToolButton12->click();
    QVERIFY(answer.Seen());
}

std::string LastMessage() { return Ui().Messages.empty() ? "" : cp1250::ToUtf8(Ui().Messages.back().Text); }

}  // namespace

class FindQtTest : public QObject {
    Q_OBJECT

private slots:
    void emptyCriteriaFindEveryFilmInTurn() {
        ProgramUnderTest program(SampleFilms());
        TMenuF& menu = program.Menu;
        menu.cds.GoToRow(4);
        Find(menu, {});
        QCOMPARE(menu.cds.CurrentRow(), 0);
        QCOMPARE(program.GridRow(), 0);
        QVERIFY(menu.ToolButton13->isEnabled());
        for (int row = 1; row < 9; ++row) {
            menu.ToolButton13->click();
            QCOMPARE(menu.cds.CurrentRow(), row);
        }
        QVERIFY(Ui().Messages.empty());
        menu.ToolButton13->click();
        QCOMPARE(LastMessage(), std::string("Nebyl nalezen další záznam."));
        QCOMPARE(Ui().Messages.back().Kind, MessageKind::Information);
        QCOMPARE(menu.cds.CurrentRow(), 8);
        QVERIFY(!menu.ToolButton13->isEnabled());
    }

    void criteriaMatchUpperCasedWithDiacriticsKept() {
        ProgramUnderTest program(SampleFilms());
        TMenuF& menu = program.Menu;
        Find(menu, {"atri"});
        QCOMPARE(program.CurrentTitle(), std::string("The Matrix"));

        Find(menu, {"", "", "č"});
        QCOMPARE(program.CurrentTitle(), std::string("Pelíšky"));

        Find(menu, {"st", "hv"});
        QCOMPARE(program.CurrentTitle(), std::string("Star Wars"));
        menu.ToolButton13->click();
        QCOMPARE(LastMessage(), std::string("Nebyl nalezen další záznam."));
        QCOMPARE(program.CurrentTitle(), std::string("Star Wars"));
        QVERIFY(Ui().Messages.size() == 1);
    }

    void nothingFoundLeavesTheCursorAndDisablesDalsi() {
        ProgramUnderTest program(SampleFilms());
        TMenuF& menu = program.Menu;
        Find(menu, {"a"});
        QVERIFY(menu.ToolButton13->isEnabled());
        menu.cds.GoToRow(5);
        Find(menu, {"", "", "c"});  // only "česká" holds a c-like letter, and č is not c
        QCOMPARE(LastMessage(), std::string("Nebyl nalezen žádný záznam."));
        QCOMPARE(Ui().Messages.back().Kind, MessageKind::Information);
        QCOMPARE(menu.cds.CurrentRow(), 5);
        QCOMPARE(program.GridRow(), 5);
        QVERIFY(!menu.ToolButton13->isEnabled());
    }

    void cancellingKeepsDalsiUnlessANewSearchWasStarted() {
        ProgramUnderTest program(SampleFilms());
        TMenuF& menu = program.Menu;
        Find(menu, {"s"});
        const int found = menu.cds.CurrentRow();
        FindCancelled(menu, false);
        QVERIFY(menu.ToolButton13->isEnabled());
        QCOMPARE(menu.cds.CurrentRow(), found);
        FindCancelled(menu, true);
        QVERIFY(!menu.ToolButton13->isEnabled());
        QVERIFY(program.Windows.HledejF->FFindS1.empty());
    }

    void aSortBetweenFindAndDalsiContinuesAfterTheFirstFilm() {
        ProgramUnderTest program(SampleFilms());
        TMenuF& menu = program.Menu;
        Find(menu, {"e"});
        QVERIFY(menu.ToolButton13->isEnabled());
        menu.CisCDPop->trigger();
        QVERIFY(menu.ToolButton13->isEnabled());
        QCOMPARE(menu.cds.CurrentRow(), 0);
        menu.ToolButton13->click();
        // By CD number: 3 The Matrix, 4 Star Wars, 7 Amélie, ...; after the first,
        // Star Wars has no "e" in its English title, Amélie has.
        QCOMPARE(program.CurrentTitle(), std::string("Amélie"));
    }

    void anEmptyOrClosedCatalogHasNothingToFind() {
        ProgramUnderTest empty(std::vector<Film>{});
        Find(empty.Menu, {});
        QCOMPARE(LastMessage(), std::string("Nebyl nalezen žádný záznam."));
        QVERIFY(!empty.Menu.ToolButton13->isEnabled());

        ProgramUnderTest closed;
        closed.Start();
        Ui().Clear();
        Find(closed.Menu, {}, true);
        QCOMPARE(LastMessage(), std::string("Nebyl nalezen žádný záznam."));
        QVERIFY(Ui().ErrorReports.empty());
    }

    // A thousand films, stored in another order than the grid shows them (by
    // CD number): "Hledání" and each "Další" stop on the next match in the
    // grid's order, however far away.
    void aLargeCatalogIsSearchedInTheGridsOrder() {
        std::vector<Film> films;
        for (int i = 0; i < 1000; ++i) {
            films.push_back({i % 2 ? "Star" : "Moon", i % 2 ? "Hvězda" : "Měsíc", i * 211 % 1000, "", "", 1,
                             i % 37 ? "" : "česká poznámka"});
        }
        ProgramUnderTest program(films);
        TMenuF& menu = program.Menu;
        menu.DBGrid1TitleClick(2);
        const std::vector<std::string> english = program.Column(0);
        const std::vector<std::string> czech = program.Column(1);
        const std::vector<std::string> notes = program.Column(6);
        std::vector<int> expected;
        for (std::size_t row = 0; row < english.size(); ++row)
            if (english[row] == "Moon" && czech[row] == "Měsíc" && notes[row] == "česká poznámka")
                expected.push_back(static_cast<int>(row));
        QVERIFY(expected.size() > 1);

        Find(menu, {"moon", "měs", "Á POZ"});
        for (std::size_t at = 0; at < expected.size(); ++at) {
            if (at > 0) menu.ToolButton13->click();
            QCOMPARE(menu.cds.CurrentRow(), expected[at]);
        }
        QVERIFY(Ui().Messages.empty());
        menu.ToolButton13->click();
        QCOMPARE(LastMessage(), std::string("Nebyl nalezen další záznam."));
        QCOMPARE(menu.cds.CurrentRow(), expected.back());
    }
};

KINOVKA_WINDOW_TEST_MAIN(FindQtTest)
#include "FindQtTest.moc"
