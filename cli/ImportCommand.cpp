// import: the films of a CSV file or of another catalogue program's file added
// as one change, all of them or none.
#include <iostream>

#include "app/core/FilmImport.h"
#include "app/core/FilmKey.h"
#include "app/core/Global.h"
#include "cli/CatalogAccess.h"
#include "cli/CommandHandlers.h"
#include "cli/ConsoleUiServices.h"
#include "fileio/FileIO.h"
#include "import/Csv.h"
#include "import/FilmFile.h"
#include "layout/CatalogLayout.h"
#include "text/Cp1250.h"

namespace {

constexpr std::size_t kDryRunFilms = 10;

// "FILE:4: reason" for a line, as compilers name places; "FILE: reason, bajt 1200" otherwise.
std::string PlacedText(const std::string& file, FilePlace place, const std::string& text) {
    if (place.In == FilePlace::Unit::Line) return file + ":" + std::to_string(place.Number) + ": " + text;
    return file + ": " + text + ", " + place.Text();
}

// The added films as the catalogue now holds them: a CSV header and one row each.
void PrintFirstFilms(TClientDataSet& table, const ImportCounts& counts) {
    std::vector<std::string> names;
    for (const FilmFieldLayout& field : kFilmLayout) names.emplace_back(field.Name);
    std::cout << CsvLine(names);
    for (std::size_t i = 0; i < counts.AddedKeys.size() && i < kDryRunFilms; ++i) {
        if (!GoToFilm(table, counts.AddedKeys[i])) continue;
        std::vector<std::string> cells;
        for (const FilmFieldLayout& field : kFilmLayout) {
            const TField& value = table.FieldNamed(field.Name);
            cells.push_back(CsvCell(value.IsNull() ? std::nullopt : std::optional(cp1250::ToUtf8(value.AsString()))));
        }
        std::cout << CsvLine(cells);
    }
}

}  // namespace

int RunImport(const Invocation& invocation) {
    const std::string& file = invocation.Arguments[1];
    const bool dryRun = invocation.Has("dry-run");
    CatalogLock lock;
    if (!dryRun) {
        if (const ExitStatus status = LockForChange(lock, invocation.Arguments[0])) return status;
    }
    TClientDataSet table;
    if (const ExitStatus status = OpenCatalogAt(table, invocation.Arguments[0], kDefaultSortFields)) return status;

    std::string bytes;
    try {
        bytes = fileio::ReadWholeFile(file);
    } catch (const std::exception&) {
        ShowFileError(kOpenFailedPhrase, file);
        return exitRefused;
    }
    ImportedFilms films;
    ImportCounts counts;
    try {
        films = ReadFilmFile(bytes);
        counts = AddImportedFilms(table, films, invocation.Has("all"));
    } catch (const ImportError& failure) {
        ShowFileError(kInsertRefusedPhrase, DataFileName);
        ShowDetail(PlacedText(file, failure.Place, failure.what()));
        return exitRefused;
    } catch (const ImportRefused& refusal) {
        ShowFileError(kInsertRefusedPhrase, DataFileName);
        if (refusal.Code) ShowDetail(StatusCodeText(*refusal.Code));
        ShowDetail(PlacedText(file, refusal.Place, refusal.what()));
        return exitRefused;
    }
    for (const ImportNote& warning : films.Warnings) ShowDetail(PlacedText(file, warning.Place, warning.Text));
    // The summary says what was added, so it follows a save that worked.
    if (!dryRun && counts.Added > 0) {
        if (const ExitStatus status = SaveAndReload(table)) return status;
    }
    for (const std::string& line : ImportSummary(films, counts, dryRun)) std::cout << line << "\n";
    if (dryRun) PrintFirstFilms(table, counts);
    return exitSuccess;
}
