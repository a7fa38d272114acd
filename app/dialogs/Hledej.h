#pragma once
// Unit Hledej: the find dialog. It only collects and keeps the criteria between
// searches; the main window does the searching. Created once and reused.
#include <QDialog>
#include <string>

#include "app/core/FindMatch.h"
#include "app/core/UiServices.h"

class QFrame;
class QLabel;
class QLineEdit;
class QPushButton;

class THledejF : public QDialog {
    Q_OBJECT
public:
    explicit THledejF(QWidget* parent = nullptr);

    // ShowCriteria, then the dialog modally; mrOk after "&Hledat", otherwise mrCancel.
    TModalResult Execute();
    // Empties the criteria and marks a new search; shows them.
    void ResetCriteria();
    // The boxes take the stored criteria; focus to Edit1.
    void ShowCriteria();
    FindCriteria Criteria() const { return {FFindS1, FFindS2, FFindS7}; }

    void Button1Click();  // "&Hledat": keep the typed texts as they are, close with OK
    void Button2Click();  // "&Cancel": close, typed texts are not kept
    void Button4Click();  // "&Nové hledání": ResetCriteria, stay open

    // Windows-1250 text as typed, no trimming.
    std::string FFindS1, FFindS2, FFindS7;
    // True after "&Nové hledání" (and at start) until "&Hledat".
    bool FNewSearch = true;

    QFrame* Panel1;
    QLabel *Label1, *Label2, *Label7;
    QLineEdit *Edit1, *Edit2, *Edit7;
    QPushButton *Button1, *Button2, *Button4;

public slots:
    void reject() override;  // Esc and the close box: the Cancel result
};
