#include "cli/ErrorWatch.h"

#include "app/core/Global.h"

ErrorWatch::ErrorWatch() : inner_(UserInterface()) { SetUserInterface(*this); }

ErrorWatch::~ErrorWatch() { SetUserInterface(inner_); }

TModalResult ErrorWatch::MessageBox(std::string_view text, MessageKind kind, MessageButtons buttons) {
    errorSeen_ = errorSeen_ || kind == MessageKind::Error;
    return inner_.MessageBox(text, kind, buttons);
}

void ErrorWatch::ReportError(const std::exception& failure) {
    errorSeen_ = true;
    inner_.ReportError(failure);
}
