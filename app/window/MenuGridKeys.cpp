// The main window's grid: its keys, clicks and double-clicks. Enter and the
// function keys are the window's commands; every other key and the cell click
// go to the typed search (TypedSearch.h).
#include <QToolButton>

#include "app/window/DBGrid.h"
#include "app/window/Menu.h"
#include "app/window/TypedSearch.h"

void TMenuF::DBGrid1KeyDown(int& key, unsigned shift) {
    if (key == vk::Return && NoModifier(shift)) {
        DBGrid1DblClick();
    } else if (key == vk::F4 && NoModifier(shift)) {
        ToolButton2Click();
    } else if (key == vk::F7 && NoModifier(shift)) {
        ToolButton12Click();
    } else if (key == vk::F3 && NoModifier(shift) && ToolButton13->isEnabled()) {
        ToolButton13Click();
    } else {
        QuickSearch->KeyDown(key, shift);
    }
}

void TMenuF::DBGrid1KeyPress(char& key) { QuickSearch->KeyPress(key); }

// Unlike F4, only where there is a film to open: an open catalogue with "Opravit" enabled.
void TMenuF::DBGrid1DblClick() {
    if (!ToolButton3->isEnabled() || !cds.Active() || cds.CountRecords() == 0) return;
    ToolButton3Click();
}

void TMenuF::DBGrid1CellClick() { QuickSearch->End(); }
