#pragma once
// The catalogue seen as discs on a shelf: which films each CD number holds,
// which numbers are free, and the texts that list them (Windows-1250 lines
// without line ends), shared by kinovka-cli and the list window.
//
// A disc is in use when a film names it (S3; a null reads 0) or when it is
// lent: a lent disc whose films were all deleted is still out there, so its
// number is not free.
#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "app/core/Loans.h"
#include "table/ClientDataSet.h"

struct DiscFilm {
    std::string English, Czech;
};

// The films of each CD number, in the order the records are stored.
using DiscShelf = std::map<std::int32_t, std::vector<DiscFilm>>;

// Reads the films of an open catalogue without moving its cursor: every film,
// or with onlyLent those on the discs lent there.
DiscShelf FilmsByDisc(TClientDataSet& table, const LoanBook* onlyLent = nullptr);

// The numbers from 1 to the highest in use that no disc uses, as closed ranges.
std::vector<std::pair<std::int32_t, std::int32_t>> FreeDiscRanges(const DiscShelf& shelf, const LoanBook& loans);
// The lowest free number: in a gap, else one above the highest (1 on an empty
// shelf); nothing when the highest is the largest number there is.
std::optional<std::int32_t> NextFreeDisc(const DiscShelf& shelf, const LoanBook& loans);
// "31–39, 42"; "žádná" when there are none.
std::string FreeRangesText(const std::vector<std::pair<std::int32_t, std::int32_t>>& ranges);

// One disc: "CD 15" (with " – půjčeno: " and LentText when lent), then its
// films indented, or "(CD bez filmů)".
std::vector<std::string> DiscLines(std::int32_t cd, const DiscShelf& shelf, const LoanBook& loans);
// Every disc in use, in number order, then an empty line and "Volná čísla: ".
std::vector<std::string> DiscOverviewLines(const DiscShelf& shelf, const LoanBook& loans);
// The loans out for more than olderThanDays days, oldest first: "CD 15 – Petr, od
// 3. 12. 2026, 6 dní" (and " – " with the note) and the disc's films; or the
// line "Žádné CD není půjčeno." when there are none.
std::vector<std::string> LoanListLines(const DiscShelf& shelf, const LoanBook& loans, CalendarDay today,
                                       int olderThanDays = -1);
