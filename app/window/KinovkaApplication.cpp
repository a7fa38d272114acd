#include "app/window/KinovkaApplication.h"

#include <QDir>
#include <QFileInfo>
#include <QIcon>
#include <clocale>

#include "app/qtedge/CzechTranslations.h"
#include "app/qtedge/QtEdge.h"

KinovkaApplication::KinovkaApplication(int& argc, char** argv) : QApplication(argc, argv) {
    // QApplication has taken the user's locale; the system's failure texts stay
    // in plain ASCII, which every box shows alike, whatever the locale's encoding.
    std::setlocale(LC_MESSAGES, "C");
    InstallCzechTranslations(*this);
    setDesktopFileName(QStringLiteral("example.kinovka.Kinovka"));
    // The theme's icon, as the desktop entry shows it, where the package installed
    // one; otherwise the same icon built into the program.
    QIcon builtIn;
    for (const QFileInfo& file : QDir(QStringLiteral(":/icons")).entryInfoList()) builtIn.addFile(file.filePath());
    setWindowIcon(QIcon::fromTheme(QStringLiteral("kinovka"), builtIn));
}

bool KinovkaApplication::notify(QObject* receiver, QEvent* event) {
    bool handled = false;
    RunHandler([&] { handled = QApplication::notify(receiver, event); });
    return handled;
}
