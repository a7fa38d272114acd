#include "app/core/RecordingUiServices.h"

TModalResult RecordingUiServices::MessageBox(std::string_view text, MessageKind kind, MessageButtons buttons) {
    Messages.push_back({std::string(text), kind, buttons});
    if (answers_.empty()) return DefaultAnswer;
    const TModalResult answer = answers_.front();
    answers_.pop_front();
    return answer;
}

void RecordingUiServices::ReportError(const std::exception& failure) {
    if (dynamic_cast<const EAbort*>(&failure)) return;
    ErrorReports.push_back(ErrorReportText(failure.what()));
}

void RecordingUiServices::Clear() {
    Messages.clear();
    ErrorReports.clear();
    answers_.clear();
}
