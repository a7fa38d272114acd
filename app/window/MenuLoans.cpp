// The films' context menu in the main window: a film's disc lent ("Půjčit CD
// 15…") or back ("CD 15 vráceno"). A loan changes only the loans file, under the
// catalogue's lock, and is read back from the file like every change.
#include <QMenu>
#include <QToolButton>

#include "app/core/Global.h"
#include "app/dialogs/Pujcka.h"
#include "app/dialogs/Uprav.h"
#include "app/qtedge/QtEdge.h"
#include "app/window/CatalogGridModel.h"
#include "app/window/DBGrid.h"
#include "app/window/Menu.h"
#include "layout/CatalogLayout.h"
#include "text/Cp1250.h"

void TMenuF::BuildFilmMenu() {
    DBGrid1->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(DBGrid1, &QWidget::customContextMenuRequested, this, [this](const QPoint& at) {
        RunHandler([&] {
            const int row = DBGrid1->rowAt(at.y());
            if (row < 0) return;
            DataSource1->GoToRow(row);
            if (const std::unique_ptr<QMenu> menu = FilmMenu()) menu->exec(DBGrid1->viewport()->mapToGlobal(at));
        });
    });
}

std::unique_ptr<QMenu> TMenuF::FilmMenu() {
    // Like the buttons that change films: not before a catalogue was opened.
    if (!ToolButton2->isEnabled() || !cds.Active() || cds.CurrentRow() < 0) return nullptr;
    const std::int32_t cd = cds.FieldNamed(FilmFieldName(kCdNumber)).AsInteger();
    auto menu = std::make_unique<QMenu>(this);
    if (Loans.contains(cd)) {
        connect(menu->addAction(QString::fromUtf8("CD %1 vráceno").arg(cd)), &QAction::triggered, this,
                [this, cd] { RunHandler([&] { ReturnDisc(cd); }); });
    } else {
        connect(menu->addAction(QString::fromUtf8("Půjčit CD %1…").arg(cd)), &QAction::triggered, this,
                [this, cd] { RunHandler([&] { LendDisc(cd); }); });
    }
    return menu;
}

bool TMenuF::ReadLoansIntoView(bool tellDamage) {
    LoansRead read = ReadLoans();
    Loans = std::move(read.Loans);
    DataSource1->SetLoans(&Loans);
    if (read.Damaged && tellDamage)
        UserInterface().Tell(LoansDamagedText() + cp1250::FromUtf8(" Katalog je otevřen bez nich; zachránit je lze příkazem "
                                                        "kinovka-cli rescue."));
    return !read.Damaged;
}

void TMenuF::LendDisc(std::int32_t cd) {
    if (!MayChangeCatalog(UpravMode::Add)) return;
    // Another program may have changed the loans since they were read.
    if (!ReadLoansIntoView(false)) {
        UserInterface().Tell(LoansDamagedText());
        return;
    }
    if (const auto lent = Loans.find(cd); lent != Loans.end()) {
        UserInterface().Tell("CD " + std::to_string(cd) + cp1250::FromUtf8(" je už půjčeno: ") + LentText(lent->second) + ".");
        return;
    }
    TPujckaF dialog(this);
    const std::optional<Loan> loan = dialog.Execute(cd);
    if (!loan) return;
    LoanBook changed = Loans;
    changed[cd] = *loan;
    SaveLoans(changed);
    ReadLoansIntoView(false);
}

void TMenuF::ReturnDisc(std::int32_t cd) {
    if (!MayChangeCatalog(UpravMode::Add)) return;
    if (!ReadLoansIntoView(false)) {
        UserInterface().Tell(LoansDamagedText());
        return;
    }
    LoanBook changed = Loans;
    if (changed.erase(cd) == 0) return;  // returned meanwhile: the grid shows it now
    SaveLoans(changed);
    ReadLoansIntoView(false);
}
