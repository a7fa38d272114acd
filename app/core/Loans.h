#pragma once
// Loans: which discs are lent, to whom and since when.
//
// A loan is of a disc (a CD number, the catalogue's S3): every film on it goes
// with it. The catalogue file's format has no place for loans and must not
// change, so they live beside it in a packet of Kinovka's own: for "filmy.xml"
// in "filmy.loans.xml" (another name gets ".loans.xml" appended), with the
// fields CD (integer), WHO (string 50), SINCE ("YYYY-MM-DD", string 10) and
// NOTE (string 100). It is saved as the catalogue is (crash-safe, the state it
// replaces kept as a version in its own versions folder) and changed only under
// the catalogue's lock. No loans file means no loans.
//
// A loan is kept when the last film on its disc is deleted: the disc is still
// out there, and the user learns it from the loans list ("CD bez filmů").
// Texts are Windows-1250, like all text of the core.
#include <array>
#include <cstdint>
#include <exception>
#include <map>
#include <string>
#include <string_view>

#include "app/core/CalendarDay.h"
#include "table/ClientDataSet.h"

struct Loan {
    std::int32_t Cd = 0;
    std::string Who;  // never empty
    CalendarDay Since;
    std::string Note;
};

// At most one loan per disc, in the order of the CD numbers.
using LoanBook = std::map<std::int32_t, Loan>;

// "Petr, od 3. 12. 2026".
std::string LentText(const Loan& loan);

// A field of a file that rescue takes: its name, and whether it holds 32-bit
// integers rather than texts.
struct RescuedField {
    std::string_view Name;
    bool Number;
};
// The loans file's fields, in their order.
inline constexpr std::array<RescuedField, 4> kLoansFields{{{"CD", true}, {"WHO", false}, {"SINCE", false}, {"NOTE", false}}};

// Positions in kLoansFields.
inline constexpr std::size_t kLoanCd = 0, kLoanWho = 1, kLoanSince = 2, kLoanNote = 3;

// The widths of the text fields.
inline constexpr std::size_t kLoanWhoWidth = 50;
inline constexpr std::size_t kLoanSinceWidth = 10;  // "YYYY-MM-DD"
inline constexpr std::size_t kLoanNoteWidth = 100;

std::string LoansPathFor(const std::string& catalogPath);

struct LoansRead {
    LoanBook Loans;
    // The file is there but could not be read whole: not a packet, fields
    // missing, a row without a valid CD, WHO or SINCE. Loans holds the rows that
    // were valid; the file itself is left as it is for rescue.
    bool Damaged = false;
};
LoansRead ReadLoansFile(const std::string& path);
// Whether an open table has the loans file's fields, with their types.
bool HasLoansLayout(TClientDataSet& table);
// Replaces the loans file of the catalogue at catalogPath as a catalogue save
// does, the old content kept as a version numbered with the catalogue's
// (CatalogRestore.h). Raises on failure, leaving the file and its versions as
// they were.
void WriteLoansOf(const std::string& catalogPath, const LoanBook& loans);

// Why a new loan cannot be recorded as it stands (UTF-8), or "" when it can:
// nobody named, a name or note over its width, a day after today.
std::string LoanRefusal(const Loan& loan, CalendarDay today);

// The loans of the run's catalogue (CatalogPath()).
std::string LoansPath();
// The loans file's name for messages, beside DataFileName (Windows-1250).
std::string LoansFileNameText();
LoansRead ReadLoans();
// WriteLoansOf for the run's catalogue; on failure shows ShowLoansSaveFailed
// and gives false.
bool SaveLoans(const LoanBook& loans);
// "Nepodařilo se uložit soubor: " with the loans file's name and the failure's
// reason, in Kinovka's own information box.
void ShowLoansSaveFailed(const std::exception& failure);
// "Soubor výpůjček nelze přečíst: filmy.loans.xml." (Windows-1250).
std::string LoansDamagedText();

// What newer changed against older, for the user: "půjčeno CD 15",
// "vráceno CD 15", "změněna výpůjčka CD 15", joined by ", "; "beze změny
// výpůjček" when nothing did (Windows-1250).
std::string CzechLoansChangeText(const LoanBook& older, const LoanBook& newer);
