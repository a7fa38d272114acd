// The edit dialog driven by keys and clicks on a catalogue file in a temporary directory.
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <csignal>
#include <sys/resource.h>

#include "app/dialogs/Uprav.h"
#include "tests/common/Typing.h"
#include "tests/dialogs/CatalogOnDisk.h"
#include "tests/dialogs/ScaledLayout.h"

namespace {

const std::vector<Film> kFourFilms{{"A", "a", 1, "EN", "CZ", 1, ""},
                                   {"B", "b", 2, "EN", "CZ", 1, ""},
                                   {"C", "c", 3, "EN", "CZ", 1, ""},
                                   {"D", "d", 4, "EN", "CZ", 1, ""}};

std::string Cp(const char* utf8) { return cp1250::FromUtf8(utf8); }

// Files may grow to at most this many bytes while it lives: every later save fails
// as on a full disk, while the catalogue can still be read.
class FullDisk {
public:
    FullDisk() {
        std::signal(SIGXFSZ, SIG_IGN);
        getrlimit(RLIMIT_FSIZE, &saved_);
        rlimit tiny = saved_;
        tiny.rlim_cur = 16;
        setrlimit(RLIMIT_FSIZE, &tiny);
    }
    ~FullDisk() { setrlimit(RLIMIT_FSIZE, &saved_); }

private:
    rlimit saved_{};
};

}  // namespace

class UpravQtTest : public QObject {
    Q_OBJECT

    // Opens the dialog as Execute would, without its modal loop.
    static void Open(TUpravF& dialog, CatalogOnDisk& catalog, UpravMode mode) {
        QVERIFY(dialog.Prepare(catalog.Table, mode));
        dialog.show();
        QVERIFY(QTest::qWaitForWindowActive(&dialog));
    }

private slots:
    void layoutCaptionsAndTabOrder() {
        CatalogOnDisk catalog({});
        TUpravF dialog;
        Open(dialog, catalog, UpravMode::Add);
        QCOMPARE(dialog.windowTitle(), QString::fromUtf8("Přidání CD do seznamu"));
        QCOMPARE(LayoutProblems(dialog, QSize(373, 285)), QString());
        const double scale = ScaleOf(dialog, 373);
        QVERIFY(ScaledAlike(dialog.Edit7->geometry(), QRect(53, 190, 265, 21), scale));
        QVERIFY(ScaledAlike(dialog.Button2->geometry(), QRect(245, 230, 75, 25), scale));
        QCOMPARE(dialog.Button1->text(), QString::fromUtf8("&Stačí"));
        QCOMPARE(dialog.Button3->text(), QString::fromUtf8("&Další"));
        QVERIFY(dialog.Button3->isDefault() && dialog.Button3->isEnabled() && !dialog.Button1->isDefault());
        QCOMPARE(QApplication::focusWidget(), dialog.Edit1);

        QWidget* expected[] = {dialog.Edit2, dialog.Edit3, dialog.Edit4, dialog.Edit5, dialog.Edit6,
                               dialog.Edit7, dialog.Button1, dialog.Button2, dialog.Button3, dialog.Edit1};
        for (QWidget* next : expected) {
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
            QCOMPARE(QApplication::focusWidget(), next);
        }
    }

    void addWithDefaultsCopiesTheTitleOnTab() {
        CatalogOnDisk catalog({});
        TUpravF dialog;
        Open(dialog, catalog, UpravMode::Add);
        QCOMPARE(dialog.Edit4->text(), QString("EN"));
        QCOMPARE(dialog.Edit5->text(), QString("CZ"));
        QCOMPARE(dialog.Edit6->text(), QString("1"));
        TypeText(dialog.Edit1, QString::fromUtf8("Pelíšky"));
        QTest::keyClick(dialog.Edit1, Qt::Key_Tab);
        QCOMPARE(dialog.Edit2->text(), QString::fromUtf8("Pelíšky"));
        QTest::mouseClick(dialog.Button1, Qt::LeftButton);

        QVERIFY(!dialog.isVisible());
        QCOMPARE(dialog.result(), int(mrOk));
        QVERIFY(catalog.Ui.Messages.empty());
        QCOMPARE(catalog.Table.CountRecords(), 1);
        catalog.Table.First();
        QCOMPARE(catalog.Table.FieldNamed("S1").AsString(), Cp("Pelíšky"));
        QCOMPARE(catalog.Table.FieldNamed("S2").AsString(), Cp("Pelíšky"));
        QCOMPARE(catalog.Table.FieldNamed("S3").AsInteger(), 0);
        QCOMPARE(catalog.Table.FieldNamed("S4").AsString(), std::string("EN"));
        QCOMPARE(catalog.Table.FieldNamed("S5").AsString(), std::string("CZ"));
        QCOMPARE(catalog.Table.FieldNamed("S6").AsInteger(), 1);
        QCOMPARE(catalog.Table.FieldNamed("S7").AsString(), std::string());
        QCOMPARE(catalog.TitlesInFile(), std::vector<std::string>{"Pelíšky"});
    }

    void leavingTheTitleKeepsATypedCzechTitle() {
        CatalogOnDisk catalog({{"Alien", "Vetřelec", 5, "EN", "CZ", 1, ""}});
        TUpravF dialog;
        Open(dialog, catalog, UpravMode::Edit);
        QCOMPARE(dialog.Edit2->text(), QString::fromUtf8("Vetřelec"));
        QTest::keyClick(dialog.Edit1, Qt::Key_End);
        TypeText(dialog.Edit1, "s");
        QTest::keyClick(dialog.Edit1, Qt::Key_Tab);
        QCOMPARE(dialog.Edit2->text(), QString::fromUtf8("Vetřelec"));
        dialog.Edit2->clear();
        dialog.Edit1->setFocus();
        QTest::keyClick(dialog.Edit1, Qt::Key_Tab);
        QCOMPARE(dialog.Edit2->text(), QString("Aliens"));
    }

    void typedTextIsStoredAsWindows1250AndCutToTheField() {
        CatalogOnDisk catalog({});
        TUpravF dialog;
        Open(dialog, catalog, UpravMode::Add);
        const QString sixty = QString("0123456789").repeated(6);
        dialog.Edit1->setText(sixty);
        dialog.Edit2->setText(QString::fromUtf8("Žluťoučký kůň € 日本"));
        dialog.Edit4->setText("ENG");
        QVERIFY(dialog.StoreRecord());
        catalog.Table.First();
        QCOMPARE(catalog.Table.FieldNamed("S1").AsString(), sixty.left(50).toStdString());
        QCOMPARE(catalog.Table.FieldNamed("S2").AsString(), Cp("Žluťoučký kůň € ??"));
        QCOMPARE(catalog.Table.FieldNamed("S4").AsString(), std::string("EN"));
    }

    void aNumberThatIsNoIntegerIsRefused() {
        CatalogOnDisk catalog({{"A", "a", 1, "EN", "CZ", 1, ""}});
        TUpravF dialog;
        Open(dialog, catalog, UpravMode::Add);
        TypeText(dialog.Edit1, "New");
        TypeText(dialog.Edit3, "12a");
        dialog.Edit6->clear();
        QTest::mouseClick(dialog.Button1, Qt::LeftButton);

        QVERIFY(dialog.isVisible());
        QCOMPARE(catalog.Ui.Messages.size(), std::size_t(1));
        QCOMPARE(catalog.Ui.Messages[0].Text, Cp("Tyto položky nelze vložit do databáze filmy.xml."));
        QVERIFY(catalog.Ui.Messages[0].Kind == MessageKind::Error);
        QCOMPARE(dialog.Edit1->text(), QString("New"));
        QCOMPARE(dialog.Edit3->text(), QString("12a"));
        QCOMPARE(dialog.Edit6->text(), QString("0"));
        QCOMPARE(catalog.Table.CountRecords(), 1);
        QCOMPARE(catalog.Current(), std::string("A"));
        QVERIFY(!catalog.Table.ViewsFrozen());
    }

    void emptyNumberBoxesStoreZeroAndHexIsAccepted() {
        CatalogOnDisk catalog({});
        TUpravF dialog;
        Open(dialog, catalog, UpravMode::Add);
        dialog.Edit1->setText("X");
        dialog.Edit6->setText(" $1F");
        QVERIFY(dialog.StoreRecord());
        catalog.Table.First();
        QCOMPARE(catalog.Table.FieldNamed("S3").AsInteger(), 0);
        QCOMPARE(catalog.Table.FieldNamed("S6").AsInteger(), 31);
    }

    void furtherThreeTimesAddsThreeAndKeepsTheCursor() {
        CatalogOnDisk catalog({{"B", "", 1, "", "", 1, ""}, {"D", "", 2, "", "", 1, ""}});
        catalog.GoTo("D");
        TUpravF dialog;
        Open(dialog, catalog, UpravMode::Add);
        for (const char* title : {"C", "A", "E"}) {
            TypeText(dialog.Edit1, title);
            QTest::mouseClick(dialog.Button3, Qt::LeftButton);
            QVERIFY(dialog.isVisible());
            QCOMPARE(dialog.Edit1->text(), QString());
            QCOMPARE(dialog.Edit6->text(), QString("1"));
            QCOMPARE(QApplication::focusWidget(), dialog.Edit1);
            QCOMPARE(catalog.Current(), std::string("D"));
        }
        QVERIFY(catalog.Ui.Messages.empty());
        QCOMPARE(catalog.Titles(), (std::vector<std::string>{"A", "B", "C", "D", "E"}));
        QTest::keyClick(dialog.Edit1, Qt::Key_Escape);
        QVERIFY(!dialog.isVisible());
        QCOMPARE(dialog.result(), int(mrCancel));
        QCOMPARE(catalog.TitlesInFile().size(), std::size_t(5));
    }

    void editShowsTheRecordAndChangesIt() {
        CatalogOnDisk catalog(kFourFilms);
        catalog.GoTo("B");
        TUpravF dialog;
        Open(dialog, catalog, UpravMode::Edit);
        QCOMPARE(dialog.windowTitle(), QString::fromUtf8("Úprava CD v seznamu"));
        QVERIFY(dialog.Button1->isDefault() && !dialog.Button3->isEnabled());
        QCOMPARE(dialog.Edit3->text(), QString("2"));
        dialog.Edit7->setText(QString::fromUtf8("poznámka"));
        QTest::keyClick(dialog.Edit7, Qt::Key_Return);
        QVERIFY(!dialog.isVisible());
        QCOMPARE(catalog.Current(), std::string("B"));
        QCOMPARE(FieldUtf8(catalog.Table, "S7"), std::string("poznámka"));
        QCOMPARE(catalog.Table.CountRecords(), 4);
    }

    // The film after a deleted one, and an edited film wherever it now sorts, is
    // found again by its key: the reload renumbers the films stored behind a deleted
    // one (D is the file's last), and an edit may move a film.
    void theCursorStandsOnTheFilmMeantAfterADeleteOrAnEdit() {
        const struct {
            const char *film, *newTitle, *current;  // no new title: delete
        } changes[] = {{"B", nullptr, "C"}, {"C", nullptr, "D"}, {"B", "Z", "Z"}, {"B", "Bb", "Bb"}};
        for (const auto& change : changes) {
            CatalogOnDisk catalog(kFourFilms);
            catalog.GoTo(change.film);
            TUpravF dialog;
            if (change.newTitle) {
                Open(dialog, catalog, UpravMode::Edit);
                dialog.Edit1->setText(change.newTitle);
                QVERIFY(dialog.StoreRecord());
            } else {
                dialog.Execute(catalog.Table, UpravMode::Delete);
            }
            QCOMPARE(catalog.Current(), std::string(change.current));
        }
    }

    void editOnAnEmptyCatalogInserts() {
        CatalogOnDisk catalog({});
        TUpravF dialog;
        Open(dialog, catalog, UpravMode::Edit);
        for (QLineEdit* box : {dialog.Edit1, dialog.Edit2, dialog.Edit4, dialog.Edit5, dialog.Edit7}) {
            QCOMPARE(box->text(), QString());
        }
        QCOMPARE(dialog.Edit3->text(), QString("0"));
        QCOMPARE(dialog.Edit6->text(), QString("0"));
        dialog.Edit1->setText("First");
        QTest::mouseClick(dialog.Button1, Qt::LeftButton);
        QVERIFY(!dialog.isVisible());
        QCOMPARE(catalog.Titles(), std::vector<std::string>{"First"});
    }

    void aFailedSaveKeepsTheDialogOpenWithTheEntries() {
        CatalogOnDisk catalog({{"A", "a", 1, "EN", "CZ", 1, ""}});
        TUpravF dialog;
        Open(dialog, catalog, UpravMode::Add);
        dialog.Edit1->setText("Lost?");
        dialog.Edit3->setText("77");
        {
            FullDisk full;
            QTest::mouseClick(dialog.Button1, Qt::LeftButton);
        }
        QVERIFY(dialog.isVisible());
        QCOMPARE(dialog.Edit1->text(), QString("Lost?"));
        QCOMPARE(dialog.Edit3->text(), QString("77"));
        QCOMPARE(catalog.Ui.Messages.size(), std::size_t(1));
        QCOMPARE(catalog.Ui.Messages[0].Text, Cp("Nepodařilo se uložit soubor: filmy.xml.\nSoubor by byl větší, než systém dovoluje."));
        QCOMPARE(catalog.Titles(), std::vector<std::string>{"A"});

        QTest::mouseClick(dialog.Button1, Qt::LeftButton);
        QVERIFY(!dialog.isVisible());
        QCOMPARE(catalog.Titles(), (std::vector<std::string>{"A", "Lost?"}));
    }

    void deleteOfTheLastFilmReturnsToTheOneBefore() {
        CatalogOnDisk catalog(kFourFilms);
        catalog.GoTo("D");
        TUpravF dialog;
        QVERIFY(!dialog.Prepare(catalog.Table, UpravMode::Delete));
        QVERIFY(!dialog.isVisible());
        QCOMPARE(catalog.Current(), std::string("C"));
        QCOMPARE(catalog.TitlesInFile(), (std::vector<std::string>{"A", "B", "C"}));
        QVERIFY(catalog.Ui.Messages.empty());
        QVERIFY(!catalog.Table.ViewsFrozen());
    }

    void deleteOfTheOnlyFilmAndOnAnEmptyCatalog() {
        CatalogOnDisk catalog({{"A", "", 1, "", "", 1, ""}});
        TUpravF dialog;
        dialog.Execute(catalog.Table, UpravMode::Delete);
        QCOMPARE(catalog.Table.CountRecords(), 0);
        QVERIFY(catalog.Ui.Messages.empty());

        dialog.Execute(catalog.Table, UpravMode::Delete);
        QCOMPARE(catalog.Ui.Messages.size(), std::size_t(1));
        QCOMPARE(catalog.Ui.Messages[0].Text, Cp("Tyto položky nelze smazat z databáze filmy.xml."));
        QCOMPARE(catalog.Table.CountRecords(), 0);
        QVERIFY(!catalog.Table.ViewsFrozen());
    }
};

QTEST_MAIN(UpravQtTest)
#include "UpravQtTest.moc"
