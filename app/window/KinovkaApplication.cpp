#include "app/window/KinovkaApplication.h"

#include <stdexcept>

#include "app/core/Global.h"

KinovkaApplication::KinovkaApplication(int& argc, char** argv) : QApplication(argc, argv) {}

bool KinovkaApplication::notify(QObject* receiver, QEvent* event) {
    try {
        return QApplication::notify(receiver, event);
    } catch (const std::exception& failure) {
        UserInterface().ReportError(failure);
    } catch (...) {
        UserInterface().ReportError(std::runtime_error("Unknown failure"));
    }
    return false;
}
