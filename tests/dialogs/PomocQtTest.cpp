// The help window: its fixed text and how it closes.
#include <QFontInfo>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>

#include "app/core/UiServices.h"
#include "app/dialogs/Pomoc.h"
#include "tests/common/ModalAnswer.h"
#include "tests/dialogs/ScaledLayout.h"

class PomocQtTest : public QObject {
    Q_OBJECT

private slots:
    void textHasTheFiveSectionsAndTheQuotedLines() {
        TPomocF window;
        const QStringList lines = window.Memo1->toPlainText().split('\n');
        QCOMPARE(window.Memo1->document()->blockCount(), 73);
        QCOMPARE(lines.size(), 73);
        const std::pair<int, const char*> titles[] = {
            {1, "O programu:"}, {9, "O autorovi:"}, {17, "Novinky:"}, {41, "Ovládání:"}, {53, "Tlačítka:"}};
        for (const auto& [line, title] : titles) {
            QCOMPARE(lines[line - 1], QString::fromUtf8(title));
            QCOMPARE(lines[line], QString(lines[line - 1].size(), '='));
            if (line > 1) QCOMPARE(lines[line - 2], QString());
        }
        QCOMPARE(lines[2], QString());
        const std::pair<int, const char*> quoted[] = {
            {55, " Přidat  - přidá CD do seznamu"},
            {56, " Opravit - opraví záznam vybraného CD"},
            {57, " Smazat  - smaže záznam vybraneho CD"},
            {58, " Hledání - hledá film podle (části) názvu"},
            {59, " Další   - pokračování v hledání"},
            {60, " Třídění - třídí podle různých kritérií (třídění lze provést i"},
            {64, " Seznamy - Seznam všech filmů - vypíše seznam do přehledného"},
            {66, "         - Počet CD a filmů - stručná statistika datového"},
            {67, "           souboru"},
            {68, " Konec   - ukončí činnost programu"},
            {69, ""}, {70, " "}, {71, " "}, {72, " "}, {73, " "}};
        for (const auto& [line, text] : quoted) QCOMPARE(lines[line - 1], QString::fromUtf8(text));

        const QString all = window.Memo1->toPlainText();
        QVERIFY(all.contains("Kinovka v. 2.0"));
        QVERIFY(all.contains("o freeware."));
        QVERIFY(lines.filter(QRegularExpression("^Kontakt: .*Kinovka", QRegularExpression::CaseInsensitiveOption)).size() == 1);
        QVERIFY(lines.filter(QRegularExpression("^Web: .*kinovka")).size() == 1);
        for (const char* version : {"2.0 - ", "1.1 - ", "1.04 - ", "1.03 - ", "1.02 - ", "1.01 - "}) {
            QCOMPARE(lines.mid(18, 21).filter(QRegularExpression("^" + QRegularExpression::escape(version))).size(), 1);
        }
    }

    void textIsReadOnlyFixedPitchAndWrapped() {
        TPomocF window;
        QCOMPARE(window.windowTitle(), QString("Pomoc"));
        QCOMPARE(LayoutProblems(window, QSize(476, 336)), QString());
        QVERIFY(window.Memo1->isReadOnly());
        QCOMPARE(window.Memo1->lineWrapMode(), QPlainTextEdit::WidgetWidth);
        QVERIFY(QFontInfo(window.Memo1->font()).fixedPitch());
        QVERIFY(std::abs(window.Memo1->font().pixelSize() - 11 * ScaleOf(window, 476)) <= 1);
        QVERIFY(window.Button1->isDefault());
    }

    void okClosesButEscDoesNot() {
        TPomocF window;
        ModalAnswer answer([&](QWidget*) {
            QVERIFY(QTest::qWaitForWindowActive(&window));
            QTest::keyClick(&window, Qt::Key_Escape);
            QVERIFY(window.isVisible());
            QTest::keyClicks(window.Memo1, "abc");
            QVERIFY(window.Memo1->toPlainText().startsWith("O programu:"));
            QTest::keyClick(window.Button1, Qt::Key_Return);
            if (window.isVisible()) window.done(0);
        });
        QCOMPARE(window.Execute(), int(mrOk));
    }
};

QTEST_MAIN(PomocQtTest)
#include "PomocQtTest.moc"
