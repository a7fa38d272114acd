#include "app/qtedge/QtUiServices.h"

#include <QApplication>
#include <QMessageBox>
#include <QPushButton>

#include "app/qtedge/QtEdge.h"

namespace {

TModalResult ShowBox(const QString& caption, QMessageBox::Icon icon, const QString& text,
                     MessageButtons buttons) {
    // The message stays the box's text as it is; its detail goes under it.
    const qsizetype lineEnd = text.indexOf(QLatin1Char('\n'));
    QMessageBox box(icon, caption, text.left(lineEnd), QMessageBox::NoButton, QApplication::activeWindow());
    if (lineEnd >= 0) box.setInformativeText(text.mid(lineEnd + 1));
    // A file name like "<b>x.xml" is shown as it is, never as markup.
    box.setTextFormat(Qt::PlainText);
    QPushButton* ok = box.addButton(QStringLiteral("OK"), QMessageBox::AcceptRole);
    QPushButton* cancel = nullptr;
    if (buttons == MessageButtons::OkCancel) {
        cancel = box.addButton(QStringLiteral("Cancel"), QMessageBox::RejectRole);
        box.setEscapeButton(cancel);
    } else {
        box.setEscapeButton(ok);
    }
    box.setDefaultButton(ok);
    box.exec();
    return box.clickedButton() == ok ? mrOk : mrCancel;
}

}  // namespace

TModalResult QtUiServices::MessageBox(std::string_view text, MessageKind kind, MessageButtons buttons) {
    switch (kind) {
        case MessageKind::Error:
            return ShowBox(QStringLiteral("Error"), QMessageBox::Critical, ToQString(text), buttons);
        case MessageKind::Information:
            return ShowBox(QStringLiteral("Information"), QMessageBox::Information, ToQString(text), buttons);
        case MessageKind::Confirm:
            return ShowBox(QStringLiteral("Confirm"), QMessageBox::Question, ToQString(text), buttons);
    }
    return mrCancel;
}

void QtUiServices::ReportError(const std::exception& failure) {
    if (dynamic_cast<const EAbort*>(&failure)) return;
    // A failure's text is Windows-1250 like every text of the core (the engine's
    // and the system's own are ASCII), so it takes the one conversion of a box's text.
    ShowBox(QApplication::applicationName(), QMessageBox::Critical, ToQString(ErrorReportText(failure.what())),
            MessageButtons::Ok);
}
