#pragma once
// The application object, with Qt's own texts in Czech and the program's icon
// on every window. Every event passes through notify, so a failure that escapes
// any event handler ends up here: it is shown by the general error report and
// the program goes on with the next event, in whatever state the handler left.
#include <QApplication>

class KinovkaApplication : public QApplication {
public:
    KinovkaApplication(int& argc, char** argv);
    bool notify(QObject* receiver, QEvent* event) override;
};
