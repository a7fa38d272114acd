#include "app/core/CatalogChange.h"

#include <algorithm>
#include <charconv>
#include <cstdint>
#include <cstring>
#include <memory>
#include <string_view>
#include <vector>

#include "layout/CatalogLayout.h"
#include "memory/LargeBlocks.h"
#include "packet/PacketBuffer.h"
#include "text/CzechPlural.h"
#include "text/Cp1250.h"

namespace {

// One film of a table: its key, and where its fields and its title lie in
// the table's CatalogFilms.
struct FilmImage {
    std::int32_t Key = 0;
    std::size_t FieldsBegin = 0, FieldsEnd = 0;
    std::size_t TitleBegin = 0, TitleEnd = 0;
};

// A key as std::stol reads it, without a text of its own for the usual digits.
std::int32_t KeyOf(std::string_view text) {
    if (text.empty()) return 0;
    long key = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), key);
    if (error != std::errc() || end != text.data() + text.size()) key = std::stol(std::string(text));
    return static_cast<std::int32_t>(key);
}

// The fields of a table as a comparison reads them: all by name, so that two
// layouts with the same fields in another order still compare, and the key
// and the titles (0: a layout without it, Value reads "").
struct TableFields {
    explicit TableFields(TClientDataSet& table) {
        std::vector<std::pair<std::string, int>> fields;
        for (int i = 0; i < table.FieldCount(); ++i) fields.emplace_back(table.Fields(i).FieldName(), i + 1);
        std::sort(fields.begin(), fields.end());
        for (const auto& [name, number] : fields) {
            Names.push_back(name);
            Numbers.push_back(number);
            if (name == FilmFieldName(kEnglishTitle)) English = number;
            if (name == FilmFieldName(kCzechTitle)) Czech = number;
        }
        Key = table.FieldNamed(kKeyField).FieldNo();
    }
    // The English title, or the Czech one where it is empty.
    std::string_view Title(const TClientDataSet::TRowValues& row) const {
        const std::string_view english = row.Value(English);
        return english.empty() ? row.Value(Czech) : english;
    }

    std::vector<std::string> Names;
    std::vector<int> Numbers;  // in the order of Names
    int Key = 0, English = 0, Czech = 0;
};

}  // namespace

// Every film of a table, ordered by its key; a key held twice keeps the film
// stored last. Read in the order the records are stored. The values of all
// films lie one after another in one text, each after its length, so that no
// film needs a text of its own.
class CatalogFilms::Images {
public:
    explicit Images(TClientDataSet& table);

    const memory::Vector<FilmImage>& Films() const { return films_; }
    // The fields' names in the order their values are laid out.
    const std::vector<std::string>& Names() const { return fields_.Names; }
    FilmNamed Named(const FilmImage& film) const {
        return {film.Key, std::string(titles_.view().substr(film.TitleBegin, film.TitleEnd - film.TitleBegin))};
    }
    // Whether the row of another table holds the film's values, that table's
    // fields read in this order.
    bool Holds(const FilmImage& film, const TClientDataSet::TRowValues& row, const std::vector<int>& numbers) const {
        std::string_view laidOut = values_.view().substr(film.FieldsBegin, film.FieldsEnd - film.FieldsBegin);
        for (const int number : numbers) {
            const std::string_view value = row.Value(number);
            std::uint32_t size = 0;
            if (laidOut.size() < sizeof size) return false;
            std::memcpy(&size, laidOut.data(), sizeof size);
            laidOut.remove_prefix(sizeof size);
            if (size != value.size() || laidOut.substr(0, size) != value) return false;
            laidOut.remove_prefix(size);
        }
        return laidOut.empty();
    }

private:
    TableFields fields_;
    // Room for films of the usual size from the start: room not yet written
    // costs next to nothing (memory/LargeBlocks.h).
    PacketBuffer values_, titles_;
    memory::Vector<FilmImage> films_;
};

CatalogFilms::Images::Images(TClientDataSet& table)
    : fields_(table),
      values_(static_cast<std::size_t>(table.CountRecords()) * 256 + 1),
      titles_(static_cast<std::size_t>(table.CountRecords()) * 64 + 1) {
    films_.reserve(static_cast<std::size_t>(table.CountRecords()));
    table.FirstRowWhere(0, [&](const TClientDataSet::TRowValues& row) {
        FilmImage& image = films_.emplace_back();
        image.FieldsBegin = values_.size();
        for (const int number : fields_.Numbers) {
            const std::string_view value = row.Value(number);
            const auto size = static_cast<std::uint32_t>(value.size());
            values_.append(reinterpret_cast<const char*>(&size), sizeof size);
            values_.append(value);
        }
        image.FieldsEnd = values_.size();
        image.TitleBegin = titles_.size();
        titles_.append(fields_.Title(row));
        image.TitleEnd = titles_.size();
        image.Key = KeyOf(row.Value(fields_.Key));
        return false;
    });
    const auto byKey = [](const FilmImage& a, const FilmImage& b) { return a.Key < b.Key; };
    // Films are mostly stored in the order of their keys.
    if (!std::is_sorted(films_.begin(), films_.end(), byKey)) std::stable_sort(films_.begin(), films_.end(), byKey);
    // Of films with one key the last stored stands.
    std::size_t kept = 0;
    for (std::size_t i = 0; i < films_.size(); ++i)
        if (i + 1 == films_.size() || films_[i + 1].Key != films_[i].Key) films_[kept++] = films_[i];
    films_.resize(kept);
}

CatalogFilms::CatalogFilms(TClientDataSet& table) : images_(std::make_unique<Images>(table)) {}

CatalogFilms::~CatalogFilms() = default;

namespace {

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
    return CompareCatalogs(older, CatalogFilms(newer));
}

CatalogChange CompareCatalogs(TClientDataSet& older, const CatalogFilms& newer) {
    const CatalogFilms::Images& after = *newer.images_;
    const memory::Vector<FilmImage>& films = after.Films();
    const TableFields fields(older);
    // Under other fields no film is the same as before.
    const bool sameFields = fields.Names == after.Names();
    // Each film of older as it is read: its place among the films of newer
    // (none: deleted, and then its title), and whether it changed there.
    struct Seen {
        std::int32_t Key = 0;
        std::size_t Film = 0;
        bool Changed = false;
        std::size_t TitleBegin = 0, TitleEnd = 0;
    };
    memory::Vector<Seen> seen;
    seen.reserve(static_cast<std::size_t>(older.CountRecords()));
    PacketBuffer titles(4096);
    std::size_t next = 0;  // films are mostly stored in the order of their keys
    older.FirstRowWhere(0, [&](const TClientDataSet::TRowValues& row) {
        Seen& film = seen.emplace_back();
        film.Key = KeyOf(row.Value(fields.Key));
        if (next >= films.size() || films[next].Key != film.Key) {
            next = static_cast<std::size_t>(
                std::lower_bound(films.begin(), films.end(), film.Key,
                                 [](const FilmImage& image, std::int32_t key) { return image.Key < key; }) -
                films.begin());
        }
        if (next == films.size() || films[next].Key != film.Key) {
            film.Film = films.size();
            film.TitleBegin = titles.size();
            titles.append(fields.Title(row));
            film.TitleEnd = titles.size();
        } else {
            film.Film = next;
            film.Changed = !sameFields || !after.Holds(films[next], row, fields.Numbers);
            ++next;
        }
        return false;
    });
    const auto byKey = [](const Seen& a, const Seen& b) { return a.Key < b.Key; };
    if (!std::is_sorted(seen.begin(), seen.end(), byKey)) std::stable_sort(seen.begin(), seen.end(), byKey);

    CatalogChange change;
    std::vector<bool> kept(films.size());
    for (std::size_t i = 0; i < seen.size(); ++i) {
        // Of films with one key the last stored stands.
        if (i + 1 < seen.size() && seen[i + 1].Key == seen[i].Key) continue;
        const Seen& film = seen[i];
        if (film.Film == films.size()) {
            change.Deleted.push_back({film.Key, std::string(titles.view().substr(film.TitleBegin, film.TitleEnd - film.TitleBegin))});
        } else {
            kept[film.Film] = true;
            if (film.Changed) change.Changed.push_back(after.Named(films[film.Film]));
        }
    }
    for (std::size_t i = 0; i < films.size(); ++i)
        if (!kept[i]) change.Added.push_back(after.Named(films[i]));
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
