#pragma once
// Where the windows meet Qt: Windows-1250 text to and from QString (every
// conversion between the two goes through these), the fixed-pitch font the
// listings are shown in, and the general error report for a failure that leaves
// an event handler (Qt's own code must never see one unwind through it).
#include <QFont>
#include <QString>
#include <exception>
#include <string>
#include <string_view>

QString ToQString(std::string_view cp1250Text);
// A character the code page cannot hold becomes "?".
std::string FromQString(const QString& text);

// "Courier New" when the system has it, else the system's fixed-pitch font; in
// points when pointSize > 0, otherwise with a character height of pixelSize.
QFont CourierNew(int pointSize, int pixelSize = 0);

// Runs an event handler; a failure that escapes it goes to the general error
// report, once, and goes no further.
template <class Handler>
void RunHandler(Handler&& handler);

void ReportFailure(const std::exception& failure);
// For a failure that is not a std::exception.
void ReportUnknownFailure();

template <class Handler>
void RunHandler(Handler&& handler) {
    try {
        handler();
    } catch (const std::exception& failure) {
        ReportFailure(failure);
    } catch (...) {
        ReportUnknownFailure();
    }
}
