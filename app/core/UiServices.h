#pragma once
// The user-interface services every window relies on, as an interface: the Qt
// windows, the console of kinovka-cli and the tests each provide their own, so
// that the catalogue core never depends on a toolkit and no test ever blocks on a
// modal box. Texts are Windows-1250 bytes, like all text of the core.
#include <exception>
#include <string>
#include <string_view>

// Error, Information and Confirm are the boxes whose captions and buttons the
// catalogue's windows have always shown, English around a Czech text, and keep.
// Every box Kinovka adds beyond them speaks Czech throughout, a Question or a
// Notice: open those through UiServices::Ask and Tell.
enum class MessageKind {
    Error,        // "Error", error icon
    Information,  // "Information"
    Confirm,      // "Confirm"
    Question,     // "Potvrzení"
    Notice,       // "Informace"
};
enum class MessageButtons {
    Ok,        // "OK"
    OkCancel,  // "OK" and "Cancel"
    YesNo,     // "Ano" (answers mrOk) and "Ne" (mrCancel)
};
enum TModalResult { mrNone = 0, mrOk = 1, mrCancel = 2 };

// A silent failure: it ends the event handler and shows nothing.
class EAbort : public std::exception {
public:
    const char* what() const noexcept override { return "Operation aborted"; }
};

class UiServices {
public:
    virtual ~UiServices() = default;
    // A modal message box; returns the button pressed (mrOk or mrCancel). In a
    // text of several lines the first is the message and the rest its detail
    // (the reason of a failure), which a window shows under the message.
    virtual TModalResult MessageBox(std::string_view text, MessageKind kind, MessageButtons buttons) = 0;
    // The general error report for a failure that left an event handler: a modal
    // box captioned "Kinovka" with the text ErrorReportText gives; nothing for EAbort.
    virtual void ReportError(const std::exception& failure) = 0;

    // Kinovka's own question: "Potvrzení" with "Ano" and "Ne"; true for "Ano".
    bool Ask(std::string_view question);
    // Kinovka's own information: "Informace" with "OK".
    void Tell(std::string_view text);
};

// The general error report's text: the failure's message, with "." appended when
// the message is not empty and its last character sorts after ".".
std::string ErrorReportText(std::string_view message);
