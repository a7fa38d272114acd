// discs, disc, lend, return, loans: the catalogue as discs on a shelf, and the
// discs lent out. Reading needs no lock; lend and return change only the loans
// file, under the catalogue's lock, and never the catalogue.
#include <functional>

#include "app/core/Discs.h"
#include "app/core/Global.h"
#include "app/core/StrictInt.h"
#include "cli/CatalogAccess.h"
#include "cli/CommandHandlers.h"
#include "cli/TextOutput.h"
#include "layout/CatalogLayout.h"
#include "text/Cp1250.h"

namespace {

std::int32_t NumberArgument(const std::string& text, std::string_view what) {
    const auto number = StrictStrToInt(text);
    if (!number) throw UsageError(std::string(what) + " není celé číslo: " + text);
    return *number;
}

// The catalogue's discs (or only the lent ones) and its loans. A loans file
// that cannot be read is reported and its valid loans used; damaged is set for
// the caller to decide.
ExitStatus ReadShelf(const std::string& path, DiscShelf& shelf, LoansRead& loans, bool onlyLent = false) {
    TClientDataSet table;
    // Discs are read by number, whatever the order: the cheapest index is enough.
    if (const ExitStatus status = OpenCatalogAt(table, path, FilmFieldName(kCdNumber))) return status;
    loans = ReadLoans();
    shelf = FilmsByDisc(table, onlyLent ? &loans.Loans : nullptr);
    if (loans.Damaged) ShowError(cp1250::ToUtf8(LoansDamagedText()));
    return exitSuccess;
}

// Locks the catalogue and reads it for a change of its loans, which a damaged
// loans file refuses: writing anew what could be read would drop the rest.
ExitStatus ReadShelfForChange(CatalogLock& lock, const std::string& path, DiscShelf& shelf, LoanBook& loans) {
    if (const ExitStatus status = LockForChange(lock, path)) return status;
    LoansRead read;
    if (const ExitStatus status = ReadShelf(path, shelf, read)) return status;
    if (read.Damaged) {
        ShowDetail("Výpůjčky nelze měnit, dokud ho nezachráníte: kinovka-cli rescue " + LoansPathFor(path) +
                   " NOVÝ_SOUBOR");
        return exitCatalogFailed;
    }
    loans = std::move(read.Loans);
    return exitSuccess;
}

// Locks the catalogue, reads it and its loans, lets change alter the loans for
// disc CD (the second argument), and saves them when it gives exitSuccess.
int ChangeLoans(const Invocation& invocation,
                const std::function<ExitStatus(std::int32_t, const DiscShelf&, LoanBook&)>& change) {
    const std::int32_t cd = NumberArgument(invocation.Arguments[1], "CD");
    CatalogLock lock;
    DiscShelf shelf;
    LoanBook loans;
    if (const ExitStatus status = ReadShelfForChange(lock, invocation.Arguments[0], shelf, loans)) return status;
    if (const ExitStatus status = change(cd, shelf, loans)) return status;
    return SaveLoans(loans) ? exitSuccess : exitCatalogFailed;
}

// Who, date and note of a new loan, as given; a refusal says what is wrong.
std::optional<Loan> GivenLoan(const Invocation& invocation, std::int32_t cd) {
    const std::string date = invocation.ValueOr("date", IsoDay(Today()));
    const auto since = ParseIsoDay(date);
    if (!since) {
        ShowError("Neplatné datum: " + date + " (RRRR-MM-DD).");
        return std::nullopt;
    }
    const Loan loan{cd, cp1250::FromUtf8(invocation.Arguments[2]), *since,
                    cp1250::FromUtf8(invocation.ValueOr("note", ""))};
    if (const std::string refusal = LoanRefusal(loan, Today()); !refusal.empty()) {
        ShowError(refusal);
        return std::nullopt;
    }
    return loan;
}

}  // namespace

int RunDiscs(const Invocation& invocation) {
    DiscShelf shelf;
    LoansRead loans;
    if (const ExitStatus status = ReadShelf(invocation.Arguments[0], shelf, loans)) return status;
    if (invocation.Has("next")) {
        const auto next = NextFreeDisc(shelf, loans.Loans);
        if (!next) {
            ShowError("Žádné vyšší číslo CD už není volné.");
            return exitRefused;
        }
        WriteOut(std::to_string(*next) + "\n");
    } else if (invocation.Has("free")) {
        WriteLines({FreeRangesText(FreeDiscRanges(shelf, loans.Loans))}, false);
    } else {
        WriteLines(DiscOverviewLines(shelf, loans.Loans), false);
    }
    return exitSuccess;
}

int RunDisc(const Invocation& invocation) {
    const std::int32_t cd = NumberArgument(invocation.Arguments[1], "CD");
    DiscShelf shelf;
    LoansRead loans;
    if (const ExitStatus status = ReadShelf(invocation.Arguments[0], shelf, loans)) return status;
    if (!shelf.contains(cd) && !loans.Loans.contains(cd)) {
        ShowError("CD " + std::to_string(cd) + " v katalogu není.");
        return exitRefused;
    }
    WriteLines(DiscLines(cd, shelf, loans.Loans), false);
    return exitSuccess;
}

int RunLend(const Invocation& invocation) {
    return ChangeLoans(invocation, [&](std::int32_t cd, const DiscShelf& shelf, LoanBook& loans) {
        if (const auto lent = loans.find(cd); lent != loans.end()) {
            ShowError("CD " + std::to_string(cd) + " je už půjčeno: " + cp1250::ToUtf8(LentText(lent->second)) + ".");
            return exitRefused;
        }
        if (!shelf.contains(cd)) {
            ShowError("Na CD " + std::to_string(cd) + " není žádný film.");
            return exitRefused;
        }
        const std::optional<Loan> loan = GivenLoan(invocation, cd);
        if (!loan) return exitRefused;
        loans[cd] = *loan;
        return exitSuccess;
    });
}

int RunReturn(const Invocation& invocation) {
    return ChangeLoans(invocation, [](std::int32_t cd, const DiscShelf&, LoanBook& loans) {
        if (loans.erase(cd) != 0) return exitSuccess;
        ShowError("CD " + std::to_string(cd) + " není půjčeno.");
        return exitRefused;
    });
}

int RunLoans(const Invocation& invocation) {
    int olderThan = -1;
    if (const auto days = invocation.Value("older-than")) {
        olderThan = NumberArgument(*days, "DAYS");
        if (olderThan < 0) throw UsageError("DAYS nesmí být záporné: " + *days);
    }
    DiscShelf shelf;
    LoansRead loans;
    if (const ExitStatus status = ReadShelf(invocation.Arguments[0], shelf, loans, true)) return status;
    WriteLines(LoanListLines(shelf, loans.Loans, Today(), olderThan), false);
    return exitSuccess;
}
