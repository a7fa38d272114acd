#include "app/core/FilmListText.h"

#include <cstdint>

#include "app/core/TableWalk.h"
#include "layout/CatalogLayout.h"
#include "text/Cp1250.h"

namespace {

// "%-Ns": blanks on the right up to N bytes; a longer text stays whole.
std::string PadRight(std::string text, std::size_t width) {
    if (text.size() < width) text.append(width - text.size(), ' ');
    return text;
}

// "%.4d": at least four digits, zeros after any minus sign.
std::string FourDigits(std::int32_t value) {
    const std::int64_t wide = value;
    std::string digits = std::to_string(wide < 0 ? -wide : wide);
    if (digits.size() < 4) digits.insert(0, 4 - digits.size(), '0');
    return wide < 0 ? "-" + digits : digits;
}

std::string Cp(std::string_view utf8) { return cp1250::FromUtf8(utf8); }

char AsciiUpper(char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c; }

// True when the text, upper-cased by plain ASCII rules, equals the capitals given.
bool AsciiUpperEquals(std::string_view text, std::string_view capitals) {
    if (text.size() != capitals.size()) return false;
    for (std::size_t i = 0; i < text.size(); ++i)
        if (AsciiUpper(text[i]) != capitals[i]) return false;
    return true;
}

// True when the text, upper-cased by plain ASCII rules, contains the capitals given.
bool AsciiUpperContains(std::string_view text, std::string_view capitals) {
    for (std::size_t start = 0; start + capitals.size() <= text.size(); ++start)
        if (AsciiUpperEquals(text.substr(start, capitals.size()), capitals)) return true;
    return false;
}

}  // namespace

std::string FilmListHeader() {
    return PadRight(Cp("Název anglicky"), 50) + ' ' + PadRight(Cp("Název česky"), 50) + ' ' +
           PadRight(Cp("č.CD"), 4) + ' ' + PadRight("Zn", 2) + ' ' + PadRight("Titulky", 11) + ' ' +
           PadRight("ks", 2) + ' ' + PadRight(Cp("Poznámka"), 100);
}

namespace {

// The fields of a film line, looked up once for a walk over many films.
struct FilmLineFields {
    explicit FilmLineFields(TClientDataSet& table)
        : English(table.FieldNamed(FilmFieldName(kEnglishTitle))), Czech(table.FieldNamed(FilmFieldName(kCzechTitle))),
          Disc(table.FieldNamed(FilmFieldName(kCdNumber))), Language(table.FieldNamed(FilmFieldName(kLanguage))),
          Subtitles(table.FieldNamed(FilmFieldName(kSubtitles))), Discs(table.FieldNamed(FilmFieldName(kDiscCount))),
          Note(table.FieldNamed(FilmFieldName(kNote))) {}
    const TField& English;
    const TField& Czech;
    const TField& Disc;
    const TField& Language;
    const TField& Subtitles;
    const TField& Discs;
    const TField& Note;
};

// "%-Ns" and "%Ns" appended: blanks up to N bytes; a longer text stays whole.
void AppendLeft(std::string& line, std::string_view text, std::size_t width) {
    line += text;
    if (text.size() < width) line.append(width - text.size(), ' ');
}

void AppendRight(std::string& line, std::string_view text, std::size_t width) {
    if (text.size() < width) line.append(width - text.size(), ' ');
    line += text;
}

std::string FilmLineOf(const FilmLineFields& film) {
    std::string line;
    line.reserve(224);
    AppendLeft(line, film.English.AsStringView(), 50);
    line += ' ';
    AppendLeft(line, film.Czech.AsStringView(), 50);
    line += ' ';
    line += FourDigits(film.Disc.AsInteger());
    line += ' ';
    AppendLeft(line, film.Language.AsStringView(), 2);
    line += ' ';
    AppendLeft(line, film.Subtitles.AsStringView(), 11);
    line += ' ';
    AppendRight(line, film.Discs.AsStringView(), 2);
    line += ' ';
    AppendLeft(line, film.Note.AsStringView(), 100);
    return line;
}

}  // namespace

std::string FilmLine(TClientDataSet& table) { return FilmLineOf(FilmLineFields(table)); }

std::vector<std::string> FilmListLines(TClientDataSet& table) {
    ReadingWalk walk(table);
    std::vector<std::string> lines{FilmListHeader(), ""};
    lines.reserve(static_cast<std::size_t>(table.CountRecords()) + 2);
    const FilmLineFields fields(table);
    for (table.First(); !table.AtEnd(); table.Next()) lines.push_back(FilmLineOf(fields));
    walk.ReturnToRemembered();
    return lines;
}

std::vector<std::string> SummaryFields() {
    return {std::string(FilmFieldName(kDiscCount)), std::string(FilmFieldName(kLanguage)),
            std::string(FilmFieldName(kSubtitles))};
}

std::vector<std::string> SummaryLines(TClientDataSet& table, std::string_view dataFileName) {
    ReadingWalk walk(table);
    // The disc count is summed wide: two films with huge disc numbers must not
    // wrap the total round to a negative number.
    std::int64_t discs = 0;
    int czech = 0;
    int english = 0;
    int other = 0;
    int englishWithCzechSubtitles = 0;
    const int discField = table.FieldNamed(FilmFieldName(kDiscCount)).FieldNo();
    const int languageField = table.FieldNamed(FilmFieldName(kLanguage)).FieldNo();
    const int subtitlesField = table.FieldNamed(FilmFieldName(kSubtitles)).FieldNo();
    // A pending change is settled as by any walk; the counts need no order, so
    // the films are read where they are stored, without moving the cursor.
    table.First();
    table.FirstRowWhere(0, [&](const TClientDataSet::TRowValues& film) {
        discs += film.AsInteger(discField);
        const std::string_view language = film.Value(languageField);
        if (AsciiUpperEquals(language, "CZ")) {
            ++czech;
        } else if (AsciiUpperEquals(language, "EN")) {
            ++english;
            if (AsciiUpperContains(film.Value(subtitlesField), "CZ")) ++englishWithCzechSubtitles;
        } else {
            ++other;
        }
        return false;
    });
    std::vector<std::string> lines{
        Cp("Souhrn datového souboru ") + std::string(dataFileName) + ":",
        "",
        "",
        Cp("Počet CD: ") + std::to_string(discs),
        "",
        Cp("Počet filmů: ") + std::to_string(table.CountRecords()),
        Cp("Počet filmů v češtině: ") + std::to_string(czech),
        Cp("Počet filmů v angličtině: ") + std::to_string(english),
        Cp("Počet filmů v jiném jazyce: ") + std::to_string(other),
        "",
        Cp("Počet filmů v angličtině s českými titulky: ") + std::to_string(englishWithCzechSubtitles),
        "",
    };
    walk.ReturnToRemembered();
    return lines;
}
