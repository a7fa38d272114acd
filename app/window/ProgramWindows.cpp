#include "app/window/ProgramWindows.h"

ProgramWindows::ProgramWindows()
    : MenuF(std::make_unique<TMenuF>()),
      UpravF(std::make_unique<TUpravF>()),
      SeznamF(std::make_unique<TSeznamF>()),
      PomocF(std::make_unique<TPomocF>()),
      HledejF(std::make_unique<THledejF>()) {
    MenuF->ConnectDialogs(*UpravF, *SeznamF, *PomocF, *HledejF);
}

ProgramWindows::~ProgramWindows() {
    MenuF.reset();
    UpravF.reset();
    SeznamF.reset();
    PomocF.reset();
    HledejF.reset();
}
