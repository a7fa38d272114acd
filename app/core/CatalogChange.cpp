#include "app/core/CatalogChange.h"

#include <map>

#include "layout/CatalogLayout.h"
#include "text/CzechPlural.h"
#include "text/Cp1250.h"

namespace {

struct FilmImage {
    std::string Title;
    std::string Fields;  // every field's value, each ended by a unit separator
};

// Every film of the table by its key; read in the order the records are stored.
std::map<std::int32_t, FilmImage> FilmsByKey(TClientDataSet& table) {
    std::vector<std::string> names;
    for (int i = 0; i < table.FieldCount(); ++i) names.push_back(table.Fields(i).FieldName());
    const int keyField = table.FieldNamed(kKeyField).FieldNo();
    const auto fieldNo = [&](std::string_view name) {
        for (int i = 0; i < table.FieldCount(); ++i)
            if (table.Fields(i).FieldName() == name) return i + 1;
        return 0;  // a layout without it: Value reads ""
    };
    const int englishField = fieldNo(FilmFieldName(kEnglishTitle)), czechField = fieldNo(FilmFieldName(kCzechTitle));

    std::map<std::int32_t, FilmImage> films;
    table.FirstRowWhere(0, [&](const TClientDataSet::TRowValues& row) {
        FilmImage image;
        // Fields by name, so that two layouts in another order still compare.
        for (const std::string& name : names) {
            image.Fields += name;
            image.Fields += '=';
            image.Fields += row.Value(fieldNo(name));
            image.Fields += '\x1f';
        }
        image.Title = row.Value(englishField);
        if (image.Title.empty()) image.Title = row.Value(czechField);
        const std::string_view key = row.Value(keyField);
        films[static_cast<std::int32_t>(std::stol(std::string(key.empty() ? "0" : key)))] = std::move(image);
        return false;
    });
    return films;
}

std::string Quoted(const std::string& title) { return "\x84" + title + "\x93"; }  // „…“ in Windows-1250

// "přidán", "přidány", "přidáno" for 1, 2 to 4, 5 and more films.
std::string Participle(const std::string& stem, std::size_t count) {
    return stem + std::string(CzechForm(count, {"", "y", "o"}));
}

}  // namespace

std::vector<FilmNamed> CatalogChange::Concerned() const {
    std::vector<FilmNamed> films = Deleted;
    films.insert(films.end(), Changed.begin(), Changed.end());
    films.insert(films.end(), Added.begin(), Added.end());
    return films;
}

CatalogChange CompareCatalogs(TClientDataSet& older, TClientDataSet& newer) {
    const auto before = FilmsByKey(older);
    const auto after = FilmsByKey(newer);
    CatalogChange change;
    for (const auto& [key, film] : before) {
        const auto now = after.find(key);
        if (now == after.end()) {
            change.Deleted.push_back({key, film.Title});
        } else if (now->second.Fields != film.Fields) {
            change.Changed.push_back({key, now->second.Title});
        }
    }
    for (const auto& [key, film] : after)
        if (!before.contains(key)) change.Added.push_back({key, film.Title});
    return change;
}

std::string CzechFilmCount(std::size_t count) { return CzechCount(count, {"film", "filmy", "filmů"}); }

std::string CzechChangeText(const CatalogChange& change) {
    const struct {
        const std::vector<FilmNamed>& films;
        std::string stem;
    } kinds[] = {{change.Added, cp1250::FromUtf8("přidán")},
                 {change.Deleted, cp1250::FromUtf8("smazán")},
                 {change.Changed, "opraven"}};
    if (change.Films() == 0) return cp1250::FromUtf8("beze změny filmů");
    std::string text;
    for (const auto& kind : kinds) {
        if (kind.films.empty()) continue;
        if (!text.empty()) text += ", ";
        if (change.Films() == 1) {
            text = kind.stem + " film " + Quoted(kind.films.front().Title);
        } else {
            text += Participle(kind.stem, kind.films.size()) + " " + cp1250::FromUtf8(CzechFilmCount(kind.films.size()));
        }
    }
    return text;
}
