#include "app/dialogs/Pujcka.h"

#include <QDateEdit>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>

#include "app/core/Global.h"
#include "app/qtedge/QtEdge.h"
#include "text/Cp1250.h"

namespace {

QDate ToQDate(CalendarDay day) {
    return QDate(static_cast<int>(day.year()), static_cast<int>(static_cast<unsigned>(day.month())),
                 static_cast<int>(static_cast<unsigned>(day.day())));
}

CalendarDay FromQDate(const QDate& date) {
    return CalendarDay{std::chrono::year(date.year()), std::chrono::month(static_cast<unsigned>(date.month())),
                       std::chrono::day(static_cast<unsigned>(date.day()))};
}

}  // namespace

TPujckaF::TPujckaF(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("TPujckaF"));
    auto* form = new QFormLayout(this);
    Edit1 = new QLineEdit(this);
    Edit1->setMaxLength(static_cast<int>(kLoanWhoWidth));
    DateEdit1 = new QDateEdit(this);
    DateEdit1->setCalendarPopup(true);
    DateEdit1->setDisplayFormat(QStringLiteral("d. M. yyyy"));
    Edit2 = new QLineEdit(this);
    Edit2->setMaxLength(static_cast<int>(kLoanNoteWidth));
    form->addRow(QString::fromUtf8("&Komu:"), Edit1);
    form->addRow(QString::fromUtf8("&Od:"), DateEdit1);
    form->addRow(QString::fromUtf8("Po&známka:"), Edit2);

    auto* buttons = new QHBoxLayout;
    Button1 = new QPushButton(QString::fromUtf8("&Půjčit"), this);
    Button2 = new QPushButton(QString::fromUtf8("&Zrušit"), this);
    Button1->setDefault(true);
    buttons->addStretch();
    buttons->addWidget(Button1);
    buttons->addWidget(Button2);
    form->addRow(buttons);
    connect(Button1, &QPushButton::clicked, this, [this] { RunHandler([this] { Button1Click(); }); });
    connect(Button2, &QPushButton::clicked, this, &QDialog::reject);
}

std::optional<Loan> TPujckaF::Execute(std::int32_t cd) {
    cd_ = cd;
    setWindowTitle(QString::fromUtf8("Půjčit CD %1").arg(cd));
    Edit1->clear();
    Edit2->clear();
    const QDate today = ToQDate(Today());
    DateEdit1->setMaximumDate(today);
    DateEdit1->setDate(today);
    Edit1->setFocus();
    if (exec() != QDialog::Accepted) return std::nullopt;
    return TypedLoan();
}

void TPujckaF::Button1Click() {
    const std::string refusal = LoanRefusal(TypedLoan(), Today());
    if (refusal.empty()) {
        accept();
        return;
    }
    UserInterface().Tell(cp1250::FromUtf8(refusal));
    Edit1->setFocus();
}

Loan TPujckaF::TypedLoan() const {
    return Loan{cd_, FromQString(Edit1->text()), FromQDate(DateEdit1->date()), FromQString(Edit2->text())};
}
