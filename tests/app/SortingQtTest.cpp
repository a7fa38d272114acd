// Sorting from the sort menu, the "Třídění" face and the column titles: red
// titles, the check mark, the typed-search column and the grid's order.
#include <QAction>
#include <QTest>
#include <QToolButton>
#include <algorithm>
#include <chrono>
#include <filesystem>

#include "app/core/Global.h"
#include "app/window/CatalogGridModel.h"
#include "app/window/DBGrid.h"
#include "tests/app/WindowTestSupport.h"

namespace {

QAction* Checked(const TMenuF& menu) {
    for (QAction* item : {menu.NazEnPop, menu.NazCzPop, menu.CisCDPop, menu.ZneniPop, menu.TitulkyPop, menu.ksCDPop,
                          menu.PoznPop})
        if (item->isChecked()) return item;
    return nullptr;
}

void ClickTitle(TMenuF& menu, int column) {
    if (!menu.isVisible()) {
        menu.show();
        QVERIFY(QTest::qWaitForWindowExposed(&menu));
    }
    QHeaderView* header = menu.DBGrid1->horizontalHeader();
    const int x = header->sectionViewportPosition(column) + header->sectionSize(column) / 2;
    QTest::mouseClick(header->viewport(), Qt::LeftButton, Qt::NoModifier, QPoint(x, header->height() / 2));
}

}  // namespace

class SortingQtTest : public QObject {
    Q_OBJECT

private slots:
    void everySortMenuItemColoursItsFieldsAndTurnsTypedSearchOff() {
        ProgramUnderTest program(SampleFilms());
        TMenuF& menu = program.Menu;
        struct Expected {
            QAction* item;
            const char* fields;
            const char* red;
        };
        const Expected cases[] = {
            {menu.NazCzPop, "S2;S1;S3", "S1,S2,S3"},       {menu.CisCDPop, "S3;S1;S2", "S1,S2,S3"},
            {menu.ZneniPop, "S4;S5;S1;S2;S3", "S1,S2,S3,S4,S5"}, {menu.TitulkyPop, "S5;S4;S1;S2;S3", "S1,S2,S3,S4,S5"},
            {menu.ksCDPop, "S6;S3;S1;S2", "S1,S2,S3,S6"},  {menu.PoznPop, "S7;S1;S2;S3", "S1,S2,S3,S7"},
            {menu.NazEnPop, "S1;S2;S3", "S1,S2,S3"},
        };
        for (const Expected& expected : cases) {
            expected.item->trigger();
            QCOMPARE(SortFields, std::string(expected.fields));
            QCOMPARE(program.RedTitles(), std::string(expected.red));
            QCOMPARE(Checked(menu), expected.item);
            QCOMPARE(QuickSearchColumn, -1);
            QCOMPARE(menu.cds.CurrentRow(), 0);
            QCOMPARE(program.GridRow(), 0);
        }
        QVERIFY(Ui().Messages.empty());
    }

    void sortMenuOrdersTheGrid() {
        ProgramUnderTest program(SampleFilms());
        program.Menu.CisCDPop->trigger();
        QCOMPARE(program.Column(2), (std::vector<std::string>{"3", "4", "7", "8", "12", "19", "25", "31", "40"}));
        program.Menu.NazCzPop->trigger();
        QCOMPARE(program.Column(1).front(), std::string("Amélie z Montmartru"));
        QCOMPARE(program.Column(1).back(), std::string("Zelená míle"));
        program.Menu.ZneniPop->trigger();
        QCOMPARE(program.Column(3), (std::vector<std::string>{"CZ", "CZ", "CZ", "EN", "EN", "EN", "EN", "FR", "RU"}));
    }

    void theSortButtonFaceSortsByEnglishTitle() {
        ProgramUnderTest program(SampleFilms());
        program.Menu.CisCDPop->trigger();
        program.Menu.ToolButton7->click();
        QCOMPARE(SortFields, std::string("S1;S2;S3"));
        QCOMPARE(Checked(program.Menu), program.Menu.NazEnPop);
        QCOMPARE(program.RedTitles(), std::string("S1,S2,S3"));
        QCOMPARE(program.Column(0).at(1), std::string("Amélie"));
    }

    void aTitleClickSortsByThatColumnAloneAndClearsTheCheckMark() {
        ProgramUnderTest program(SampleFilms());
        TMenuF& menu = program.Menu;
        const int expectedColumn[] = {1, 2, 3, -1, -1, -1, 7};
        const char* const fields[] = {"S1", "S2", "S3", "S4", "S5", "S6", "S7"};
        for (int column = 0; column < 7; ++column) {
            ClickTitle(menu, column);
            QCOMPARE(SortFields, std::string(fields[column]));
            QCOMPARE(program.RedTitles(), std::string(fields[column]));
            QCOMPARE(QuickSearchColumn, expectedColumn[column]);
            QCOMPARE(Checked(menu), static_cast<QAction*>(nullptr));
        }
        ClickTitle(menu, 4);  // "Titulky"
        QCOMPARE(program.Column(4).front(), std::string(""));
        QCOMPARE(program.Column(4).back(), std::string("CZ,EN"));
        ClickTitle(menu, 5);  // "ks CD" twice: the same ascending order again
        ClickTitle(menu, 5);
        QCOMPARE(program.Column(5).back(), std::string("2"));
        QCOMPARE(program.Column(5).front(), std::string("1"));
    }

    // While nobody else writes the file a title click does not read it again
    // (an order used before is taken up again); the grid must be what a click
    // that reads the file shows, and a file written behind the window's back
    // is read again.
    void aTitleClickShowsWhatReadingTheFileWouldShow() {
        ProgramUnderTest program(SampleFilms());
        TMenuF& menu = program.Menu;
        const auto shown = [&] {
            std::vector<std::string> grid = program.Grid();
            grid.push_back(std::to_string(program.GridRow()));
            return grid;
        };
        const int clicks[] = {3, 0, 6, 3, 5, 0};
        std::vector<std::vector<std::string>> kept;
        for (const int column : clicks) {
            ClickTitle(menu, column);
            kept.push_back(shown());
        }
        for (std::size_t i = 0; i < std::size(clicks); ++i) {
            // A new modification time makes the click read the file.
            const auto path = std::filesystem::path(program.FilePath());
            std::filesystem::last_write_time(path, std::filesystem::last_write_time(path) + std::chrono::seconds(1));
            ClickTitle(menu, clicks[i]);
            QCOMPARE(shown(), kept[i]);
        }
        std::vector<Film> changed = SampleFilms();
        changed.front().S1 = "Written elsewhere";
        program.WriteCatalog(changed);
        ClickTitle(menu, 0);
        const std::vector<std::string> titles = program.Column(0);
        QVERIFY(std::find(titles.begin(), titles.end(), "Written elsewhere") != titles.end());
        QCOMPARE(Ui().Messages.size(), std::size_t{0});
    }

    void columnsAreFoundByFieldNameWhereverTheyStand() {
        ProgramUnderTest program(SampleFilms());
        program.Menu.DBGrid1->horizontalHeader()->moveSection(6, 0);  // "Poznámka" first
        ClickTitle(program.Menu, 6);
        QCOMPARE(SortFields, std::string("S7"));
        QCOMPARE(QuickSearchColumn, 7);
        QCOMPARE(program.RedTitles(), std::string("S7"));
    }

    void aSortWhoseFileVanishedShowsTheNewSortOverAnEmptyGrid() {
        ProgramUnderTest program(SampleFilms());
        QVERIFY(QFile::remove(QString::fromStdString(program.FilePath())));
        program.Menu.PoznPop->trigger();
        QCOMPARE(Ui().Messages.size(), std::size_t{1});
        QCOMPARE(program.RedTitles(), std::string("S1,S2,S3,S7"));
        QCOMPARE(Checked(program.Menu), program.Menu.PoznPop);
        QCOMPARE(program.Menu.DataSource1->rowCount(), 0);
        QVERIFY(program.Menu.ToolButton2->isEnabled());
    }

    void clickingARowMovesTheTablesCursor() {
        ProgramUnderTest program(SampleFilms());
        TDBGrid& grid = *program.Menu.DBGrid1;
        grid.resize(600, 400);
        const QRect cell = grid.visualRect(program.Menu.DataSource1->index(3, 1));
        QTest::mouseClick(grid.viewport(), Qt::LeftButton, Qt::NoModifier, cell.center());
        QCOMPARE(program.Menu.cds.CurrentRow(), 3);
        QCOMPARE(program.CurrentTitle(), std::string("Pelíšky"));
        PressKey(&grid, Qt::Key_Down);
        QCOMPARE(program.CurrentTitle(), std::string("Stalker"));
        program.Menu.cds.Last();
        QCOMPARE(program.GridRow(), 8);
    }
};

KINOVKA_WINDOW_TEST_MAIN(SortingQtTest)
#include "SortingQtTest.moc"
