#pragma once
// A UiServices that shows nothing: it writes down every message box and error
// report and answers each box with a programmed result, so tests never block.
#include <deque>
#include <string>
#include <vector>

#include "app/core/UiServices.h"

class RecordingUiServices : public UiServices {
public:
    struct Message {
        std::string Text;  // Windows-1250
        MessageKind Kind;
        MessageButtons Buttons;
    };

    TModalResult MessageBox(std::string_view text, MessageKind kind, MessageButtons buttons) override;
    void ReportError(const std::exception& failure) override;

    // Answers for the next boxes, in order; once they run out every box answers
    // DefaultAnswer (mrOk unless changed).
    void QueueAnswer(TModalResult answer) { answers_.push_back(answer); }
    TModalResult DefaultAnswer = mrOk;

    std::vector<Message> Messages;
    std::vector<std::string> ErrorReports;  // the texts the general error report would show

    void Clear();

private:
    std::deque<TModalResult> answers_;
};
