#include "app/core/CatalogChange.h"

#include <algorithm>
#include <cstdint>
#include <iterator>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "layout/CatalogLayout.h"
#include "memory/LargeBlocks.h"
#include "table/SideBySide.h"
#include "text/CzechPlural.h"
#include "text/Cp1250.h"

namespace {

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
    // A film's key as std::stol reads its text.
    std::int32_t KeyOf(const TClientDataSet::TRowValues& row) const {
        if (const std::optional<std::int32_t> key = row.Integer(Key)) return *key;
        const std::string_view text = row.Value(Key);
        return text.empty() ? 0 : static_cast<std::int32_t>(std::stol(std::string(text)));
    }
    // The English title, or the Czech one where it is empty.
    FilmNamed Named(const TClientDataSet::TRowValues& row) const {
        const std::string_view english = row.Value(English);
        return {KeyOf(row), std::string(english.empty() ? row.Value(Czech) : english)};
    }

    std::vector<std::string> Names;
    std::vector<int> Numbers;  // in the order of Names
    int Key = 0, English = 0, Czech = 0;
};

struct FilmRecord {
    std::int32_t Key = 0;
    std::uint32_t Record = 0;
};

// Every film of a table ordered by its key; of films with one key the one
// stored last stands.
memory::Vector<FilmRecord> FilmsByKey(const TClientDataSet& table, const TableFields& fields) {
    memory::Vector<FilmRecord> films;
    films.reserve(static_cast<std::size_t>(table.CountRecords()));
    table.FirstRowWhere(0, [&](const TClientDataSet::TRowValues& row) {
        films.push_back({fields.KeyOf(row), row.Record()});
        return false;
    });
    const auto byKey = [](const FilmRecord& a, const FilmRecord& b) { return a.Key < b.Key; };
    // Films are mostly stored in the order of their keys.
    if (!std::is_sorted(films.begin(), films.end(), byKey)) std::stable_sort(films.begin(), films.end(), byKey);
    std::size_t kept = 0;
    for (std::size_t i = 0; i < films.size(); ++i)
        if (i + 1 == films.size() || films[i + 1].Key != films[i].Key) films[kept++] = films[i];
    films.resize(kept);
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

namespace {

// Two states of a catalogue, told apart film by film.
class FilmComparison {
public:
    FilmComparison(TClientDataSet& older, TClientDataSet& newer)
        : older_(older), newer_(newer), before_(older), after_(newer), sameFields_(before_.Names == after_.Names) {}

    // Every film of each table ordered by its key, each table on a thread of its own.
    void ReadKeys() {
        RunSideBySide([&] { was_ = FilmsByKey(older_, before_); }, [&] { now_ = FilmsByKey(newer_, after_); });
    }
    // The films on either side of a key are told apart side by side; both
    // tables' locks stay with this thread while the other reads under them.
    CatalogChange Change() const {
        const auto holdOlder = older_.HoldForWalk();
        const auto holdNewer = newer_.HoldForWalk();
        const std::size_t wasSplit = was_.size() / 2;
        const std::size_t nowSplit =
            wasSplit == was_.size()
                ? now_.size()
                : static_cast<std::size_t>(std::lower_bound(now_.begin(), now_.end(), was_[wasSplit].Key,
                                                            [](const FilmRecord& film, std::int32_t key) { return film.Key < key; }) -
                                           now_.begin());
        CatalogChange low, high;
        RunSideBySide([&] { low = Between(0, wasSplit, 0, nowSplit); },
                      [&] { high = Between(wasSplit, was_.size(), nowSplit, now_.size()); });
        for (auto [into, from] : {std::pair{&low.Added, &high.Added}, {&low.Deleted, &high.Deleted}, {&low.Changed, &high.Changed}})
            into->insert(into->end(), std::make_move_iterator(from->begin()), std::make_move_iterator(from->end()));
        return low;
    }

private:
    // The change among the films [wasBegin, wasEnd) of older and [nowBegin, nowEnd) of newer.
    CatalogChange Between(std::size_t i, std::size_t wasEnd, std::size_t j, std::size_t nowEnd) const {
        CatalogChange change;
        while (i < wasEnd || j < nowEnd) {
            if (j == nowEnd || (i < wasEnd && was_[i].Key < now_[j].Key)) {
                change.Deleted.push_back(before_.Named(older_.RecordValues(was_[i++].Record)));
            } else if (i == wasEnd || now_[j].Key < was_[i].Key) {
                change.Added.push_back(after_.Named(newer_.RecordValues(now_[j++].Record)));
            } else {
                const TClientDataSet::TRowValues film = newer_.RecordValues(now_[j++].Record);
                const TClientDataSet::TRowValues earlier = older_.RecordValues(was_[i++].Record);
                if (!Same(earlier, film)) change.Changed.push_back(after_.Named(film));
            }
        }
        return change;
    }
    // Under other fields no film is the same as before.
    bool Same(const TClientDataSet::TRowValues& earlier, const TClientDataSet::TRowValues& film) const {
        if (!sameFields_) return false;
        for (std::size_t k = 0; k < before_.Numbers.size(); ++k)
            if (!earlier.SameValue(before_.Numbers[k], film, after_.Numbers[k])) return false;
        return true;
    }

    TClientDataSet& older_;
    TClientDataSet& newer_;
    const TableFields before_, after_;
    const bool sameFields_;
    memory::Vector<FilmRecord> was_, now_;
};

}  // namespace

CatalogChange CompareCatalogs(TClientDataSet& older, TClientDataSet& newer) {
    FilmComparison comparison(older, newer);
    comparison.ReadKeys();
    return comparison.Change();
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
