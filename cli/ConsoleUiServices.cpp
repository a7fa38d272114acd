#include "cli/ConsoleUiServices.h"

#include <exception>
#include <optional>
#include <ostream>

#include "app/core/FailureReason.h"
#include "table/Errors.h"
#include "text/Cp1250.h"

namespace {

// The catalogue core shows its messages from inside the handler that caught the
// failure, so the failure is still reachable here.
std::optional<unsigned> CodeOfFailureBeingHandled() {
    const std::exception_ptr current = std::current_exception();
    if (!current) return std::nullopt;
    try {
        std::rethrow_exception(current);
    } catch (const EDBClient& failure) {
        return failure.ErrorCode;
    } catch (...) {
        return std::nullopt;
    }
}

}  // namespace

ConsoleUiServices::ConsoleUiServices(std::ostream& errors) : errors_(errors) {}

TModalResult ConsoleUiServices::MessageBox(std::string_view text, MessageKind, MessageButtons) {
    errors_ << cp1250::ToUtf8(text) << '\n';
    // The core's file messages give the code as their reason already.
    const auto code = CodeOfFailureBeingHandled();
    if (code && !text.ends_with("\n" + StatusCodeText(*code))) errors_ << StatusCodeText(*code) << '\n';
    errors_.flush();
    return mrOk;
}

void ConsoleUiServices::ReportError(const std::exception& failure) {
    if (dynamic_cast<const EAbort*>(&failure)) return;
    // The failure's own text is not Windows-1250 text of the catalogue: the
    // table's texts are English and the system's are already UTF-8.
    const std::string text = ErrorReportText(failure.what());
    if (!text.empty()) errors_ << text << '\n';
    if (const auto* engineFailure = dynamic_cast<const EDBClient*>(&failure)) {
        errors_ << StatusCodeText(engineFailure->ErrorCode) << '\n';
    }
    errors_.flush();
}
