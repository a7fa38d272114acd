// list, summary, find: the catalogue read (in the order of index "k" where the
// order shows), never written.
#include "app/core/FilmListText.h"
#include "app/core/FindMatch.h"
#include "app/core/Global.h"
#include "app/core/TableWalk.h"
#include "cli/CatalogAccess.h"
#include "cli/CommandHandlers.h"
#include "cli/TextOutput.h"
#include "layout/CatalogLayout.h"
#include "text/Cp1250.h"

int RunList(const Invocation& invocation) {
    TClientDataSet table;
    if (const ExitStatus status = OpenCatalogAt(table, invocation.Arguments[0], SortOption(invocation))) {
        return status;
    }
    WriteLines(FilmListLines(table), invocation.Has("raw"));
    return exitSuccess;
}

int RunSummary(const Invocation& invocation) {
    TClientDataSet table;
    // The counts need no sorted order: the films are read by their keys, and
    // of each film only what is counted.
    std::vector<std::string> fields = SummaryFields();
    fields.emplace_back(kKeyField);
    table.LoadOnly(std::move(fields));
    if (const ExitStatus status =
            OpenCatalogAt(table, invocation.Arguments[0], kDefaultSortFields, CatalogOrder::ByKey)) {
        return status;
    }
    WriteLines(SummaryLines(table, DataFileNameText()), invocation.Has("raw"));
    return exitSuccess;
}

int RunFind(const Invocation& invocation) {
    const FindCriteria criteria{cp1250::FromUtf8(invocation.ValueOr("en", "")),
                                cp1250::FromUtf8(invocation.ValueOr("cz", "")),
                                cp1250::FromUtf8(invocation.ValueOr("note", ""))};
    TClientDataSet table;
    if (const ExitStatus status = OpenCatalogAt(table, invocation.Arguments[0], SortOption(invocation))) {
        return status;
    }
    std::vector<std::string> lines;
    {
        const ReadingWalk walk(table);
        const RecordMatcher matcher(table, criteria);
        for (table.First(); !table.AtEnd(); table.Next()) {
            if (matcher.CurrentRecordMatches()) lines.push_back(FilmLine(table));
        }
    }
    if (lines.empty()) {
        UserInterface().MessageBox(cp1250::FromUtf8(kNothingFoundText), MessageKind::Information,
                                   MessageButtons::Ok);
        return exitRefused;
    }
    WriteLines(lines, false);
    return exitSuccess;
}
