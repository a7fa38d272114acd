// The real Qt services: message boxes and the general error report show
// Windows-1250 texts (Czech letters, in messages and file names alike) as plain
// text, and Qt's own dialogs speak Czech.
#include <QDialogButtonBox>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <filesystem>
#include <functional>
#include <utility>
#include <stdexcept>

#include "app/core/Global.h"
#include "app/qtedge/QtUiServices.h"
#include "tests/app/WindowTestSupport.h"

namespace {

struct ShownBox {
    QString Title, Text;
    Qt::TextFormat Format = Qt::AutoText;
    QStringList Buttons;
};

// Shows what `show` opens and closes it with its escape button.
template <class Show>
ShownBox Showing(Show show) {
    ShownBox shown;
    ModalAnswer answer([&shown](QWidget* window) {
        auto* box = qobject_cast<QMessageBox*>(window);
        if (!box) {
            window->close();
            return;
        }
        shown = {box->windowTitle(), box->text(), box->textFormat(), {}};
        for (const QAbstractButton* button : box->buttons()) shown.Buttons << button->text();
        box->reject();
    });
    show();
    return shown;
}

}  // namespace

class QtServicesQtTest : public QObject {
    Q_OBJECT

private slots:
    void boxesShowWindows1250TextAsPlainText() {
        QtUiServices services;
        const std::string file = cp1250::FromUtf8("<b>Žluťoučký kůň.xml");
        const ShownBox report = Showing([&] {
            services.ReportError(std::runtime_error(cp1250::FromUtf8("Tisk se nepodařilo zahájit: ") + file));
        });
        QCOMPARE(report.Title, QStringLiteral("Kinovka"));
        QCOMPARE(report.Text, QString::fromUtf8("Tisk se nepodařilo zahájit: <b>Žluťoučký kůň.xml."));
        QCOMPARE(report.Format, Qt::PlainText);

        const ShownBox message = Showing([&] {
            services.MessageBox(cp1250::FromUtf8("Nepodařilo se uložit soubor: ") + file, MessageKind::Error,
                                MessageButtons::Ok);
        });
        QCOMPARE(message.Title, QStringLiteral("Error"));
        QCOMPARE(message.Text, QString::fromUtf8("Nepodařilo se uložit soubor: <b>Žluťoučký kůň.xml"));
        QCOMPARE(message.Format, Qt::PlainText);
    }

    // The window's boxes as they open: those the catalogue's windows have always
    // had keep their English captions and buttons, Kinovka's own speak Czech.
    void eachBoxOfTheWindowHasItsCaptionAndButtons() {
        using Program = ProgramUnderTest;
        const std::pair<std::function<void(Program&)>, QString> boxes[] = {
            {[](Program& p) { std::filesystem::remove(p.FilePath()), p.Start(); }, "Error: OK"},
            {[](Program& p) { p.Menu.DBGrid1DeleteKey(); }, "Confirm: OK,Cancel"},
            {[](Program& p) { p.Menu.UndoLastChange(); }, "Informace: OK"},  // nothing to undo
            {[](Program& p) { SaveCatalog(p.Menu.cds), p.Menu.UndoLastChange(); }, "Potvrzení: Ano,Ne"},
            {[](Program& p) { p.Menu.ToolButton1Click(); }, "Informace: OK"},  // "Nový" keeps a .bak
        };
        for (const auto& [show, box] : boxes) {
            Program program(SampleFilms());
            QtUiServices services;
            SetUserInterface(services);
            const ShownBox shown = Showing([&] { show(program); });
            SetUserInterface(Ui());
            QCOMPARE(shown.Title + ": " + shown.Buttons.join(','), box);
        }
    }

    void theSaveDialogOfTheListSpeaksCzech() {
        ProgramUnderTest program(SampleFilms());
        QStringList buttons;
        ModalAnswer answer([&buttons](QWidget* window) {
            for (const QPushButton* button : window->findChildren<QPushButton*>()) buttons << button->text();
            RejectModal(window);
        });
        program.Windows.SeznamF->ToolButton1Click();
        QVERIFY(answer.Seen());
        QVERIFY2(buttons.contains(QString::fromUtf8("&Uložit")), qPrintable(buttons.join(',')));
    }
};

KINOVKA_WINDOW_TEST_MAIN(QtServicesQtTest)
#include "QtServicesQtTest.moc"
