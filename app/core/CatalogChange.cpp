#include "app/core/CatalogChange.h"

#include <algorithm>
#include <vector>

#include "layout/CatalogLayout.h"
#include "text/CzechPlural.h"
#include "text/Cp1250.h"

namespace {

struct FilmImage {
    std::int32_t Key = 0;
    std::string Title;
    std::string Fields;  // every field's value, each ended by a unit separator
};

// Every film of the table, ordered by its key; a key held twice keeps the
// film stored last. Read in the order the records are stored.
std::vector<FilmImage> FilmsByKey(TClientDataSet& table) {
    const auto fieldNo = [&](std::string_view name) {
        for (int i = 0; i < table.FieldCount(); ++i)
            if (table.Fields(i).FieldName() == name) return i + 1;
        return 0;  // a layout without it: Value reads ""
    };
    // Fields by name, so that two layouts in another order still compare.
    std::vector<std::pair<std::string, int>> fields;
    for (int i = 0; i < table.FieldCount(); ++i) fields.emplace_back(table.Fields(i).FieldName(), i + 1);
    const int keyField = table.FieldNamed(kKeyField).FieldNo();
    const int englishField = fieldNo(FilmFieldName(kEnglishTitle)), czechField = fieldNo(FilmFieldName(kCzechTitle));

    std::vector<FilmImage> films;
    films.reserve(static_cast<std::size_t>(table.CountRecords()));
    table.FirstRowWhere(0, [&](const TClientDataSet::TRowValues& row) {
        FilmImage& image = films.emplace_back();
        for (const auto& [name, number] : fields) {
            image.Fields += name;
            image.Fields += '=';
            image.Fields += row.Value(number);
            image.Fields += '\x1f';
        }
        image.Title = row.Value(englishField);
        if (image.Title.empty()) image.Title = row.Value(czechField);
        const std::string_view key = row.Value(keyField);
        image.Key = static_cast<std::int32_t>(std::stol(std::string(key.empty() ? "0" : key)));
        return false;
    });
    const auto byKey = [](const FilmImage& a, const FilmImage& b) { return a.Key < b.Key; };
    // Films are mostly stored in the order of their keys.
    if (!std::is_sorted(films.begin(), films.end(), byKey)) std::stable_sort(films.begin(), films.end(), byKey);
    // Of films with one key the last stored stands.
    std::vector<FilmImage> unique;
    unique.reserve(films.size());
    for (std::size_t i = 0; i < films.size(); ++i)
        if (i + 1 == films.size() || films[i + 1].Key != films[i].Key) unique.push_back(std::move(films[i]));
    return unique;
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
    const std::vector<FilmImage> before = FilmsByKey(older);
    const std::vector<FilmImage> after = FilmsByKey(newer);
    CatalogChange change;
    // Both ordered by key: one walk side by side.
    auto now = after.begin();
    for (const FilmImage& film : before) {
        for (; now != after.end() && now->Key < film.Key; ++now) change.Added.push_back({now->Key, now->Title});
        if (now == after.end() || now->Key != film.Key) {
            change.Deleted.push_back({film.Key, film.Title});
            continue;
        }
        if (now->Fields != film.Fields) change.Changed.push_back({now->Key, now->Title});
        ++now;
    }
    for (; now != after.end(); ++now) change.Added.push_back({now->Key, now->Title});
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
