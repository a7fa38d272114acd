#pragma once
// Unit Pomoc: the help window with its fixed Czech text. "&Ok" or the close box
// closes it; Esc does not. Created once and reused.
#include <QDialog>
#include <QString>

class QFrame;
class QPlainTextEdit;
class QPushButton;

class TPomocF : public QDialog {
    Q_OBJECT
public:
    explicit TPomocF(QWidget* parent = nullptr);

    // Shows the window modally; mrOk (1) after "&Ok", mrCancel (2) after the close box.
    int Execute();

    // The help text, 73 lines joined by "\n".
    static QString HelpText();

    QFrame* Panel1;
    QFrame* Panel2;
    QPushButton* Button1;
    QPlainTextEdit* Memo1;

protected:
    void keyPressEvent(QKeyEvent* event) override;

public slots:
    void reject() override;
};
