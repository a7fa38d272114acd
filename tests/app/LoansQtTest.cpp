// Lent discs in the main window: their films grey and italic with the loan in a
// tool tip, lent and returned from a film's context menu (and taken back by
// Ctrl+Z), listed under "Seznamy", and a loans file that cannot be read said
// once while the catalogue opens as usual.
#include <QDateEdit>
#include <QFont>
#include <QLineEdit>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>

#include "app/dialogs/Pujcka.h"
#include "app/dialogs/Seznam.h"
#include "app/window/CatalogGridModel.h"
#include "app/window/DBGrid.h"
#include "tests/app/WindowTestSupport.h"

namespace {

// In the first sort: Amadeus and Brazil on CD 15, Cube on CD 16.
const std::vector<Film> kShelf{{"Amadeus", "Amadeus", 15, "EN", "CZ", 1, ""},
                               {"Brazil", "Brazílie", 15, "EN", "CZ", 1, ""},
                               {"Cube", "Kostka", 16, "EN", "CZ", 1, ""}};

// The one item of the row's context menu, triggered: its caption.
QString TriggerFilmMenu(TMenuF& menu, int row) {
    menu.DataSource1->GoToRow(row);
    const std::unique_ptr<QMenu> films = menu.FilmMenu();
    if (!films || films->actions().size() != 1) return "no menu";
    films->actions().front()->trigger();
    return films->actions().front()->text();
}

QVariant RowData(TMenuF& menu, int row, int role) { return menu.DataSource1->index(row, 0).data(role); }

bool LooksLent(TMenuF& menu, int row) {
    return RowData(menu, row, Qt::FontRole).value<QFont>().italic() && RowData(menu, row, Qt::ForegroundRole).isValid();
}

// The list window's text after choosing that "Seznamy" item.
QString ListedText(QAction* item) {
    QString text;
    ModalAnswer answer([&](QWidget* window) {
        text = qobject_cast<TSeznamF*>(window)->RichEdit1->toPlainText();
        window->close();
    });
    item->trigger();
    return text;
}

}  // namespace

class LoansQtTest : public QObject {
    Q_OBJECT

private slots:
    void lendingAndReturningFromTheContextMenu() {
        ProgramUnderTest program(kShelf);
        TMenuF& menu = program.Menu;
        ModalAnswer lend([](QWidget* window) {
            auto& dialog = *qobject_cast<TPujckaF*>(window);
            QCOMPARE(dialog.DateEdit1->date(), QDate::currentDate());
            dialog.Edit1->setText(QStringLiteral("Petr"));
            dialog.DateEdit1->setDate(QDate(2026, 12, 3));
            dialog.Edit2->setText(QString::fromUtf8("vrátí v pondělí"));
            dialog.Button1->click();
        });
        QCOMPARE(TriggerFilmMenu(menu, 1), QString::fromUtf8("Půjčit CD 15…"));
        QVERIFY(lend.Seen());
        const std::string catalog = program.ReadFile();
        QVERIFY(program.ReadFile("filmy.loans.xml").find("Petr") != std::string::npos);

        QVERIFY(LooksLent(menu, 0) && LooksLent(menu, 1) && !LooksLent(menu, 2));
        QCOMPARE(RowData(menu, 0, Qt::ToolTipRole).toString(), QString::fromUtf8("Půjčeno: Petr, od 3. 12. 2026"));
        QVERIFY(!RowData(menu, 2, Qt::ToolTipRole).isValid());

        QCOMPARE(TriggerFilmMenu(menu, 0), QString::fromUtf8("CD 15 vráceno"));
        QVERIFY(!LooksLent(menu, 0) && !LooksLent(menu, 1));
        QCOMPARE(program.ReadFile(), catalog);

        // Ctrl+Z takes back the latest change, here the return.
        menu.show();
        menu.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&menu));
        Ui().Clear();
        Ui().QueueAnswer(mrOk);
        QTest::keyClick(menu.DBGrid1, Qt::Key_Z, Qt::ControlModifier);
        QCOMPARE(cp1250::ToUtf8(Ui().Messages.back().Text), std::string("Vrátit zpět poslední změnu (vráceno CD 15)?"));
        QVERIFY(LooksLent(menu, 0));
    }

    void aLoanWithoutANameIsRefusedAndTheDialogStays() {
        ProgramUnderTest program(kShelf);
        ModalAnswer lend([](QWidget* window) {
            auto& dialog = *qobject_cast<TPujckaF*>(window);
            dialog.Button1->click();
            QVERIFY(dialog.isVisible());
            dialog.reject();
        });
        TriggerFilmMenu(program.Menu, 2);
        QCOMPARE(cp1250::ToUtf8(Ui().Messages.back().Text), std::string("Chybí, komu se CD půjčuje."));
        QVERIFY(!LooksLent(program.Menu, 2));
    }

    void theDiscListsInTheListWindow() {
        ProgramUnderTest program(kShelf);
        ModalAnswer lend([](QWidget* window) {
            auto& dialog = *qobject_cast<TPujckaF*>(window);
            dialog.Edit1->setText(QStringLiteral("Jana"));
            dialog.DateEdit1->setDate(QDate(2026, 1, 2));
            dialog.Button1->click();
        });
        TriggerFilmMenu(program.Menu, 2);
        QCOMPARE(ListedText(program.Menu.SeznamCDItem),
                 QString::fromUtf8("CD 15\n    Amadeus\n    Brazil / Brazílie\nCD 16 – půjčeno: Jana, od 2. 1. 2026\n"
                                   "    Cube / Kostka\n\nVolná čísla: 1–14"));
        QVERIFY(ListedText(program.Menu.SeznamPujcenaItem)
                    .startsWith(QString::fromUtf8("CD 16 – Jana, od 2. 1. 2026, ")));
    }

    void aDamagedLoansFileIsSaidOnceAndTheCatalogOpens() {
        ProgramUnderTest program;
        program.WriteCatalog(kShelf);
        WriteBytes(program.FilePath("filmy.loans.xml"), "<?xml");
        Ui().Clear();
        program.Start();
        QCOMPARE(program.Menu.DataSource1->rowCount(), 3);
        QCOMPARE(Ui().Messages.size(), std::size_t(1));
        QVERIFY(cp1250::ToUtf8(Ui().Messages.front().Text).starts_with("Soubor výpůjček nelze přečíst: filmy.loans.xml."));
        QVERIFY(Ui().Messages.front().Kind == MessageKind::Notice);
        program.Menu.SortBy("S3", nullptr);
        QCOMPARE(Ui().Messages.size(), std::size_t(1));
    }
};

KINOVKA_WINDOW_TEST_MAIN(LoansQtTest)
#include "LoansQtTest.moc"
