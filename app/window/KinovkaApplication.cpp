#include "app/window/KinovkaApplication.h"

#include <clocale>

#include "app/qtedge/CzechTranslations.h"
#include "app/qtedge/QtEdge.h"

KinovkaApplication::KinovkaApplication(int& argc, char** argv) : QApplication(argc, argv) {
    // QApplication has taken the user's locale; the system's failure texts stay
    // in plain ASCII, which every box shows alike, whatever the locale's encoding.
    std::setlocale(LC_MESSAGES, "C");
    InstallCzechTranslations(*this);
}

bool KinovkaApplication::notify(QObject* receiver, QEvent* event) {
    bool handled = false;
    RunHandler([&] { handled = QApplication::notify(receiver, event); });
    return handled;
}
