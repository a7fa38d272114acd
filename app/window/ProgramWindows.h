#pragma once
// The program's five windows, each created once, in the order main window, edit
// dialog, list window, help window, find dialog, and destroyed in the order main
// window (with the catalogue table), edit dialog, list window, help window, find
// dialog.
#include <memory>

#include "app/dialogs/Hledej.h"
#include "app/dialogs/Pomoc.h"
#include "app/dialogs/Seznam.h"
#include "app/dialogs/Uprav.h"
#include "app/window/Menu.h"

struct ProgramWindows {
    ProgramWindows();
    ~ProgramWindows();
    ProgramWindows(const ProgramWindows&) = delete;
    ProgramWindows& operator=(const ProgramWindows&) = delete;

    std::unique_ptr<TMenuF> MenuF;
    std::unique_ptr<TUpravF> UpravF;
    std::unique_ptr<TSeznamF> SeznamF;
    std::unique_ptr<TPomocF> PomocF;
    std::unique_ptr<THledejF> HledejF;
};
