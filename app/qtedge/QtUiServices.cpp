#include "app/qtedge/QtUiServices.h"

#include <QApplication>
#include <QMessageBox>
#include <QPushButton>

#include "app/qtedge/QtEdge.h"

namespace {

struct BoxLook {
    QString Caption;
    QMessageBox::Icon Icon;
};

BoxLook LookOf(MessageKind kind) {
    switch (kind) {
        case MessageKind::Error: return {QStringLiteral("Error"), QMessageBox::Critical};
        case MessageKind::Information: return {QStringLiteral("Information"), QMessageBox::Information};
        case MessageKind::Confirm: return {QStringLiteral("Confirm"), QMessageBox::Question};
        case MessageKind::Question: return {QString::fromUtf8("Potvrzení"), QMessageBox::Question};
        case MessageKind::Notice: return {QStringLiteral("Informace"), QMessageBox::Information};
    }
    return {QApplication::applicationName(), QMessageBox::NoIcon};
}

TModalResult ShowBox(const BoxLook& look, const QString& text, MessageButtons buttons) {
    // The message stays the box's text as it is; its detail goes under it.
    const qsizetype lineEnd = text.indexOf(QLatin1Char('\n'));
    QMessageBox box(look.Icon, look.Caption, text.left(lineEnd), QMessageBox::NoButton, QApplication::activeWindow());
    if (lineEnd >= 0) box.setInformativeText(text.mid(lineEnd + 1));
    // A file name like "<b>x.xml" is shown as it is, never as markup.
    box.setTextFormat(Qt::PlainText);
    const bool czech = buttons == MessageButtons::YesNo;
    QPushButton* ok = box.addButton(czech ? QStringLiteral("Ano") : QStringLiteral("OK"), QMessageBox::AcceptRole);
    QPushButton* escape = ok;
    if (buttons != MessageButtons::Ok)
        escape = box.addButton(czech ? QStringLiteral("Ne") : QStringLiteral("Cancel"), QMessageBox::RejectRole);
    box.setEscapeButton(escape);
    box.setDefaultButton(ok);
    box.exec();
    return box.clickedButton() == ok ? mrOk : mrCancel;
}

}  // namespace

TModalResult QtUiServices::MessageBox(std::string_view text, MessageKind kind, MessageButtons buttons) {
    return ShowBox(LookOf(kind), ToQString(text), buttons);
}

void QtUiServices::ReportError(const std::exception& failure) {
    if (dynamic_cast<const EAbort*>(&failure)) return;
    // A failure's text is Windows-1250 like every text of the core (the engine's
    // and the system's own are ASCII), so it takes the one conversion of a box's text.
    ShowBox({QApplication::applicationName(), QMessageBox::Critical}, ToQString(ErrorReportText(failure.what())),
            MessageButtons::Ok);
}
