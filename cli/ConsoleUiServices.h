#pragma once
// The user-interface services of the command-line program: a message box becomes
// its text on standard error as UTF-8, and nobody is there to press a button, so
// every box answers "OK". When a box is shown while an engine or packet failure
// is being handled, a second line gives that failure's status code as "0x" and
// four upper-case hex digits (StatusCodeText), so that scripts see why the
// catalogue failed, unless the text ends with that line already.
#include <iosfwd>

#include "app/core/FailureReason.h"
#include "app/core/UiServices.h"

class ConsoleUiServices : public UiServices {
public:
    explicit ConsoleUiServices(std::ostream& errors);

    TModalResult MessageBox(std::string_view text, MessageKind kind, MessageButtons buttons) override;
    void ReportError(const std::exception& failure) override;

private:
    std::ostream& errors_;
};
