// history and restore: the versions the saves of a catalogue and of its loans
// kept, and one of them made its file again.
#include <ctime>
#include <memory>

#include "app/core/CatalogChange.h"
#include "app/core/CatalogRestore.h"
#include "app/core/Global.h"
#include "app/core/Loans.h"
#include "app/core/StrictInt.h"
#include "cli/CatalogAccess.h"
#include "cli/CommandHandlers.h"
#include "cli/TextOutput.h"
#include "text/Cp1250.h"

namespace {

constexpr std::size_t kTitlesShown = 3;

// The catalogue state in a file, or nothing when it does not load.
std::unique_ptr<TClientDataSet> LoadedState(const std::string& path) {
    auto table = std::make_unique<TClientDataSet>();
    try {
        table->LoadFromFile(path);
        table->FieldNamed("K");
        return table;
    } catch (const std::exception&) {
        return nullptr;
    }
}

std::string LocalTime(std::int64_t micros) {
    const std::time_t seconds = static_cast<std::time_t>(micros / 1000000);
    std::tm parts{};
    ::localtime_r(&seconds, &parts);
    char text[32];
    std::strftime(text, sizeof text, "%Y-%m-%d %H:%M:%S", &parts);
    return text;
}

// "+2 −1 ~3" and the first few titles, added ones first.
std::string ChangeSummary(const CatalogChange& change) {
    std::string text = "+" + std::to_string(change.Added.size()) + " \u2212" + std::to_string(change.Deleted.size()) +
                       " ~" + std::to_string(change.Changed.size());
    std::vector<FilmNamed> films = change.Added;
    films.insert(films.end(), change.Deleted.begin(), change.Deleted.end());
    films.insert(films.end(), change.Changed.begin(), change.Changed.end());
    for (std::size_t i = 0; i < films.size() && i < kTitlesShown; ++i)
        text += (i == 0 ? "  \"" : ", \"") + cp1250::ToUtf8(films[i].Title) + "\"";
    if (films.size() > kTitlesShown) text += ", …";
    return text;
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
    const std::vector<fileio::Version> versions = CatalogVersions();
    if (versions.empty()) ShowDetail("Katalog " + path + " nemá žádné uložené verze.");

    // Each version against the next newer state of its own file, the file itself first.
    std::unique_ptr<TClientDataSet> newer = LoadedState(CatalogPath());
    LoansRead newerLoans = ReadLoans();
    std::string lines;
    for (std::size_t i = 0; i < versions.size(); ++i) {
        lines += std::to_string(i + 1) + "  " + LocalTime(versions[i].KeptAt) + "  ";
        if (IsLoansVersion(versions[i])) {
            LoansRead olderLoans = ReadLoansFile(versions[i].Path);
            if (olderLoans.Damaged) {
                lines += "výpůjčky nelze přečíst\n";
            } else {
                lines += "výpůjčky  " +
                         (newerLoans.Damaged ? "?" : cp1250::ToUtf8(CzechLoansChangeText(olderLoans.Loans, newerLoans.Loans))) +
                         "\n";
            }
            newerLoans = std::move(olderLoans);
            continue;
        }
        std::unique_ptr<TClientDataSet> older = LoadedState(versions[i].Path);
        if (!older) {
            lines += "nelze přečíst\n";
        } else {
            lines += CzechFilmCount(static_cast<std::size_t>(older->CountRecords())) + "  ";
            lines += newer ? ChangeSummary(CompareCatalogs(*older, *newer)) : "?";
            lines += "\n";
        }
        newer = std::move(older);
    }
    WriteOut(lines);
    return exitSuccess;
}

int RunRestore(const Invocation& invocation) {
    const std::string& path = invocation.Arguments[0];
    const std::size_t number = VersionNumber(invocation.Arguments[1]);
    CatalogLock lock;
    if (const ExitStatus status = LockForChange(lock, path)) return status;
    UseCatalog(path, kDefaultSortFields);
    const std::vector<fileio::Version> versions = CatalogVersions();
    if (number > versions.size()) {
        ShowError("Verze " + std::to_string(number) + " neexistuje (katalog " + path + " jich má " +
                  std::to_string(versions.size()) + ").");
        return exitRefused;
    }
    const fileio::Version& version = versions[number - 1];
    // A version that does not load would leave a file that does not open.
    if (IsLoansVersion(version) ? ReadLoansFile(version.Path).Damaged : !LoadedState(version.Path)) {
        ShowFileError(kOpenFailedPhrase, version.Path);
        return exitCatalogueFailed;
    }
    std::string kept;
    if (!RestoreCatalogVersion(version, kept)) return exitCatalogueFailed;
    TClientDataSet table;
    return OpenCatalog(table) ? exitSuccess : exitCatalogueFailed;
}
