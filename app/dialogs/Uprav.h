#pragma once
// Unit Uprav: the edit dialog, the only way the user changes the catalogue.
// Add inserts one film per confirmation, edit changes the current film,
// delete removes the current film without showing the dialog. Every change
// is saved to the catalogue file at once and the table is reloaded from it, so
// the file stays the master copy. Created once and reused; it never owns the table.
#include <QDialog>

#include "table/ClientDataSet.h"

class QFrame;
class QLabel;
class QLineEdit;
class QPushButton;

// How the main window calls the edit dialog; the numbers are the modes' own (FMode).
enum class UpravMode { Add = 0, Edit = 1, Delete = 2 };

class TUpravF : public QDialog {
    Q_OBJECT
public:
    explicit TUpravF(QWidget* parent = nullptr);

    // Prepares the call (Prepare) and, unless it was a delete, shows the dialog modally.
    void Execute(TClientDataSet& table, UpravMode mode);
    // Everything Execute does before showing the dialog; true when it is to be shown.
    bool Prepare(TClientDataSet& table, UpravMode mode);
    // The message of a failed change in that mode (add and edit store, delete), for a
    // change refused before the dialog could start (the film is no longer there).
    void ShowFailure(UpravMode mode);

    // The fresh add values ("", "", "", "EN", "CZ", "1", ""); focus to Edit1.
    void ClearEdits();
    // The current record's values, numbers in decimal (an empty one as "0"); focus to Edit1.
    void LoadEdits();
    // Writes the boxes into a new (add) or the current record, posts, saves and
    // reloads, then returns: after an add to the record that was current before,
    // after an edit to the edited film, wherever it now sorts. True when the film
    // reached the file; on false the boxes keep what the user typed, and the table
    // and the file hold the catalogue as last saved.
    bool StoreRecord();
    // Deletes the current record, saves, reloads, and moves to the film that
    // followed it (or preceded it, when it was the last one), found by its key.
    void DeleteRecord();

    void Button1Click();  // "&Stačí": store, close on success
    void Button2Click();  // "&Cancel": close without storing
    void Button3Click();  // "&Další": store, stay open
    void Edit1Exit();     // an empty Czech title takes the English one

    UpravMode FMode = UpravMode::Add;
    TClientDataSet* FTable = nullptr;

    QFrame* Panel1;
    QLabel *Label1, *Label2, *Label3, *Label4, *Label5, *Label6, *Label7;
    QLineEdit *Edit1, *Edit2, *Edit3, *Edit4, *Edit5, *Edit6, *Edit7;
    QPushButton *Button1, *Button2, *Button3;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

public slots:
    void reject() override;  // Esc and the close box: the Cancel result
};
