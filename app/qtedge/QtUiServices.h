#pragma once
// The user-interface services as real modal message boxes. Every text they show
// is Windows-1250 (ToQString) and shown as plain text.
#include "app/core/UiServices.h"

class QWidget;

class QtUiServices : public UiServices {
public:
    // A box captioned by its kind (UiServices.h), with its buttons; the first
    // button is the default, and closing the box without a button is the last.
    TModalResult MessageBox(std::string_view text, MessageKind kind, MessageButtons buttons) override;
    // A box captioned with the application title ("Kinovka"), error icon, "OK".
    void ReportError(const std::exception& failure) override;
};
