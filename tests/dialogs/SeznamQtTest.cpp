// The list window: the texts it shows, saving the edited text, printing to a PDF file.
#include <QFile>
#include <QFileDialog>
#include <QFontInfo>
#include <QPrinter>
#include <QPrinterInfo>
#include <QPageLayout>
#include <QProcess>
#include <QRegularExpression>
#include <QTest>
#include <QTextBlock>
#include <QPlainTextEdit>
#include <QToolButton>
#include <sys/stat.h>
#include <unistd.h>
#include <random>

#include "app/core/FilmListText.h"
#include "app/dialogs/Seznam.h"
#include "app/qtedge/QtEdge.h"
#include "tests/common/ActingAs.h"
#include "tests/common/ModalAnswer.h"
#include "tests/common/Programs.h"
#include "tests/common/Scratch.h"
#include "tests/dialogs/CatalogOnDisk.h"

namespace {

QString BoxText(const TSeznamF& window) { return window.RichEdit1->toPlainText(); }

// The text of a PDF file, by pdftotext with the layout kept; empty when the tool is missing.
QString PdfText(const QString& path, const QStringList& extra = {}) {
    QProcess tool;
    tool.start("pdftotext", extra + QStringList{"-layout", "-enc", "UTF-8", path, "-"});
    if (!tool.waitForFinished(30000) || tool.exitCode() != 0) return {};
    return QString::fromUtf8(tool.readAllStandardOutput());
}

// Per page of a PDF file, where its first word starts ("x y", in points from the
// sheet's top left corner), by pdftotext's bounding boxes.
QStringList FirstWordCorners(const QString& path) {
    QProcess tool;
    tool.start("pdftotext", {"-bbox", path, "-"});
    if (!tool.waitForFinished(30000) || tool.exitCode() != 0) return {};
    const QString html = QString::fromUtf8(tool.readAllStandardOutput());
    QStringList corners;
    const QRegularExpression firstWord(R"re(<page[^>]*>\s*<word xMin="([0-9.]+)" yMin="([0-9.]+)")re");
    for (auto match = firstWord.globalMatch(html); match.hasNext();) {
        const auto page = match.next();
        corners << page.captured(1) + ' ' + page.captured(2);
    }
    return corners;
}

}  // namespace

class SeznamQtTest : public QObject {
    Q_OBJECT

private slots:
    void listShowsEveryFilmInTheCurrentOrderAndKeepsTheCursor() {
        CatalogOnDisk catalog({{"Pelíšky", "Pelíšky", 7, "CZ", "", 1, ""},
                                 {"Alien", "Vetřelec", -5, "EN", "CZ", std::nullopt, "sci-fi"}},
                                "S3");
        catalog.GoTo("Alien");
        TSeznamF window;
        window.Fill(catalog.Table, 0);
        QCOMPARE(window.windowTitle(), QString::fromUtf8("Práce se seznamem"));
        QCOMPARE(window.RichEdit1->document()->blockCount(), 4);
        const QStringList lines = BoxText(window).split('\n');
        QCOMPARE(lines[0], QString::fromUtf8(cp1250::ToUtf8(FilmListHeader()).c_str()));
        QCOMPARE(lines[1], QString());
        QCOMPARE(lines[2], QString("Alien") + QString(45, ' ') + ' ' + QString::fromUtf8("Vetřelec") +
                               QString(42, ' ') + " -0005 EN CZ" + QString(9, ' ') + "    " + "sci-fi" +
                               QString(94, ' '));
        QVERIFY(lines[3].startsWith(QString::fromUtf8("Pelíšky")));
        QCOMPARE(lines[3].mid(102, 4), QString("0007"));
        QCOMPARE(lines[3].size(), 225);
        QCOMPARE(window.RichEdit1->textCursor().position(), 0);
        QCOMPARE(catalog.Current(), std::string("Alien"));
        QVERIFY(!catalog.Table.ViewsFrozen());
    }

    // The box's text is converted by table; random byte strings, every byte value
    // included, come out as through UTF-8 and go back unchanged.
    void everyByteShowsAsItsCharacter() {
        std::mt19937 random(15);
        for (int round = 0; round < 200; ++round) {
            std::string bytes(random() % 300, '\0');
            for (char& byte : bytes) byte = static_cast<char>(random() % 256);
            const std::string utf8 = cp1250::ToUtf8(bytes);
            QCOMPARE(ToQString(bytes), QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size())));
            QCOMPARE(FromQString(ToQString(bytes)), bytes);
        }
    }

    void wholeTextIsCourierEightPointsFixedPitch() {
        CatalogOnDisk catalog({{"A", "", 1, "", "", 1, ""}});
        TSeznamF window;
        window.Fill(catalog.Table, 1);
        for (QTextBlock block = window.RichEdit1->document()->begin(); block.isValid(); block = block.next()) {
            for (auto it = block.begin(); !it.atEnd(); ++it) {
                const QFont font = it.fragment().charFormat().font();
                QCOMPARE(font.pointSize(), 8);
                QVERIFY(QFontInfo(font).fixedPitch());
                QVERIFY(!font.bold() && !font.italic() && !font.underline() && !font.strikeOut());
            }
        }
        QCOMPARE(window.RichEdit1->lineWrapMode(), QPlainTextEdit::NoWrap);
        QVERIFY(!window.RichEdit1->isReadOnly());
        QVERIFY(!window.RichEdit1->tabChangesFocus());
    }

    void summaryAndAnUnknownMode() {
        CatalogOnDisk catalog({{"a", "", 1, "cz", "", 2, ""}, {"b", "", 2, "en", "EN,CZ", 3, ""}});
        TSeznamF window;
        window.Fill(catalog.Table, 1);
        const QStringList lines = BoxText(window).split('\n');
        QCOMPARE(lines.size(), 12);
        QCOMPARE(lines[0], QString::fromUtf8("Souhrn datového souboru filmy.xml:"));
        QCOMPARE(lines[3], QString::fromUtf8("Počet CD: 5"));
        QCOMPARE(lines[10], QString::fromUtf8("Počet filmů v angličtině s českými titulky: 1"));
        window.Fill(catalog.Table, 7);
        QCOMPARE(BoxText(window), QString());
    }

    void savingWritesTheEditedTextAsWindows1250WithCrLf() {
        CatalogOnDisk catalog({});
        TSeznamF window;
        window.Fill(catalog.Table, 1);
        window.RichEdit1->setPlainText(QString::fromUtf8("Žluťoučký kůň\n\n\tčíslo 7 日\nkonec"));
        const QString path = QString::fromStdString(catalog.Directory.File("seznam.txt"));
        QFile old(path);
        QVERIFY(old.open(QIODevice::WriteOnly));
        old.write(QByteArray(5000, 'x'));
        old.close();

        ModalAnswer save(window.SaveDialog1, [&](QWidget*) {
            window.SaveDialog1->selectFile(path);
            static_cast<QDialog*>(window.SaveDialog1)->accept();
        });
        window.ToolButton1Click();
        const std::string expected = cp1250::FromUtf8("Žluťoučký kůň\r\n\r\n\tčíslo 7 ?\r\nkonec\r\n");
        QCOMPARE(QByteArray::fromStdString(ReadBytes(path.toStdString())), QByteArray::fromStdString(expected));
        QVERIFY(catalog.Ui.ErrorReports.empty());
    }

    // A long list goes into the box in parts: saved at once, it still holds
    // every line, and left to the event loop the box gets the rest by itself.
    void aLongListIsSavedWholeAndArrivesWhole() {
        CatalogOnDisk catalog(std::vector<Film>(1000, Film{"Film", "Film", 1, "CZ", "", 1, ""}));
        TSeznamF window;
        window.Fill(catalog.Table, 0);
        QVERIFY(window.RichEdit1->document()->blockCount() < 1002);
        const QString path = QString::fromStdString(catalog.Directory.File("seznam.txt"));
        window.SaveText(path);
        QCOMPARE(QByteArray::fromStdString(ReadBytes(path.toStdString())).count("\r\n"), 1002);
        window.Fill(catalog.Table, 0);
        QTRY_COMPARE(window.RichEdit1->document()->blockCount(), 1002);
    }

    void aSaveThatCannotWriteIsReportedAndKeepsTheText() {
        CatalogOnDisk catalog({});
        TSeznamF window;
        window.Fill(catalog.Table, 0);
        const QString before = BoxText(window);
        const QString path = QString::fromStdString(catalog.Directory.File("missing/seznam.txt"));
        ModalAnswer save(window.SaveDialog1, [&](QWidget*) {
            window.SaveDialog1->selectFile(path);
            static_cast<QDialog*>(window.SaveDialog1)->accept();
        });
        QTest::mouseClick(window.ToolButton1, Qt::LeftButton);
        QCOMPARE(catalog.Ui.ErrorReports.size(), std::size_t(1));
        QVERIFY(QString::fromStdString(catalog.Ui.ErrorReports[0]).contains("seznam.txt"));
        QCOMPARE(BoxText(window), before);
        QVERIFY(!QFile::exists(path));
    }

    void aWritableFileInAFolderThatTakesNoNewFileIsWrittenInPlace() {
        if (::geteuid() != 0) QSKIP("needs root to act as another user");
        CatalogOnDisk catalog({});
        TSeznamF window;
        window.Fill(catalog.Table, 1);
        const QString folder = QString::fromStdString(catalog.Directory.File("shared"));
        const QString path = folder + "/seznam.txt";
        QVERIFY(QDir().mkdir(folder));
        QFile old(path);
        QVERIFY(old.open(QIODevice::WriteOnly));
        old.write("old text, longer than the summary will be, so that nothing of it may stay behind");
        old.close();
        // The user owns the file but may only read and enter the folders.
        QVERIFY(::chown(path.toLocal8Bit().constData(), kNobody, kNobody) == 0);
        QVERIFY(::chmod(catalog.Directory.Path().c_str(), 0711) == 0);
        QVERIFY(::chmod(folder.toLocal8Bit().constData(), 0555) == 0);
        {
            const ActingAs user(kNobody);
            QVERIFY(user.Acting);
            ModalAnswer save(window.SaveDialog1, [&](QWidget*) {
                window.SaveDialog1->selectFile(path);
                static_cast<QDialog*>(window.SaveDialog1)->accept();
            });
            QTest::mouseClick(window.ToolButton1, Qt::LeftButton);
        }
        QVERIFY(catalog.Ui.ErrorReports.empty());
        QString expected = BoxText(window);
        expected.replace('\n', "\r\n");
        QCOMPARE(QByteArray::fromStdString(ReadBytes(path.toStdString())),
                 QByteArray::fromStdString(cp1250::FromUtf8((expected + "\r\n").toStdString())));
        QCOMPARE(QDir(folder).entryList(QDir::Files), QStringList{"seznam.txt"});
    }

    void cancellingTheSaveDialogWritesNothing() {
        CatalogOnDisk catalog({});
        TSeznamF window;
        ModalAnswer cancel(window.SaveDialog1, RejectModal);
        window.ToolButton1Click();
        QVERIFY(catalog.Ui.ErrorReports.empty());
        QCOMPARE(QDir(QString::fromStdString(catalog.Directory.Path())).entryList(QDir::Files), QStringList{"filmy.xml"});
    }

    void printsTheEditedTextPageAfterPageToAPdfFile() {
        std::vector<Film> films;
        for (int i = 0; i < 150; ++i) {
            films.push_back({"Film " + std::to_string(1000 + i), "Český film", i, "CZ", "", 1, "konec řádku"});
        }
        CatalogOnDisk catalog(films);
        TSeznamF window;
        window.Fill(catalog.Table, 0);
        QTextCursor cursor(window.RichEdit1->document());
        cursor.insertText(QString::fromUtf8("Ručně doplněno\n"));

        const QString path = QString::fromStdString(catalog.Directory.File("seznam.pdf"));
        QPrinter printer(QPrinter::HighResolution);
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(path);
        // A printer that cannot print the outer 15 mm of the sheet, set up with
        // margins of 25 mm: the text belongs in the whole printable area.
        QPageLayout layout = printer.pageLayout();
        layout.setUnits(QPageLayout::Millimeter);
        layout.setMinimumMargins(QMarginsF(15, 15, 15, 15));
        layout.setMargins(QMarginsF(25, 25, 25, 25));
        printer.setPageLayout(layout);
        window.PrintText(printer);

        QCOMPARE(printer.docName(), QString::fromUtf8("Kinovka - databáze filmů"));
        // The text within the printable area (points; a line that ends a page is
        // also laid on the next one, above it, where the page's clip hides it).
        const QString text = PdfText(path, {"-x", "43", "-y", "43", "-W", "510", "-H", "756"});
        if (text.isEmpty()) QSKIP("pdftotext (poppler-utils) is not installed");
        // Each page's text starts at the printable area's left edge, the first
        // page's at its top left corner.
        const double printableEdge = 15 / 25.4 * 72;  // points
        const QStringList corners = FirstWordCorners(path);
        QCOMPARE(corners.size(), static_cast<qsizetype>(text.count('\f')));
        for (const QString& corner : corners)
            QVERIFY2(std::abs(corner.split(' ')[0].toDouble() - printableEdge) < 2, qPrintable(corner));
        const double top = corners.value(0).split(' ').value(1).toDouble();
        QVERIFY2(top >= printableEdge - 1 && top < printableEdge + 6, qPrintable(corners.value(0)));
        QVERIFY(text.contains(QString::fromUtf8("Ručně doplněno")));
        QVERIFY(text.contains(QString::fromUtf8("Název anglicky")));
        QVERIFY(text.contains("Film 1000"));
        QVERIFY(text.contains("Film 1149"));
        QCOMPARE(text.count(QString::fromUtf8("konec řádku")), 150);  // nothing cut at the paper's edge
        QVERIFY(text.count('\f') >= 2);  // more than one page
        QVERIFY(PdfText(path, {"-f", "1", "-l", "1"}).contains("Film 1000"));
        QVERIFY(!PdfText(path, {"-f", "1", "-l", "1"}).contains("Film 1149"));

        QProcess info;
        info.start("pdfinfo", {"-enc", "UTF-8", path});
        QVERIFY(info.waitForFinished(30000));
        QVERIFY(QString::fromUtf8(info.readAllStandardOutput()).contains(QString::fromUtf8("Kinovka - databáze filmů")));
    }

    void printingWithoutADefaultPrinterSaysSo() {
        if (!QPrinterInfo::defaultPrinter().isNull()) QSKIP("this system has a default printer");
        CatalogOnDisk catalog({});
        TSeznamF window;
        window.Fill(catalog.Table, 1);
        QTest::mouseClick(window.ToolButton3, Qt::LeftButton);
        QCOMPARE(catalog.Ui.Messages.size(), std::size_t(1));
        QVERIFY(catalog.Ui.Messages[0].Kind == MessageKind::Error);
        QCOMPARE(catalog.Ui.Messages[0].Text,
                 cp1250::FromUtf8("Není nastavena výchozí tiskárna, seznam nelze vytisknout."));
    }

    void onlyCancelCloses() {
        CatalogOnDisk catalog({});
        TSeznamF window;
        ModalAnswer answer([&](QWidget*) {
            QVERIFY(QTest::qWaitForWindowActive(&window));
            QCOMPARE(QApplication::focusWidget(), window.RichEdit1);
            QTest::keyClick(&window, Qt::Key_Escape);
            QVERIFY(window.isVisible());
            QTest::mouseClick(window.ToolButton5, Qt::LeftButton);
            if (window.isVisible()) window.done(0);
        });
        window.Execute(catalog.Table, 0);
        QVERIFY(!window.isVisible());
        QVERIFY(window.windowState() & Qt::WindowMaximized);
    }
};

QTEST_MAIN(SeznamQtTest)
#include "SeznamQtTest.moc"
