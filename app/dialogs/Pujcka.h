#pragma once
// Unit Pujcka: the small dialog in which a disc is lent: who borrows it, since
// when (today unless changed, never later) and a note. A loan the core refuses
// (nobody named) is told in an error box and the dialog stays open.
#include <QDialog>
#include <cstdint>
#include <optional>

#include "app/core/Loans.h"

class QDateEdit;
class QLineEdit;
class QPushButton;

class TPujckaF : public QDialog {
    Q_OBJECT
public:
    explicit TPujckaF(QWidget* parent = nullptr);

    // Asks for the loan of disc cd, modally; the loan after "&Půjčit", nothing
    // after "&Zrušit", Esc or the close box.
    std::optional<Loan> Execute(std::int32_t cd);

    void Button1Click();  // "&Půjčit": the loan, when the core accepts it

    QLineEdit* Edit1;      // who
    QDateEdit* DateEdit1;  // since
    QLineEdit* Edit2;      // note
    QPushButton *Button1, *Button2;

private:
    Loan TypedLoan() const;

    std::int32_t cd_ = 0;
};
