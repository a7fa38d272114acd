#include "app/core/Discs.h"

#include <algorithm>
#include <charconv>
#include <limits>
#include <set>

#include "layout/CatalogLayout.h"
#include "text/CzechPlural.h"
#include "text/Cp1250.h"

namespace {

std::set<std::int32_t> DiscsInUse(const DiscShelf& shelf, const LoanBook& loans) {
    std::set<std::int32_t> used;
    for (const auto& [cd, films] : shelf) used.insert(cd);
    for (const auto& [cd, loan] : loans) used.insert(cd);
    return used;
}

const std::string& Dash() {
    static const std::string dash = cp1250::FromUtf8("–");
    return dash;
}

std::string FilmLineOf(const DiscFilm& film) {
    if (film.Czech.empty() || film.Czech == film.English) return "    " + film.English;
    if (film.English.empty()) return "    " + film.Czech;
    return "    " + film.English + " / " + film.Czech;
}

void AddFilmLines(std::int32_t cd, const DiscShelf& shelf, std::vector<std::string>& lines) {
    const auto films = shelf.find(cd);
    if (films == shelf.end()) {
        lines.push_back(cp1250::FromUtf8("    (CD bez filmů)"));
        return;
    }
    for (const DiscFilm& film : films->second) lines.push_back(FilmLineOf(film));
}

}  // namespace

DiscShelf FilmsByDisc(TClientDataSet& table, const LoanBook* onlyLent) {
    const int cd = table.FieldNamed(FilmFieldName(kCdNumber)).FieldNo();
    const int english = table.FieldNamed(FilmFieldName(kEnglishTitle)).FieldNo();
    const int czech = table.FieldNamed(FilmFieldName(kCzechTitle)).FieldNo();
    DiscShelf shelf;
    table.FirstRowWhere(0, [&](const TClientDataSet::TRowValues& row) {
        const std::string_view number = row.Value(cd);
        // The table keeps S3 a 32-bit integer, so its text always converts; a null is disc 0.
        std::int32_t disc = 0;
        std::from_chars(number.data(), number.data() + number.size(), disc);
        if (onlyLent && !onlyLent->contains(disc)) return false;
        shelf[disc].push_back({std::string(row.Value(english)), std::string(row.Value(czech))});
        return false;
    });
    return shelf;
}

std::vector<std::pair<std::int32_t, std::int32_t>> FreeDiscRanges(const DiscShelf& shelf, const LoanBook& loans) {
    std::vector<std::pair<std::int32_t, std::int32_t>> ranges;
    std::int64_t next = 1;  // the lowest number not yet known to be used or free
    for (const std::int32_t cd : DiscsInUse(shelf, loans)) {
        if (cd < next) continue;
        if (cd > next) ranges.emplace_back(static_cast<std::int32_t>(next), cd - 1);
        next = static_cast<std::int64_t>(cd) + 1;
    }
    return ranges;
}

std::optional<std::int32_t> NextFreeDisc(const DiscShelf& shelf, const LoanBook& loans) {
    const auto ranges = FreeDiscRanges(shelf, loans);
    if (!ranges.empty()) return ranges.front().first;
    const std::set<std::int32_t> used = DiscsInUse(shelf, loans);
    if (used.empty() || *used.rbegin() < 1) return 1;
    if (*used.rbegin() == std::numeric_limits<std::int32_t>::max()) return std::nullopt;
    return *used.rbegin() + 1;
}

std::string FreeRangesText(const std::vector<std::pair<std::int32_t, std::int32_t>>& ranges) {
    if (ranges.empty()) return cp1250::FromUtf8("žádná");
    std::string text;
    for (const auto& [first, last] : ranges) {
        if (!text.empty()) text += ", ";
        text += std::to_string(first);
        if (last != first) text += Dash() + std::to_string(last);
    }
    return text;
}

std::vector<std::string> DiscLines(std::int32_t cd, const DiscShelf& shelf, const LoanBook& loans) {
    std::string head = "CD " + std::to_string(cd);
    if (const auto loan = loans.find(cd); loan != loans.end())
        head += " " + Dash() + cp1250::FromUtf8(" půjčeno: ") + LentText(loan->second);
    std::vector<std::string> lines{head};
    AddFilmLines(cd, shelf, lines);
    return lines;
}

std::vector<std::string> DiscOverviewLines(const DiscShelf& shelf, const LoanBook& loans) {
    std::vector<std::string> lines;
    for (const std::int32_t cd : DiscsInUse(shelf, loans)) {
        const auto disc = DiscLines(cd, shelf, loans);
        lines.insert(lines.end(), disc.begin(), disc.end());
    }
    lines.push_back("");
    lines.push_back(cp1250::FromUtf8("Volná čísla: ") + FreeRangesText(FreeDiscRanges(shelf, loans)));
    return lines;
}

std::vector<std::string> LoanListLines(const DiscShelf& shelf, const LoanBook& loans, CalendarDay today,
                                       int olderThanDays) {
    std::vector<const Loan*> listed;
    for (const auto& [cd, loan] : loans)
        if (DaysBetween(loan.Since, today) > olderThanDays) listed.push_back(&loan);
    std::stable_sort(listed.begin(), listed.end(),
                     [](const Loan* a, const Loan* b) { return std::chrono::sys_days(a->Since) < std::chrono::sys_days(b->Since); });
    if (listed.empty()) return {cp1250::FromUtf8("Žádné CD není půjčeno.")};

    static const CzechNoun days{"den", "dny", "dní"};
    std::vector<std::string> lines;
    for (const Loan* loan : listed) {
        const int out = std::max(DaysBetween(loan->Since, today), 0);
        std::string head = "CD " + std::to_string(loan->Cd) + " " + Dash() + " " + LentText(*loan) + ", " +
                           cp1250::FromUtf8(CzechCount(static_cast<std::size_t>(out), days));
        if (!loan->Note.empty()) head += " " + Dash() + " " + loan->Note;
        lines.push_back(head);
        AddFilmLines(loan->Cd, shelf, lines);
    }
    return lines;
}
