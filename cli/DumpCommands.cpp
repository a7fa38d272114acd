// dump and export: every record in index order, for programs, spreadsheets and browsers.
#include <filesystem>

#include "cli/CatalogAccess.h"
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

// The --format option, or else FILE's extension: ".html" and ".htm" (in any
// letter case) give the web page, everything else CSV.
bool ExportsPage(const Invocation& invocation, const std::string& file) {
    if (const std::optional<std::string> format = invocation.Value("format")) {
        if (*format != "csv" && *format != "html") throw UsageError("Neznámý formát: " + *format + " (csv nebo html)");
        return *format == "html";
    }
    std::string extension = std::filesystem::path(file).extension().string();
    for (char& c : extension) c = static_cast<char>(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c);
    return extension == ".html" || extension == ".htm";
}

}  // namespace

int RunExport(const Invocation& invocation) {
    const std::string& file = invocation.Arguments[1];
    const bool page = ExportsPage(invocation, file);
    TClientDataSet table;
    if (const ExitStatus status = OpenCatalogAt(table, invocation.Arguments[0], SortOption(invocation))) {
        return status;
    }
    try {
        const std::string catalogueName = std::filesystem::path(invocation.Arguments[0]).filename().string();
        fileio::ReplaceFileAtomically(file, page ? CatalogPage(table, catalogueName) : DumpCsv(table));
    } catch (const std::exception& failure) {
        ShowFileFailure(kSaveFailedPhrase, file, failure);
        return exitCatalogueFailed;
    }
    return exitSuccess;
}
