// The grid's function keys, Enter and double-click, and its delete key.
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QToolButton>
#include <functional>

#include "app/core/Global.h"
#include "app/dialogs/Hledej.h"
#include "app/dialogs/Uprav.h"
#include "app/window/CatalogGridModel.h"
#include "app/window/DBGrid.h"
#include "tests/app/WindowTestSupport.h"

namespace {

// True when a modal window opened while the key was handled (it is closed again).
bool OpensModal(QWidget* grid, Qt::Key key, Qt::KeyboardModifiers modifiers, QString* title = nullptr) {
    ModalAnswer answer(RejectModal);
    PressKey(grid, key, modifiers);
    if (title) *title = answer.Title;
    return answer.Seen();
}

}  // namespace

class GridKeysQtTest : public QObject {
    Q_OBJECT

private slots:
    void f4AddsEvenWithoutACatalogAndF7Finds() {
        ProgramUnderTest program;
        program.Start();
        QVERIFY(!program.Menu.ToolButton2->isEnabled());
        QString title;
        QVERIFY(OpensModal(program.Menu.DBGrid1, Qt::Key_F4, Qt::NoModifier, &title));
        QCOMPARE(title, QString::fromUtf8("Přidání CD do seznamu"));
        QVERIFY(OpensModal(program.Menu.DBGrid1, Qt::Key_F7, Qt::NoModifier, &title));
        QCOMPARE(title, QString::fromUtf8("Hledání CD podle zadaných hodnot"));
        QVERIFY(!program.Menu.ToolButton13->isEnabled());
    }

    void enterAndADoubleClickOpenOpravitForThatFilm() {
        ProgramUnderTest program(SampleFilms());
        TDBGrid* grid = program.Menu.DBGrid1;
        program.Menu.show();
        QVERIFY(QTest::qWaitForWindowExposed(&program.Menu));
        const auto filmOpened = [](const std::function<void()>& gesture) {
            QString film;
            ModalAnswer answer([&film](QWidget* window) {
                film = qobject_cast<TUpravF*>(window)->Edit1->text();
                RejectModal(window);
            });
            gesture();
            return answer.Title == QString::fromUtf8("Úprava CD v seznamu") ? film.toStdString() : "";
        };
        program.Menu.cds.GoToRow(3);
        QCOMPARE(filmOpened([&] { PressKey(grid, Qt::Key_Return); }), program.Column(0).at(3));
        const QPoint sixth = grid->visualRect(program.Menu.DataSource1->index(5, 1)).center();
        QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, sixth);  // a double-click's first press
        QCOMPARE(filmOpened([&] { QTest::mouseDClick(grid->viewport(), Qt::LeftButton, {}, sixth); }),
                 program.Column(0).at(5));
        program.Menu.DBGrid1TitleClick(0);  // typed letters still search
        TypeText(grid, QStringLiteral("sta"));
        QCOMPARE(filmOpened([&] { PressKey(grid, Qt::Key_Enter, Qt::KeypadModifier); }), std::string("Stalker"));
        ProgramUnderTest empty(std::vector<Film>{});
        QVERIFY(!OpensModal(empty.Menu.DBGrid1, Qt::Key_Return, Qt::NoModifier));
    }

    void functionKeysWithAModifierDoNothing() {
        ProgramUnderTest program(SampleFilms());
        for (const Qt::KeyboardModifiers modifiers : {Qt::ShiftModifier, Qt::ControlModifier, Qt::AltModifier}) {
            QVERIFY(!OpensModal(program.Menu.DBGrid1, Qt::Key_F4, modifiers));
            QVERIFY(!OpensModal(program.Menu.DBGrid1, Qt::Key_F7, modifiers));
        }
    }

    void f3ContinuesTheSearchOnlyWhileDalsiIsEnabled() {
        ProgramUnderTest program(SampleFilms());
        TDBGrid* grid = program.Menu.DBGrid1;
        PressKey(grid, Qt::Key_F3);
        QCOMPARE(program.Menu.cds.CurrentRow(), 0);
        QVERIFY(Ui().Messages.empty());

        // All criteria empty: every film matches, so "Další" walks one film on.
        ModalAnswer confirm([](QWidget* window) { qobject_cast<THledejF*>(window)->Button1->click(); });
        PressKey(grid, Qt::Key_F7);
        QVERIFY(confirm.Seen());
        QCOMPARE(program.Menu.cds.CurrentRow(), 0);
        QVERIFY(program.Menu.ToolButton13->isEnabled());
        PressKey(grid, Qt::Key_F3, Qt::ShiftModifier);
        QCOMPARE(program.Menu.cds.CurrentRow(), 0);
        PressKey(grid, Qt::Key_F3);
        QCOMPARE(program.Menu.cds.CurrentRow(), 1);
        QCOMPARE(program.GridRow(), 1);
    }

    void ctrlDeleteDeletesTheFilmFromTheFileForGood() {
        ProgramUnderTest program(SampleFilms());
        TDBGrid* grid = program.Menu.DBGrid1;
        program.Menu.cds.GoToRow(3);
        QCOMPARE(program.CurrentTitle(), std::string("Pelíšky"));

        Ui().QueueAnswer(mrCancel);
        PressKey(grid, Qt::Key_Delete, Qt::ControlModifier);
        QCOMPARE(Ui().Messages.size(), std::size_t{1});
        QCOMPARE(Ui().Messages[0].Text, std::string("Delete record?"));
        QCOMPARE(Ui().Messages[0].Kind, MessageKind::Confirm);
        QCOMPARE(Ui().Messages[0].Buttons, MessageButtons::OkCancel);
        QCOMPARE(program.Menu.DataSource1->rowCount(), 9);

        PressKey(grid, Qt::Key_Delete, Qt::ControlModifier);
        QCOMPARE(Ui().Messages.size(), std::size_t{2});
        QCOMPARE(program.Menu.DataSource1->rowCount(), 8);
        QVERIFY(program.ReadFile().find("Pel&#237;&#353;ky") == std::string::npos);
        QCOMPARE(program.CurrentTitle(), program.Column(0).at(static_cast<std::size_t>(program.GridRow())));

        program.Menu.CisCDPop->trigger();  // a reload: the film stays deleted
        QCOMPARE(program.Menu.DataSource1->rowCount(), 8);
        const std::vector<std::string> titles = program.Column(0);
        QVERIFY(std::find(titles.begin(), titles.end(), "Pelíšky") == titles.end());
    }

    void deleteWithoutCtrlOrOnAnEmptyCatalogAsksNothing() {
        ProgramUnderTest program(std::vector<Film>{});
        PressKey(program.Menu.DBGrid1, Qt::Key_Delete, Qt::ControlModifier);
        QVERIFY(Ui().Messages.empty());

        ProgramUnderTest full(SampleFilms());
        PressKey(full.Menu.DBGrid1, Qt::Key_Delete);
        QVERIFY(Ui().Messages.empty());
        QCOMPARE(full.Menu.DataSource1->rowCount(), 9);
    }
};

KINOVKA_WINDOW_TEST_MAIN(GridKeysQtTest)
#include "GridKeysQtTest.moc"
