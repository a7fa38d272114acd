#pragma once
// Notes whether the catalogue core reported a failure during a call whose result
// does not say so (CreateCatalog). While it lives it stands in front of the
// installed user-interface services and passes everything on to them.
#include "app/core/UiServices.h"

class ErrorWatch : public UiServices {
public:
    ErrorWatch();
    ~ErrorWatch() override;
    ErrorWatch(const ErrorWatch&) = delete;
    ErrorWatch& operator=(const ErrorWatch&) = delete;

    TModalResult MessageBox(std::string_view text, MessageKind kind, MessageButtons buttons) override;
    void ReportError(const std::exception& failure) override;

    // True once an error box or an error report has gone through.
    bool ErrorSeen() const { return errorSeen_; }

private:
    UiServices& inner_;
    bool errorSeen_ = false;
};
