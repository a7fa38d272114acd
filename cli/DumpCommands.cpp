// dump and export: every record in index order, for programs and spreadsheets.
#include "cli/CatalogAccess.h"
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

int RunExport(const Invocation& invocation) {
    const std::string& csvFile = invocation.Arguments[1];
    TClientDataSet table;
    if (const ExitStatus status = OpenCatalogAt(table, invocation.Arguments[0], SortOption(invocation))) {
        return status;
    }
    try {
        fileio::ReplaceFileAtomically(csvFile, DumpCsv(table));
    } catch (const std::exception&) {
        ShowFileError(kSaveFailedPhrase, csvFile);
        return exitCatalogueFailed;
    }
    return exitSuccess;
}
