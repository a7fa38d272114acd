// The main window's two find commands: "Hledání" (F7) finds the first film that
// matches the find dialog's criteria, "Další" (F3) the next one.
#include <QToolButton>

#include "app/core/FailurePhrases.h"
#include "app/core/FindMatch.h"
#include "app/core/Global.h"
#include "app/dialogs/Hledej.h"
#include "app/window/DBGrid.h"
#include "app/window/Menu.h"
#include "text/Cp1250.h"

void TMenuF::ToolButton12Click() {
    const TModalResult result = HledejF->Execute();
    DBGrid1->setFocus();
    if (result == mrOk) {
        FindMatching(true, kNothingFoundText.data());  // the literal is NUL-terminated
    } else if (HledejF->FNewSearch) {
        ToolButton13->setEnabled(false);
    }
}

void TMenuF::ToolButton13Click() { FindMatching(false, "Nebyl nalezen další záznam."); }

void TMenuF::FindMatching(bool fromFirst, const char* notFoundMessage) {
    auto reportNotFound = [notFoundMessage] {
        UserInterface().MessageBox(cp1250::FromUtf8(notFoundMessage), MessageKind::Information, MessageButtons::Ok);
    };
    ToolButton13->setEnabled(false);
    // A closed catalogue has nothing to find.
    if (!cds.Active()) {
        reportNotFound();
        return;
    }
    // From the first film, or from the one after the current film.
    const int fromRow = fromFirst ? 0 : cds.CurrentRow() + 1;
    const RecordMatcher matcher(cds, HledejF->Criteria());
    const int row = cds.FirstRowWhere(fromRow, [&matcher](const TClientDataSet::TRowValues& film) {
        return matcher.Matches([&film](const TField& field) { return film.Value(field.FieldNo()); });
    });
    if (row >= 0) {
        cds.GoToRow(row);
        ToolButton13->setEnabled(true);
        return;
    }
    reportNotFound();
}
