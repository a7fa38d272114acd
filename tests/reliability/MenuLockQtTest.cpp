// Two windows on one catalogue: the window that opened it first holds its lock
// for the whole run; a window started while the lock is held shows the catalogue
// and may sort, find and list, but refuses every change until the lock is free.
#include <QTest>
#include <filesystem>
#include <QToolButton>

#include "app/core/CatalogLock.h"
#include "app/core/Global.h"
#include "app/window/DBGrid.h"
#include "tests/app/WindowTestSupport.h"
#include "tests/common/Catalogs.h"
#include "tests/common/Scratch.h"

namespace {

const std::string kInUse = "Katalog je otevřen v jiném programu: filmy.xml.";

std::vector<std::string> MessageTexts() {
    std::vector<std::string> texts;
    for (const RecordingUiServices::Message& message : Ui().Messages) texts.push_back(cp1250::ToUtf8(message.Text));
    return texts;
}

const std::vector<Film> kFilms{{"Alien", "Vetřelec", 3, "EN", "CZ", 2, ""},
                               {"Kolya", "Kolja", 2, "CZ", "EN", 1, ""},
                               {"Pelíšky", "Pelíšky", 12, "CZ", "", 1, "česká komedie"}};

// Starts the program over kFilms while another program holds the catalogue's
// lock; that lock is handed back, to be let go of when the test decides.
std::unique_ptr<CatalogLock> StartWhileLocked(ProgramUnderTest& program) {
    program.WriteCatalog(kFilms);
    auto other = std::make_unique<CatalogLock>(program.FilePath());
    program.Start();
    Ui().Clear();
    return other;
}

}  // namespace

class MenuLockQtTest : public QObject {
    Q_OBJECT

private slots:
    void theWindowHoldsTheLockFromStartUpToTheEnd() {
        // The catalogue lies outside the program's directory, which ends with the program.
        const ScratchDir elsewhere;
        const std::string path = elsewhere.File("filmy.xml");
        WriteBytes(path, CatalogOf(kFilms));
        {
            ProgramUnderTest program;
            program.Start({std::filesystem::relative(path, program.Directory.Path()).string()});
            QCOMPARE(program.Column(0).size(), std::size_t{3});
            QCOMPARE(CatalogLock(path).GetState(), CatalogLock::State::HeldElsewhere);
        }
        QCOMPARE(elsewhere.Names(), std::vector<std::string>{"filmy.xml"});
        QCOMPARE(CatalogLock(path).GetState(), CatalogLock::State::Held);
    }

    void aWindowWithoutACatalogHoldsItToo() {
        // "Nový" will create it; nobody else may create it meanwhile.
        ProgramUnderTest program;
        program.Start();
        QCOMPARE(CatalogLock(program.FilePath()).GetState(), CatalogLock::State::HeldElsewhere);
    }

    void aSecondWindowReadsButRefusesEveryChange() {
        ProgramUnderTest program;
        const auto other = StartWhileLocked(program);
        TMenuF& menu = program.Menu;
        const std::string before = program.ReadFile();

        // Reading goes on: the films are shown and sort.
        QCOMPARE(program.Column(0), (std::vector<std::string>{"Alien", "Kolya", "Pelíšky"}));
        menu.DBGrid1TitleClick(2);
        QCOMPARE(program.Column(0), (std::vector<std::string>{"Kolya", "Alien", "Pelíšky"}));

        // Every change is refused with the message, without a dialog or a question.
        const ModalAnswer unexpected(RejectModal);
        menu.ToolButton2->click();
        menu.ToolButton3->click();
        menu.ToolButton4->click();
        PressKey(menu.DBGrid1, Qt::Key_F4);
        PressKey(menu.DBGrid1, Qt::Key_Delete, Qt::ControlModifier);
        menu.ToolButton1Click();  // "Nový" is disabled here, but its action refuses too
        QTest::qWait(50);
        QVERIFY(!unexpected.Seen());
        QCOMPARE(MessageTexts(), std::vector<std::string>(6, kInUse));
        QCOMPARE(program.ReadFile(), before);
        QCOMPARE(program.Column(0), (std::vector<std::string>{"Kolya", "Alien", "Pelíšky"}));
    }

    void onceTheLockIsFreeTheWindowReadsTheFileAgainAndChanges() {
        ProgramUnderTest program;
        auto other = StartWhileLocked(program);
        TMenuF& menu = program.Menu;
        menu.DBGrid1TitleClick(2);  // by CD number: Kolya, Alien, Pelíšky
        menu.cds.Next();            // on Alien
        QCOMPARE(program.CurrentTitle(), std::string("Alien"));

        // The other program adds a film and ends.
        std::vector<Film> changed = kFilms;
        changed.push_back({"Brazil", "Brazil", 1, "EN", "CZ", 1, ""});
        program.WriteCatalog(changed);
        other.reset();
        Ui().Clear();

        // The edit opens on the same film, in the same sort, over the file's films.
        ModalAnswer edit([](QWidget* dialog) { RejectModal(dialog); });
        menu.ToolButton3->click();
        QVERIFY(edit.Seen());
        QCOMPARE(edit.Title, QString::fromUtf8("Úprava CD v seznamu"));
        QCOMPARE(program.Column(0), (std::vector<std::string>{"Brazil", "Kolya", "Alien", "Pelíšky"}));
        QCOMPARE(program.CurrentTitle(), std::string("Alien"));
        QVERIFY(Ui().Messages.empty());
        QCOMPARE(CatalogLock(program.FilePath()).GetState(), CatalogLock::State::HeldElsewhere);
    }

    void aFilmThatTheOtherProgramDeletedIsNotChanged() {
        ProgramUnderTest program;
        auto other = StartWhileLocked(program);
        TMenuF& menu = program.Menu;
        menu.cds.Last();  // on Pelíšky
        program.WriteCatalog({kFilms[0], kFilms[1]});
        other.reset();
        Ui().Clear();

        const ModalAnswer unexpected(RejectModal);
        menu.ToolButton4->click();  // "Smazat" would delete whatever film is current now
        QTest::qWait(50);
        QVERIFY(!unexpected.Seen());
        QCOMPARE(program.Column(0), (std::vector<std::string>{"Alien", "Kolya"}));
        QCOMPARE(FilmsInFile(program.FilePath()), 2);
    }
};

KINOVKA_WINDOW_TEST_MAIN(MenuLockQtTest)
#include "MenuLockQtTest.moc"
