// dump and export: every record in index order, for programs, spreadsheets and browsers.
#include <filesystem>

#include "app/core/Loans.h"
#include "cli/CatalogAccess.h"
#include "text/Cp1250.h"
#include "cli/CatalogPage.h"
#include "cli/CatalogDump.h"
#include "cli/CommandHandlers.h"
#include "cli/TextOutput.h"
#include "fileio/FileIO.h"

int RunDump(const Invocation& invocation) {
    const std::string format = invocation.ValueOr("format", "json");
    if (format != "json" && format != "csv") throw UsageError("Neznámý formát: " + format + " (json nebo csv)");
    TClientDataSet table;
    if (const ExitStatus status = OpenCatalogAt(table, invocation.Arguments[0], SortOption(invocation))) {
        return status;
    }
    WriteOut(format == "json" ? DumpJson(table) : DumpCsv(table));
    return exitSuccess;
}

namespace {

// The --format option, or else FILE's extension in any letter case: ".html" and
// ".htm" give the web page, ".csv" the CSV dump. Any other name is refused
// rather than guessed: a catalogue's own ".xml" taken for CSV would be replaced
// by a text no program opens as a catalogue.
bool ExportsPage(const Invocation& invocation, const std::string& file) {
    if (const std::optional<std::string> format = invocation.Value("format")) {
        if (*format != "csv" && *format != "html") throw UsageError("Neznámý formát: " + *format + " (csv nebo html)");
        return *format == "html";
    }
    std::string extension = std::filesystem::path(file).extension().string();
    for (char& c : extension) c = static_cast<char>(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c);
    if (extension == ".html" || extension == ".htm") return true;
    if (extension == ".csv") return false;
    throw UsageError("Z přípony souboru " + file +
                     " nelze poznat formát exportu (.csv, .html, .htm): zvolte ho volbou --format csv nebo html");
}

}  // namespace

int RunExport(const Invocation& invocation) {
    const std::string& catalog = invocation.Arguments[0];
    const std::string& file = invocation.Arguments[1];
    const bool page = ExportsPage(invocation, file);
    if (NamesSameFile(catalog, file)) {
        ShowError("Export nelze uložit do katalogu samotného: " + file + ".");
        return exitRefused;
    }
    // FILE may be a catalogue that a window has open.
    CatalogLock lock;
    if (const ExitStatus status = LockForNewFile(lock, file, invocation.Has("force"))) return status;
    TClientDataSet table;
    if (const ExitStatus status = OpenCatalogAt(table, catalog, SortOption(invocation))) return status;
    // The page tells friends which discs are out; a damaged loans file is said
    // and the loans that could be read are shown.
    LoansRead loans;
    if (page) loans = ReadLoans();
    if (loans.Damaged) ShowError(cp1250::ToUtf8(LoansDamagedText()));
    try {
        const std::string catalogName = std::filesystem::path(catalog).filename().string();
        fileio::ReplaceFileAtomically(file, page ? CatalogPage(table, catalogName, loans.Loans) : DumpCsv(table));
    } catch (const std::exception& failure) {
        ShowFileFailure(kSaveFailedPhrase, file, failure);
        return exitCatalogFailed;
    }
    return exitSuccess;
}
