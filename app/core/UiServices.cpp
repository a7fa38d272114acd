#include "app/core/UiServices.h"

std::string ErrorReportText(std::string_view message) {
    std::string text(message);
    if (!text.empty() && static_cast<unsigned char>(text.back()) > static_cast<unsigned char>('.')) text += '.';
    return text;
}

bool UiServices::Ask(std::string_view question) {
    return MessageBox(question, MessageKind::Question, MessageButtons::YesNo) == mrOk;
}

void UiServices::Tell(std::string_view text) { MessageBox(text, MessageKind::Notice, MessageButtons::Ok); }
