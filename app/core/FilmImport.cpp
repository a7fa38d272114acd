#include "app/core/FilmImport.h"

#include <set>
#include <tuple>

#include "app/core/FilmBoxes.h"
#include "app/core/Global.h"
#include "app/core/StrictInt.h"
#include "layout/CatalogLayout.h"
#include "table/Errors.h"
#include "text/Cp1250.h"

namespace {

// What the duplicate rule compares, as the table stores it.
struct FilmKey {
    std::string English, Czech;
    std::optional<std::int32_t> Cd;
};

// Typed search's order, with the empty text equal to itself and before all others.
bool FoldedLess(const std::string& a, const std::string& b) {
    if (a.empty() || b.empty()) return a.empty() && !b.empty();
    return CzechCompare(a, b) < 0;
}

struct FilmKeyLess {
    bool operator()(const FilmKey& a, const FilmKey& b) const {
        if (FoldedLess(a.English, b.English)) return true;
        if (FoldedLess(b.English, a.English)) return false;
        if (FoldedLess(a.Czech, b.Czech)) return true;
        if (FoldedLess(b.Czech, a.Czech)) return false;
        return a.Cd < b.Cd;
    }
};

std::string AsStored(const std::optional<std::string>& text, std::size_t field) {
    std::string stored = text.value_or("").substr(0, static_cast<std::size_t>(kFilmLayout[field].Size));
    while (!stored.empty() && stored.back() == ' ') stored.pop_back();
    return stored;
}

std::set<FilmKey, FilmKeyLess> KeysInTable(TClientDataSet& table) {
    std::set<FilmKey, FilmKeyLess> keys;
    const int english = table.FieldNamed(FilmFieldName(kEnglishTitle)).FieldNo(),
              czech = table.FieldNamed(FilmFieldName(kCzechTitle)).FieldNo(),
              cd = table.FieldNamed(FilmFieldName(kCdNumber)).FieldNo();
    table.FirstRowWhere(0, [&](const TClientDataSet::TRowValues& row) {
        const std::string_view cdText = row.Value(cd);
        keys.insert({std::string(row.Value(english)), std::string(row.Value(czech)),
                     cdText.empty() ? std::nullopt : StrictStrToInt(cdText)});
        return false;
    });
    return keys;
}

ImportRefused NotANumber(FilePlace place, const FilmFieldLayout& field, const std::string& text) {
    return ImportRefused(place, "„" + std::string(field.Title) + "“ (" + std::string(field.Name) +
                                    ") není celé číslo: " + cp1250::ToUtf8(text));
}

// A number is read as the edit dialog reads its boxes.
std::int32_t NumberOf(const std::string& text, std::size_t field, FilePlace place) {
    const std::optional<std::int32_t> value = BoxNumber(text);
    if (!value) throw NotANumber(place, kFilmLayout[field], text);
    return *value;
}

void InsertFilm(TClientDataSet& table, const ImportedFilm& film) {
    table.Insert();
    try {
        StoreBoxes(table, FilmBoxes{film.Fields});
        table.Post();
    } catch (const NotAnInteger& failure) {
        table.Cancel();
        throw NotANumber(film.Place, kFilmLayout[*FilmFieldNamed(failure.FieldName)], failure.Text);
    } catch (const EDBClient& failure) {
        table.Cancel();
        throw ImportRefused(film.Place, "tabulka záznam odmítla", failure.ErrorCode);
    } catch (const std::exception& failure) {
        table.Cancel();
        throw ImportRefused(film.Place, std::string("tabulka záznam odmítla: ") + failure.what());
    }
}

}  // namespace

ImportCounts AddImportedFilms(TClientDataSet& table, const ImportedFilms& films, bool keepDuplicates) {
    ImportCounts counts;
    counts.Read = films.Films.size();
    const std::set<FilmKey, FilmKeyLess> existing = keepDuplicates ? std::set<FilmKey, FilmKeyLess>() : KeysInTable(table);
    const TField& key = table.FieldNamed(kKeyField);
    for (const ImportedFilm& film : films.Films) {
        if (!keepDuplicates) {
            const std::optional<std::string>& cd = film.Fields[kCdNumber];
            const FilmKey filmKey{AsStored(film.Fields[kEnglishTitle], kEnglishTitle), AsStored(film.Fields[kCzechTitle], kCzechTitle),
                                  cd ? std::optional(NumberOf(*cd, kCdNumber, film.Place)) : std::nullopt};
            if (existing.contains(filmKey)) {
                ++counts.Duplicates;
                continue;
            }
        }
        InsertFilm(table, film);
        counts.AddedKeys.push_back(key.AsInteger());
        ++counts.Added;
    }
    return counts;
}

std::vector<std::string> ImportSummary(const ImportedFilms& films, const ImportCounts& counts, bool dryRun) {
    std::vector<std::string> lines{
        "Formát: " + films.FormatName,
        "Filmů přečteno: " + std::to_string(counts.Read) + (dryRun ? ", přidalo by se: " : ", přidáno: ") +
            std::to_string(counts.Added) + ", vynecháno jako duplicitní: " + std::to_string(counts.Duplicates)};
    if (!films.LeftOut.empty()) {
        std::string leftOut = "Vynechaná pole (filmů s hodnotou):";
        for (const LeftOutField& field : films.LeftOut) {
            leftOut += (&field == &films.LeftOut.front() ? " " : ", ") + field.Name + " " + std::to_string(field.Films);
        }
        lines.push_back(leftOut);
    }
    return lines;
}
