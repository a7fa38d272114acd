// A film file dropped onto the main window: the question names the file, its
// format and the number of films; "OK" adds them and shows the summary, "Cancel"
// changes nothing.
#include <QMimeData>
#include <QTest>
#include <QUrl>

#include "tests/app/WindowTestSupport.h"

namespace {

// The drag entering the window and the drop, as the window system delivers them.
void Drop(TMenuF& menu, const std::string& path) {
    QMimeData data;
    data.setUrls({QUrl::fromLocalFile(QString::fromStdString(path))});
    QDragEnterEvent enter(QPoint(10, 10), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(&menu, &enter);
    QVERIFY(enter.isAccepted());
    QDropEvent drop(QPointF(10, 10), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(&menu, &drop);
}

}  // namespace

class FilmDropQtTest : public QObject {
    Q_OBJECT

private slots:
    void aDroppedFileIsAddedAfterTheQuestionWithItsSummary() {
        ProgramUnderTest program(SampleFilms());
        WriteBytes(program.FilePath("sbirka.gcs"),
                   "<collection type=\"GCfilms\"><item title=\"Kolja\" original=\"Kolya\" place=\"CD 9\"/>"
                   "<item title=\"Pelíšky\" original=\"Pelíšky\" place=\"12\" director=\"Hřebejk\"/></collection>");
        const std::string before = program.ReadFile();

        Ui().Clear();
        Ui().QueueAnswer(mrCancel);
        Drop(program.Menu, program.FilePath("sbirka.gcs"));
        QCOMPARE(program.ReadFile(), before);

        Ui().Clear();
        Drop(program.Menu, program.FilePath("sbirka.gcs"));
        QCOMPARE(Ui().Messages.size(), std::size_t(2));
        QCOMPARE(cp1250::ToUtf8(Ui().Messages[0].Text), std::string("Přidat 2 filmy ze souboru sbirka.gcs (GCstar)?"));
        QCOMPARE(Ui().Messages[0].Kind, MessageKind::Confirm);
        QCOMPARE(cp1250::ToUtf8(Ui().Messages[1].Text),
                 std::string("Formát: GCstar\nFilmů přečteno: 2, přidáno: 1, vynecháno jako duplicitní: 1\n"
                             "Vynechaná pole (filmů s hodnotou): director 1"));
        QCOMPARE(Ui().Messages[1].Kind, MessageKind::Information);
        QCOMPARE(program.Column(0).size(), SampleFilms().size() + 1);
        QVERIFY(program.ReadFile().find("S1=\"Kolya\" S2=\"Kolja\" S3=\"9\"") != std::string::npos);
    }
};

KINOVKA_WINDOW_TEST_MAIN(FilmDropQtTest)
#include "FilmDropQtTest.moc"
