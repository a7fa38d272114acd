#include "import/CsvFilms.h"

#include "import/Csv.h"
#include "import/FilmBuilder.h"
#include "layout/CatalogLayout.h"
#include "text/Cp1250.h"
#include "text/CzechPlural.h"

namespace {

constexpr std::size_t kKeyColumn = kFilmLayout.size();          // K: assigned by the table, so ignored
constexpr std::size_t kUnknownColumn = kFilmLayout.size() + 1;  // left out with a warning

constexpr CzechNoun kCell{"buňka", "buňky", "buněk"};
constexpr CzechNoun kColumn{"sloupec", "sloupce", "sloupců"};

std::string_view TrimmedBlanks(std::string_view text) {
    while (!text.empty() && text.front() == ' ') text.remove_prefix(1);
    while (!text.empty() && text.back() == ' ') text.remove_suffix(1);
    return text;
}

// A column name as compared: Windows-1250 capitals, so that "název anglicky" is "Název anglicky".
std::string ComparedName(std::string_view utf8) { return cp1250::ToUpper(cp1250::FromUtf8(utf8)); }

std::size_t ColumnOf(std::string_view name) {
    const std::string compared = ComparedName(name);
    if (compared == kKeyField) return kKeyColumn;
    for (std::size_t box = 0; box < kFilmLayout.size(); ++box) {
        if (compared == ComparedName(kFilmLayout[box].Name) || compared == ComparedName(kFilmLayout[box].Title)) {
            return box;
        }
    }
    return kUnknownColumn;
}

std::string ExpectedColumns() {
    std::string names;
    for (const FilmFieldLayout& column : kFilmLayout) {
        names += (names.empty() ? "" : ", ") + std::string(column.Name) + " (" + std::string(column.Title) + ")";
    }
    return names;
}

// The field each column fills (kKeyColumn for K, kUnknownColumn for a column the
// catalogue does not have, which gets one warning for all such columns).
std::vector<std::size_t> ColumnFields(const CsvRecord& header, ImportedFilms& films) {
    const FilePlace place{FilePlace::Unit::Line, header.Line};
    std::vector<std::size_t> fields;
    std::string unknownNames;
    std::size_t unknownCount = 0;
    bool anyField = false;
    for (const std::optional<std::string>& cell : header.Cells) {
        const std::string_view name = TrimmedBlanks(cell ? std::string_view(*cell) : std::string_view());
        const std::size_t field = ColumnOf(name);
        if (field == kUnknownColumn) {
            fields.push_back(kUnknownColumn);
            unknownNames += (unknownCount++ == 0 ? "\"" : ", \"") + std::string(name) + "\"";
            continue;
        }
        for (std::size_t earlier : fields) {
            if (earlier == field) throw ImportError(place, "sloupec \"" + std::string(name) + "\" je tu dvakrát");
        }
        anyField = anyField || field != kKeyColumn;
        fields.push_back(field);
    }
    if (!anyField) {
        throw ImportError(place, "záhlaví nenese žádný sloupec katalogu; čekané sloupce: " + ExpectedColumns());
    }
    if (unknownCount > 0) {
        films.Warnings.push_back(
            {place, "vynechány neznámé sloupce (" + CzechCount(unknownCount, kColumn) + "): " + unknownNames});
    }
    return fields;
}

// A row's film: the add form's values, overwritten by the row's cells.
ImportedFilm RowFilm(const CsvRecord& row, const CsvRecord& header, const std::vector<std::size_t>& columnFields,
                     ImportedFilms& films) {
    const FilePlace place{FilePlace::Unit::Line, row.Line};
    if (row.Cells.size() != columnFields.size()) {
        throw ImportError(place, "řádek: " + CzechCount(row.Cells.size(), kCell) + ", záhlaví: " +
                                     CzechCount(columnFields.size(), kCell));
    }
    ImportedFilm film{{}, place};
    for (std::size_t field = 0; field < kFilmLayout.size(); ++field) film.Fields[field] = cp1250::FromUtf8(kFilmLayout[field].AddValue);
    bool czechTitleGiven = false;
    bool charactersLost = false;
    for (std::size_t column = 0; column < columnFields.size(); ++column) {
        const std::size_t field = columnFields[column];
        const std::optional<std::string>& cell = row.Cells[column];
        if (field == kUnknownColumn && cell && !cell->empty()) {
            films.CountLeftOut(TrimmedBlanks(header.Cells[column].value_or("")));
        }
        if (field == kKeyColumn || field == kUnknownColumn) continue;
        charactersLost = charactersLost || (cell && cp1250::LosesCharacters(*cell));
        film.Fields[field] = cell ? std::optional(cp1250::FromUtf8(*cell)) : std::nullopt;
        czechTitleGiven = czechTitleGiven || field == kCzechTitle;
    }
    if (charactersLost) films.Warnings.push_back({place, "znaky, které Windows-1250 nemá, jsou uloženy jako \"?\""});
    // The table cuts a long text to its field; the user is told.
    for (std::size_t field = 0; field < kFilmLayout.size(); ++field) {
        const std::size_t width = static_cast<std::size_t>(kFilmLayout[field].Size);
        if (!kFilmLayout[field].Number && film.Fields[field] && film.Fields[field]->size() > width) {
            films.Warnings.push_back({place, CutWarning(cp1250::ToUtf8(film.Fields[kEnglishTitle].value_or("")), field,
                                                        film.Fields[field]->size())});
        }
    }
    // Without a Czech-title column an empty Czech title takes the English one, as in the add form.
    if (!czechTitleGiven && film.Fields[kCzechTitle]->empty() && film.Fields[kEnglishTitle]) {
        film.Fields[kCzechTitle] = film.Fields[kEnglishTitle];
    }
    return film;
}

// The file's text as UTF-8: UTF-8 as it is, or Windows-1250 (what a Czech
// spreadsheet writes) when the bytes are not valid UTF-8 and carry no byte
// order mark; malformed sequences in a marked file become "?".
std::string CsvText(std::string_view bytes) {
    if (bytes.starts_with("\xEF\xBB\xBF") || cp1250::IsValidUtf8(bytes)) return std::string(bytes);
    return cp1250::ToUtf8(bytes);
}

}  // namespace

ImportedFilms ReadCsvFilms(std::string_view bytes) {
    std::vector<CsvRecord> records;
    try {
        records = ReadCsv(CsvText(bytes));
    } catch (const CsvSyntaxError& failure) {
        throw ImportError({FilePlace::Unit::Line, failure.Line}, failure.what());
    }
    if (records.empty()) throw ImportError({FilePlace::Unit::Line, 1}, "chybí záhlaví se jmény sloupců");
    ImportedFilms films{"CSV", {}, {}, {}};
    const std::vector<std::size_t> columnFields = ColumnFields(records.front(), films);
    films.Films.reserve(records.size() - 1);
    for (std::size_t i = 1; i < records.size(); ++i) {
        films.Films.push_back(RowFilm(records[i], records.front(), columnFields, films));
    }
    return films;
}
