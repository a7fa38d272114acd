// history and restore: the versions the saves of a catalogue and of its loans
// kept, and one of them made its file again.
#include <algorithm>
#include <ctime>
#include <memory>
#include <optional>

#include "app/core/CatalogChange.h"
#include "app/core/CatalogRestore.h"
#include "app/core/FailurePhrases.h"
#include "app/core/FailureReason.h"
#include "app/core/Global.h"
#include "app/core/Loans.h"
#include "app/core/StrictInt.h"
#include "cli/CatalogAccess.h"
#include "cli/CommandHandlers.h"
#include "cli/TextOutput.h"
#include "layout/CatalogLayout.h"
#include "text/Cp1250.h"

namespace {

constexpr std::size_t kTitlesShown = 3;

// The catalogue state in a file, or nothing when it does not load (why goes to failure).
std::unique_ptr<TClientDataSet> LoadedState(const std::string& path, std::string* failure = nullptr) {
    auto table = std::make_unique<TClientDataSet>();
    try {
        table->LoadFromFile(path);
        table->FieldNamed(kKeyField);
        return table;
    } catch (const std::exception& error) {
        if (failure) *failure = cp1250::ToUtf8(FailureReason(error));
        return nullptr;
    }
}

std::string LocalTime(std::int64_t micros) {
    const std::time_t seconds = static_cast<std::time_t>(micros / 1000000 - (micros % 1000000 < 0 ? 1 : 0));
    std::tm parts{};
    ::localtime_r(&seconds, &parts);
    char text[40];
    std::strftime(text, sizeof text, "%Y-%m-%d %H:%M:%S", &parts);
    return text;
}

// The first few titles a change concerns, added ones first.
std::string ChangedTitles(const CatalogChange& change) {
    std::vector<FilmNamed> films = change.Added;
    films.insert(films.end(), change.Deleted.begin(), change.Deleted.end());
    films.insert(films.end(), change.Changed.begin(), change.Changed.end());
    std::string text;
    for (std::size_t i = 0; i < films.size() && i < kTitlesShown; ++i)
        text += (i == 0 ? "\"" : ", \"") + cp1250::ToUtf8(films[i].Title) + "\"";
    if (films.size() > kTitlesShown) text += ", …";
    return text;
}

std::size_t Characters(const std::string& utf8) {
    return static_cast<std::size_t>(
        std::count_if(utf8.begin(), utf8.end(), [](char c) { return (static_cast<unsigned char>(c) & 0xC0) != 0x80; }));
}

// History's lines as columns: number, time, film count and its noun, "+a",
// "-d", "~c", titles. Each cell but a line's last is padded to its column's
// widest (numbers to the right, words to the left), so that the columns line
// up however many versions there are; a line's last cell stands as it is.
struct HistoryColumns {
    static constexpr bool kRight[] = {true, false, true, false, false, false, false, false};
    // Before each column: a count and its noun go together, and so do the three change counts.
    static constexpr std::string_view kGap[] = {"", "  ", "  ", " ", "  ", " ", " ", "  "};
    std::vector<std::vector<std::string>> Rows;

    std::string Lines() const {
        std::size_t widths[std::size(kRight)] = {};
        for (const auto& row : Rows)
            for (std::size_t i = 0; i + 1 < row.size(); ++i) widths[i] = std::max(widths[i], Characters(row[i]));
        std::string lines;
        for (const auto& row : Rows) {
            for (std::size_t i = 0; i < row.size(); ++i) {
                const bool last = i + 1 == row.size();
                const std::string padding(last ? 0 : widths[i] - Characters(row[i]), ' ');
                lines += std::string(kGap[i]) + (kRight[i] ? padding + row[i] : row[i] + (last ? "" : padding));
            }
            lines += "\n";
        }
        return lines;
    }
};

// The versions of the catalogue in use, or nothing after a message saying why
// their folder cannot be read.
std::optional<std::vector<fileio::Version>> ReadableVersions(const std::string& path) {
    try {
        return CatalogVersions();
    } catch (const std::exception& failure) {
        ShowFileFailure(kVersionsUnreadablePhrase, path + ".versions", failure);
        return std::nullopt;
    }
}

std::size_t VersionNumber(const std::string& text) {
    const auto number = StrictStrToInt(text);
    if (!number || *number < 1) throw UsageError("N není číslo verze (1, 2, …): " + text);
    return static_cast<std::size_t>(*number);
}

}  // namespace

int RunHistory(const Invocation& invocation) {
    const std::string& path = invocation.Arguments[0];
    UseCatalog(path, kDefaultSortFields);
    const auto readable = ReadableVersions(path);
    if (!readable) return exitCatalogFailed;
    const std::vector<fileio::Version>& versions = *readable;
    if (versions.empty()) ShowDetail("Katalog " + path + " nemá žádné uložené verze.");

    // Each version against the next newer state of its own file, the file itself first.
    std::unique_ptr<TClientDataSet> newer = LoadedState(CatalogPath());
    LoansRead newerLoans = ReadLoans();
    HistoryColumns columns;
    for (std::size_t i = 0; i < versions.size(); ++i) {
        std::vector<std::string> row{std::to_string(i + 1), LocalTime(versions[i].KeptAt)};
        if (IsLoansVersion(versions[i])) {
            LoansRead olderLoans = ReadLoansFile(versions[i].Path);
            if (olderLoans.Damaged) {
                row.push_back("výpůjčky nelze přečíst");
            } else {
                row.push_back("výpůjčky  " + (newerLoans.Damaged ? "?" : cp1250::ToUtf8(CzechLoansChangeText(
                                                                             olderLoans.Loans, newerLoans.Loans))));
            }
            columns.Rows.push_back(std::move(row));
            newerLoans = std::move(olderLoans);
            continue;
        }
        std::unique_ptr<TClientDataSet> older = LoadedState(versions[i].Path);
        if (!older) {
            row.push_back("nelze přečíst");
        } else {
            const std::string count = CzechFilmCount(static_cast<std::size_t>(older->CountRecords()));
            const std::size_t blank = count.find(' ');
            row.push_back(count.substr(0, blank));
            row.push_back(count.substr(blank + 1));
            if (newer) {
                const CatalogChange change = CompareCatalogs(*older, *newer);
                row.push_back("+" + std::to_string(change.Added.size()));
                row.push_back("-" + std::to_string(change.Deleted.size()));
                row.push_back("~" + std::to_string(change.Changed.size()));
                row.push_back(ChangedTitles(change));
            } else {
                row.push_back("?");
            }
        }
        columns.Rows.push_back(std::move(row));
        newer = std::move(older);
    }
    WriteOut(columns.Lines());
    return exitSuccess;
}

int RunRestore(const Invocation& invocation) {
    const std::string& path = invocation.Arguments[0];
    const std::size_t number = VersionNumber(invocation.Arguments[1]);
    CatalogLock lock;
    if (const ExitStatus status = LockForChange(lock, path)) return status;
    UseCatalog(path, kDefaultSortFields);
    const auto readable = ReadableVersions(path);
    if (!readable) return exitCatalogFailed;
    const std::vector<fileio::Version>& versions = *readable;
    if (number > versions.size()) {
        ShowError("Verze " + std::to_string(number) + " neexistuje (katalog " + path + " jich má " +
                  std::to_string(versions.size()) + ").");
        return exitRefused;
    }
    const fileio::Version& version = versions[number - 1];
    // A version that does not load would leave a file that does not open.
    std::string failure;
    const bool loads = IsLoansVersion(version) ? !ReadLoansFile(version.Path).Damaged
                                                : LoadedState(version.Path, &failure) != nullptr;
    if (!loads) {
        if (failure.empty()) failure = "Není to čitelný soubor výpůjček.";
        ShowError(std::string(kOpenFailedPhrase) + version.Path + ".\n" + failure);
        return exitCatalogFailed;
    }
    std::string kept;
    if (!RestoreCatalogVersion(version, kept)) return exitCatalogFailed;
    TClientDataSet table;
    return OpenCatalog(table) ? exitSuccess : exitCatalogFailed;
}
