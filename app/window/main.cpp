// The program's entry: the application, its five windows, the start-up routine.
#include "app/core/Global.h"
#include "app/window/KinovkaApplication.h"
#include "app/window/ProgramWindows.h"
#include "app/qtedge/QtUiServices.h"

int main(int argc, char** argv) {
    KinovkaApplication application(argc, argv);
    KinovkaApplication::setApplicationName(QStringLiteral("Kinovka"));
    QtUiServices services;
    SetUserInterface(services);
    {
        ProgramWindows windows;
        windows.MenuF->StartUp();
    }
    DataDir.clear();
    DataFileName.clear();
    SortFields.clear();
    return 0;
}
