// The edit dialog when the save after a store or a delete fails at any step:
// the catalogue on disk stays byte for byte, the user is told, and what the
// user typed is still in the boxes to try again.
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include "app/dialogs/Uprav.h"
#include "tests/common/FaultyFileOperations.h"
#include "tests/dialogs/CatalogOnDisk.h"

namespace {

const std::vector<Film> kFilms{{"Alien", "Vetřelec", 3, "EN", "CZ", 2, ""},
                               {"Kolya", "Kolja", 2, "CZ", "EN", 1, ""}};

// The dialog sees only whether the save went through: one fault (a full disk) per
// action; every fault at every step is tried on the file replacement and on the
// catalogue's own save.
std::vector<Fault> Faults() { return {{Fault::Write, ENOSPC, 1}}; }

QStringList Boxes(const TUpravF& dialog) {
    QStringList texts;
    for (const QLineEdit* box : {dialog.Edit1, dialog.Edit2, dialog.Edit3, dialog.Edit4, dialog.Edit5, dialog.Edit6,
                                 dialog.Edit7})
        texts << box->text();
    return texts;
}

void Type(TUpravF& dialog, const QStringList& texts) {
    QLineEdit* boxes[] = {dialog.Edit1, dialog.Edit2, dialog.Edit3, dialog.Edit4, dialog.Edit5, dialog.Edit6,
                          dialog.Edit7};
    for (int i = 0; i < 7; ++i) boxes[i]->setText(texts[i]);
}

const QStringList kTyped{QString::fromUtf8("Pelíšky"), QString::fromUtf8("Pelíšky"), "12", "CZ", "",
                         "1",                           QString::fromUtf8("česká komedie")};

}  // namespace

class UpravSaveFailureQtTest : public QObject {
    Q_OBJECT

    // Shows the dialog as Execute would, without its modal loop.
    static void Open(TUpravF& dialog, CatalogOnDisk& catalog, UpravMode mode) {
        QVERIFY(dialog.Prepare(catalog.Table, mode));
        dialog.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dialog));
    }

    static void CheckFailure(CatalogOnDisk& catalog, const std::string& before, const char* reason = "Disk je plný.") {
        QCOMPARE(catalog.Ui.Messages.size(), std::size_t{1});
        QCOMPARE(catalog.Ui.Messages[0].Text, cp1250::FromUtf8("Nepodařilo se uložit soubor: filmy.xml.\n") +
                                                    cp1250::FromUtf8(reason));
        QCOMPARE(ReadBytes(CatalogPath()), before);
        QCOMPARE(QDir(QString::fromStdString(catalog.Directory.Path())).entryList(QDir::Files), QStringList{"filmy.xml"});
    }

private slots:
    void addKeepsTheTypingWhenSavingFails() {
        for (const Fault& fault : Faults()) {
            CatalogOnDisk catalog(kFilms);
            const std::string before = ReadBytes(CatalogPath());
            TUpravF dialog;
            Open(dialog, catalog, UpravMode::Add);
            Type(dialog, kTyped);
            {
                const FaultyFileOperations failing(fault);
                QTest::mouseClick(dialog.Button1, Qt::LeftButton);  // "&Stačí"
            }
            QVERIFY2(dialog.isVisible(), fault.Describe().c_str());
            QCOMPARE(Boxes(dialog), kTyped);
            CheckFailure(catalog, before);
            QCOMPARE(catalog.Titles(), (std::vector<std::string>{"Alien", "Kolya"}));

            // Once the disk works again the same boxes store the film.
            QTest::mouseClick(dialog.Button1, Qt::LeftButton);
            QVERIFY(!dialog.isVisible());
            QCOMPARE(catalog.TitlesInFile(), (std::vector<std::string>{"Alien", "Kolya", "Pelíšky"}));
        }
    }

    void nextFilmKeepsTheTypingWhenSavingFails() {
        CatalogOnDisk catalog(kFilms);
        const std::string before = ReadBytes(CatalogPath());
        TUpravF dialog;
        Open(dialog, catalog, UpravMode::Add);
        Type(dialog, kTyped);
        {
            const FaultyFileOperations failing({Fault::Rename, EACCES});
            QTest::mouseClick(dialog.Button3, Qt::LeftButton);  // "&Další"
        }
        QCOMPARE(Boxes(dialog), kTyped);
        CheckFailure(catalog, before, "Přístup odepřen.");
    }

    void editKeepsTheTypingWhenSavingFails() {
        for (const Fault& fault : Faults()) {
            CatalogOnDisk catalog(kFilms);
            catalog.GoTo("Kolya");
            const std::string before = ReadBytes(CatalogPath());
            TUpravF dialog;
            Open(dialog, catalog, UpravMode::Edit);
            dialog.Edit7->setText(QString::fromUtf8("režisérská verze"));
            const QStringList typed = Boxes(dialog);
            {
                const FaultyFileOperations failing(fault);
                QTest::mouseClick(dialog.Button1, Qt::LeftButton);
            }
            QVERIFY2(dialog.isVisible(), fault.Describe().c_str());
            QCOMPARE(Boxes(dialog), typed);
            CheckFailure(catalog, before);
        }
    }

    void deleteThatCannotBeSavedKeepsTheFilm() {
        for (const Fault& fault : Faults()) {
            CatalogOnDisk catalog(kFilms);
            catalog.GoTo("Kolya");
            const std::string before = ReadBytes(CatalogPath());
            TUpravF dialog;
            {
                const FaultyFileOperations failing(fault);
                QVERIFY(!dialog.Prepare(catalog.Table, UpravMode::Delete));
            }
            CheckFailure(catalog, before);
            // The reload brings the film back: the file is the master copy.
            QCOMPARE(catalog.Titles(), (std::vector<std::string>{"Alien", "Kolya"}));
        }
    }
};

int main(int argc, char** argv) {
    QApplication application(argc, argv);
    UpravSaveFailureQtTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "UpravSaveFailureQtTest.moc"
