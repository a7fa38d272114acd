// The find dialog: criteria kept between searches, new search, cancel.
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <functional>

#include "app/dialogs/Hledej.h"
#include "tests/common/ModalAnswer.h"
#include "tests/common/Typing.h"
#include "tests/dialogs/ScaledLayout.h"
#include "text/Cp1250.h"

namespace {

std::string Cp(const char* utf8) { return cp1250::FromUtf8(utf8); }

// Runs Execute, doing `act` once the modal dialog is up.
TModalResult ExecuteWith(THledejF& dialog, std::function<void()> act) {
    ModalAnswer answer([&dialog, act](QWidget*) {
        if (!QTest::qWaitForWindowActive(&dialog)) qWarning("the find dialog did not become active");
        act();
        if (dialog.isVisible()) dialog.Button2Click();
    });
    return dialog.Execute();
}

}  // namespace

class HledejQtTest : public QObject {
    Q_OBJECT

private slots:
    void startsEmptyAsANewSearch() {
        THledejF dialog;
        dialog.ResetCriteria();
        QVERIFY(dialog.FNewSearch);
        QVERIFY(dialog.FFindS1.empty() && dialog.FFindS2.empty() && dialog.FFindS7.empty());
        QCOMPARE(dialog.windowTitle(), QString::fromUtf8("Hledání CD podle zadaných hodnot"));
        QCOMPARE(LayoutProblems(dialog, QSize(371, 215)), QString());
        QVERIFY(dialog.Button1->isDefault());
        QCOMPARE(dialog.Button4->text(), QString::fromUtf8("&Nové hledání"));
    }

    void searchKeepsTheTextsAsTyped() {
        THledejF dialog;
        dialog.ResetCriteria();
        const TModalResult result = ExecuteWith(dialog, [&] {
            QCOMPARE(QApplication::focusWidget(), dialog.Edit1);
            TypeText(dialog.Edit1, QString::fromUtf8(" čas "));
            QTest::keyClick(dialog.Edit1, Qt::Key_Tab);
            TypeText(QApplication::focusWidget(), "Ab");
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
            TypeText(QApplication::focusWidget(), QString::fromUtf8("ř€日"));
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
        });
        QCOMPARE(result, mrOk);
        QCOMPARE(dialog.FFindS1, Cp(" čas "));
        QCOMPARE(dialog.FFindS2, std::string("Ab"));
        QCOMPARE(dialog.FFindS7, Cp("ř€?"));
        QVERIFY(!dialog.FNewSearch);
        QCOMPARE(dialog.Criteria().S1, Cp(" čas "));
    }

    void cancelForgetsWhatWasTypedAndShowsTheStoredCriteria() {
        THledejF dialog;
        dialog.ResetCriteria();
        ExecuteWith(dialog, [&] {
            dialog.Edit1->setText("matrix");
            dialog.Button1Click();
        });
        const TModalResult result = ExecuteWith(dialog, [&] {
            QCOMPARE(dialog.Edit1->text(), QString("matrix"));
            dialog.Edit1->setText("alien");
            dialog.Edit2->setText("x");
            QTest::keyClick(dialog.Edit1, Qt::Key_Escape);
        });
        QCOMPARE(result, mrCancel);
        QCOMPARE(dialog.FFindS1, std::string("matrix"));
        QVERIFY(!dialog.FNewSearch);
        ExecuteWith(dialog, [&] {
            QCOMPARE(dialog.Edit1->text(), QString("matrix"));
            QCOMPARE(dialog.Edit2->text(), QString());
        });
    }

    void newSearchEmptiesTheCriteriaAndStaysOpen() {
        THledejF dialog;
        dialog.ResetCriteria();
        ExecuteWith(dialog, [&] {
            dialog.Edit1->setText("a");
            dialog.Edit7->setText("b");
            dialog.Button1Click();
        });
        const TModalResult result = ExecuteWith(dialog, [&] {
            QTest::mouseClick(dialog.Button4, Qt::LeftButton);
            QVERIFY(dialog.isVisible());
            QCOMPARE(dialog.Edit1->text(), QString());
            QCOMPARE(dialog.Edit7->text(), QString());
            QCOMPARE(QApplication::focusWidget(), dialog.Edit1);
            QTest::mouseClick(dialog.Button2, Qt::LeftButton);
        });
        QCOMPARE(result, mrCancel);
        QVERIFY(dialog.FNewSearch);
        QVERIFY(dialog.FFindS1.empty() && dialog.FFindS7.empty());
    }

    void closeBoxGivesCancel() {
        THledejF dialog;
        const TModalResult result = ExecuteWith(dialog, [&] { dialog.close(); });
        QCOMPARE(result, mrCancel);
    }
};

QTEST_MAIN(HledejQtTest)
#include "HledejQtTest.moc"
