#pragma once
// Unit Seznam: the list window. Shows the list of all films (mode 0), the
// statistics summary (mode 1), the discs with their films and the free numbers
// (kDiscOverview) or the lent discs (kLentDiscs) in an editable text box of one fixed-pitch
// format, from which the user prints it or saves it as a Windows-1250 text file.
// Whatever the user edited in the box is what gets printed and saved. Never
// changes the catalogue; the table's cursor is where it was. Created once and
// reused.
#include <QDialog>
#include <QString>
#include <string>

#include "table/ClientDataSet.h"

class QFileDialog;
class QFrame;
class QPrinter;
class QPlainTextEdit;
class QTimer;
class QToolBar;
class QToolButton;

class TSeznamF : public QDialog {
    Q_OBJECT
public:
    explicit TSeznamF(QWidget* parent = nullptr);

    // The modes this program adds to the two of the list window.
    static constexpr int kDiscOverview = 2;
    static constexpr int kLentDiscs = 3;

    // Fill, then the window maximised and modal.
    void Execute(TClientDataSet& table, int mode);
    // Everything Execute does before showing the window: the text of the mode
    // (an empty box for any other mode) in the box's fixed-pitch format. A long
    // text goes in a part at a time: the first screens at once, the rest from
    // the event loop, so that the window shows without waiting for a hundred
    // thousand lines to be laid into the box. Saving and printing first put in
    // whatever is still to come; WholeTextIn does so for any other caller.
    void Fill(TClientDataSet& table, int mode);
    void WholeTextIn();

    void ToolButton1Click();  // "&Uložit"
    void ToolButton3Click();  // "&Tisknout"
    void ToolButton5Click();  // "&Zrušit"

    // Writes the box's current text to the file as Windows-1250, every line ended
    // by CR LF, replacing the file only once the new content is complete.
    // Throws EFileError with the reason when it cannot.
    void SaveText(const QString& fileName);
    // Prints the box's current text on the printer: in the whole printable area
    // of each page, no margins added, page after page, job title "Kinovka -
    // databáze filmů". Throws std::runtime_error (Windows-1250 text) when the
    // printer cannot be started.
    void PrintText(QPrinter& printer);

    QToolBar* ToolBar1;
    QToolButton *ToolButton1, *ToolButton3, *ToolButton5;
    QFrame* Panel1;
    QPlainTextEdit* RichEdit1;
    QFileDialog* SaveDialog1;

private:
    // Puts the next part of the pending text at the end of the box.
    void AppendPendingPart(qsizetype lines);
    std::string pending_;  // Windows-1250
    std::size_t pendingFrom_ = 0;
    QTimer* pendingTimer_;

protected:
    // The window has no cancel button, so Esc does not close it (and cannot throw
    // away text the user is editing); "&Zrušit" and the close box do.
    void keyPressEvent(QKeyEvent* event) override;
};
