// Random runs of inserts, changes, cancels, deletes, moves and bookmarks over a
// table with several indexes, each step checked against a plain model: every
// index in the model is a vector of records kept in place by the rule "a new or
// changed key goes after all equal keys", a key that compares equal stays put.
#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <optional>
#include <random>
#include <sstream>

#include "TableFixtures.h"

namespace {

using Text = std::optional<std::string>;

struct Film {
    std::int32_t K = 0;
    Text A, B, C, D;
    std::optional<std::int32_t> N;
    bool operator==(const Film&) const = default;
};

enum KeyField { kA, kB, kC, kN, kK };

struct ModelIndex {
    std::string Name;  // "" is the default order
    std::vector<KeyField> Fields;
    std::vector<bool> Descending, CaseInsensitive;
    bool Unique = false;
    std::vector<std::uint32_t> Order;  // record numbers
};

class Model {
public:
    Model() {
        indexes_ = {{"", {}, {}, {}, false, {}},
                    {"x", {kK}, {false}, {false}, true, {}},
                    {"a", {kA, kN}, {false, false}, {false, false}, false, {}},
                    {"u", {kB, kC}, {false, false}, {false, false}, true, {}},
                    {"ci", {kB, kA}, {false, false}, {true, false}, false, {}},
                    {"d", {kN, kB}, {true, false}, {false, false}, false, {}}};
    }

    const std::vector<ModelIndex>& Indexes() const { return indexes_; }
    const ModelIndex& Active() const { return indexes_[active_]; }
    const Film& Record(std::uint32_t recordNumber) const { return records_.at(recordNumber); }
    bool Live(std::uint32_t recordNumber) const { return records_.count(recordNumber) != 0; }
    std::optional<std::uint32_t> Current() const { return current_; }
    bool Empty() const { return records_.empty(); }

    void Activate(const std::string& name) {
        for (std::size_t i = 0; i < indexes_.size(); ++i)
            if (indexes_[i].Name == name) active_ = i;
        if (!current_ && !Active().Order.empty()) current_ = Active().Order.front();
    }

    // False when a unique index refuses; nothing changes then.
    bool Insert(Film film) {
        film.K = nextKey_;
        const std::uint32_t recordNumber = ++slots_;
        records_[recordNumber] = film;
        std::vector<std::vector<std::uint32_t>> orders;
        for (const ModelIndex& index : indexes_) {
            std::vector<std::uint32_t> order = index.Order;
            std::size_t place = order.size();
            if (!index.Fields.empty()) {
                if (!PlaceAfterEquals(index, order, recordNumber, place)) {
                    records_.erase(recordNumber);
                    --slots_;
                    return false;
                }
            } else if (&index == &Active() && current_) {
                place = PositionOf(order, *current_);
            }
            order.insert(order.begin() + static_cast<std::ptrdiff_t>(place), recordNumber);
            orders.push_back(std::move(order));
        }
        for (std::size_t i = 0; i < indexes_.size(); ++i) indexes_[i].Order = std::move(orders[i]);
        ++nextKey_;
        current_ = recordNumber;
        return true;
    }

    bool Change(const Film& changed) {
        const std::uint32_t recordNumber = *current_;
        const Film old = records_[recordNumber];
        if (changed == old) return true;
        records_[recordNumber] = changed;
        std::vector<std::vector<std::uint32_t>> orders;
        for (const ModelIndex& index : indexes_) {
            std::vector<std::uint32_t> order = index.Order;
            if (!index.Fields.empty() && Compare(index, old, changed) != 0) {
                order.erase(order.begin() + static_cast<std::ptrdiff_t>(PositionOf(order, recordNumber)));
                std::size_t place = 0;
                if (!PlaceAfterEquals(index, order, recordNumber, place)) {
                    records_[recordNumber] = old;
                    return false;
                }
                order.insert(order.begin() + static_cast<std::ptrdiff_t>(place), recordNumber);
            }
            orders.push_back(std::move(order));
        }
        for (std::size_t i = 0; i < indexes_.size(); ++i) indexes_[i].Order = std::move(orders[i]);
        return true;
    }

    // The follower takes the deleted record's place; after the last, the one before.
    void Delete() {
        const std::size_t position = PositionOf(Active().Order, *current_);
        for (ModelIndex& index : indexes_)
            index.Order.erase(std::find(index.Order.begin(), index.Order.end(), *current_));
        records_.erase(*current_);
        const auto& order = Active().Order;
        current_ = order.empty() ? std::nullopt : std::optional(order[std::min(position, order.size() - 1)]);
    }

    void Step(int direction) {
        const auto& order = Active().Order;
        const std::size_t position = PositionOf(order, *current_);
        if (direction > 0 && position + 1 < order.size()) current_ = order[position + 1];
        if (direction < 0 && position > 0) current_ = order[position - 1];
    }
    void GoToRow(std::size_t row) { current_ = Active().Order.at(row); }
    void GoToRecord(std::uint32_t recordNumber) { current_ = recordNumber; }

    static std::size_t PositionOf(const std::vector<std::uint32_t>& order, std::uint32_t recordNumber) {
        return static_cast<std::size_t>(std::find(order.begin(), order.end(), recordNumber) - order.begin());
    }

private:
    static int Sign(int value) { return value < 0 ? -1 : (value > 0 ? 1 : 0); }

    int CompareField(KeyField field, bool caseInsensitive, const Film& x, const Film& y) const {
        const auto nulls = [](bool xNull, bool yNull) { return xNull == yNull ? 0 : (xNull ? -1 : 1); };
        const auto texts = [&](const Text& p, const Text& q) {
            if (!p || !q) return nulls(!p, !q);
            return (caseInsensitive ? caseless_ : exact_).Compare(*p, *q);
        };
        switch (field) {
            case kA: return texts(x.A, y.A);
            case kB: return texts(x.B, y.B);
            case kC: return texts(x.C, y.C);
            case kN: return !x.N || !y.N ? nulls(!x.N, !y.N) : Sign(*x.N - *y.N);
            case kK: return Sign(x.K - y.K);
        }
        return 0;
    }

    int Compare(const ModelIndex& index, const Film& x, const Film& y) const {
        for (std::size_t i = 0; i < index.Fields.size(); ++i)
            if (const int result = CompareField(index.Fields[i], index.CaseInsensitive[i], x, y))
                return index.Descending[i] ? -result : result;
        return 0;
    }

    // After the last entry whose key is not greater; false for a unique index
    // that already holds an equal key.
    bool PlaceAfterEquals(const ModelIndex& index, const std::vector<std::uint32_t>& order,
                          std::uint32_t recordNumber, std::size_t& place) const {
        const Film& film = records_.at(recordNumber);
        place = 0;
        for (std::size_t i = 0; i < order.size(); ++i) {
            const int result = Compare(index, records_.at(order[i]), film);
            if (result == 0 && index.Unique) return false;
            if (result <= 0) place = i + 1;
        }
        return true;
    }

    Collation exact_{0, false};
    Collation caseless_{0, true};
    std::vector<ModelIndex> indexes_;
    std::size_t active_ = 0;
    std::map<std::uint32_t, Film> records_;
    std::uint32_t slots_ = 0;
    std::int32_t nextKey_ = 1;
    std::optional<std::uint32_t> current_;
};

void CreateIndexedTable(TClientDataSet& table) {
    table.FieldDefs().Clear();
    table.FieldDefs().Add("K", ftAutoInc);
    for (const char* name : {"A", "B", "C", "D"}) table.FieldDefs().Add(name, ftString, 10);
    table.FieldDefs().Add("N", ftInteger);
    table.IndexDefs().Clear();
    // In creation order; "u" refuses after "a" may have moved a changed record.
    table.IndexDefs().Add("x", "K", ixPrimary | ixUnique);
    table.IndexDefs().Add("a", "A;N", 0);
    table.IndexDefs().Add("u", "B;C", ixUnique);
    table.SetIndexName("");
    table.CreateEmpty();
    table.SetTrackChanges(false);
    table.BuildIndex("ci", "B;A", 0, "", "B");
    table.BuildIndex("d", "N;B", 0, "N", "");
}

class RandomRun {
public:
    explicit RandomRun(std::uint32_t seed) : random_(seed) { CreateIndexedTable(table_); }

    // One random operation; its description goes into `log`.
    void Step(std::ostream& log) {
        const unsigned choice = random_() % 100;
        if (choice < 50) return Write(choice >= 25, log);
        if (choice < 62) return Delete(log);
        if (choice < 70) return Move(log);
        if (choice < 78) return SwitchIndex(log);
        if (choice < 88) return TakeBookmark(log);
        return ReturnToBookmark(log);
    }

    // Every index's order, the records' values and the current record, read
    // through the table; the active index is chosen again at the end.
    void Check() {
        ASSERT_EQ(table_.State(), dsBrowse);
        CheckActiveIndex(true);
        const std::string active = model_.Active().Name;
        for (const ModelIndex& index : model_.Indexes()) {
            if (index.Name == active) continue;
            table_.SetIndexName(index.Name);
            model_.Activate(index.Name);
            CheckActiveIndex(false);
        }
        table_.SetIndexName(active);
        model_.Activate(active);
    }

private:
    Text RandomText(const std::vector<const char*>& pool) {
        const std::size_t pick = random_() % (pool.size() + 1);
        return pick == pool.size() ? std::nullopt : Text(pool[pick]);
    }

    // Few values with ties under the collation: "x" and "X" are equal where B
    // is case-insensitive; "" is not null. 0xE1 is "á".
    void Randomize(Film& film, bool everyField) {
        const auto change = [&] { return everyField || random_() % 2 == 0; };
        if (change()) film.A = RandomText({"", "a", "A", "\xe1", "ch", "h"});
        if (change()) film.B = RandomText({"x", "X", "y", "Y"});
        if (change()) film.C = RandomText({"1", "2", "3", "4", "5", "6"});
        if (change()) film.D = RandomText({"p", "q"});
        if (change()) film.N = random_() % 6 ? std::optional(static_cast<std::int32_t>(random_() % 5) - 2) : std::nullopt;
    }

    void Assign(const Film& film) {
        const auto text = [&](const char* name, const Text& value) {
            if (value) table_.FieldNamed(name).SetAsString(*value); else table_.FieldNamed(name).Clear();
        };
        text("A", film.A);
        text("B", film.B);
        text("C", film.C);
        text("D", film.D);
        if (film.N) table_.FieldNamed("N").SetAsInteger(*film.N); else table_.FieldNamed("N").Clear();
    }

    // An insert, or a change of the current record (an insert when there is
    // none: Edit on an empty table inserts), then a cancel or a post. A unique
    // index refuses exactly when the model does; the table then keeps its edit
    // state and is cancelled.
    void Write(bool change, std::ostream& log) {
        const bool changing = change && !model_.Empty();
        Film film = changing ? model_.Record(*model_.Current()) : Film{};
        Randomize(film, !changing);
        log << (changing ? "edit K " + std::to_string(film.K) : "insert");
        if (change) table_.Edit(); else table_.Insert();
        Assign(film);
        if (random_() % 8 == 0) {
            log << ", cancel";
            return table_.Cancel();
        }
        if (changing ? model_.Change(film) : model_.Insert(film)) return table_.Post();
        log << " (refused)";
        try {
            table_.Post();
            ADD_FAILURE() << "a unique index should have refused";
        } catch (const EDBClient& error) {
            EXPECT_EQ(error.ErrorCode, dberr::KeyViolation);
        }
        EXPECT_NE(table_.State(), dsBrowse);
        table_.Cancel();
    }

    void Delete(std::ostream& log) {
        log << "delete";
        if (model_.Empty()) {
            EXPECT_THROW(table_.Delete(), EDatabaseError);
            return;
        }
        log << " K " << model_.Record(*model_.Current()).K;
        table_.Delete();
        model_.Delete();
        FollowWithAStep(log);
    }

    void Move(std::ostream& log) {
        if (model_.Empty()) return;
        const std::size_t row = random_() % model_.Active().Order.size();
        log << "row " << row;
        table_.GoToRow(static_cast<int>(row));
        model_.GoToRow(row);
        FollowWithAStep(log);
    }

    // Next or Prior right after an operation that placed the cursor, before a
    // check could choose the index again and so settle the cursor.
    void FollowWithAStep(std::ostream& log) {
        if (model_.Empty() || random_() % 2) return;
        const int direction = random_() % 2 ? 1 : -1;
        log << (direction > 0 ? ", next" : ", prior");
        if (direction > 0) table_.Next(); else table_.Prior();
        model_.Step(direction);
    }

    void SwitchIndex(std::ostream& log) {
        const std::string& name = model_.Indexes()[random_() % model_.Indexes().size()].Name;
        log << "index \"" << name << "\"";
        table_.SetIndexName(name);
        model_.Activate(name);
    }

    void TakeBookmark(std::ostream& log) {
        log << "bookmark";
        if (bookmarks_.size() == 4) bookmarks_.erase(bookmarks_.begin() + random_() % 4);
        bookmarks_.push_back({table_.TakeBookmark(), model_.Current()});
        EXPECT_EQ(bookmarks_.back().first.has_value(), model_.Current().has_value());
    }

    void ReturnToBookmark(std::ostream& log) {
        if (bookmarks_.empty()) return TakeBookmark(log);
        const auto& [bookmark, recordNumber] = bookmarks_[random_() % bookmarks_.size()];
        log << "return to bookmark";
        if (!recordNumber) {
            table_.ReturnToBookmark(bookmark);
            return;
        }
        if (!model_.Live(*recordNumber)) {
            log << " of a deleted record";
            EXPECT_THROW(table_.ReturnToBookmark(bookmark), EDatabaseError);
            return;
        }
        log << " K " << model_.Record(*recordNumber).K;
        table_.ReturnToBookmark(bookmark);
        model_.GoToRecord(*recordNumber);
        FollowWithAStep(log);
    }

    void CheckActiveIndex(bool everyValue) {
        const ModelIndex& index = model_.Active();
        SCOPED_TRACE("index \"" + index.Name + "\"");
        ASSERT_EQ(table_.IndexName(), index.Name);
        ASSERT_EQ(table_.CountRecords(), static_cast<int>(index.Order.size()));
        for (std::size_t row = 0; row < index.Order.size(); ++row) {
            const Film& film = model_.Record(index.Order[row]);
            const int at = static_cast<int>(row);
            ASSERT_EQ(table_.RowValue(at, 1), std::to_string(film.K)) << "row " << row;
            if (!everyValue) continue;
            const auto text = [&](int fieldNo, const Text& value) {
                EXPECT_EQ(table_.RowValueIsNull(at, fieldNo), !value) << "row " << row << ", field " << fieldNo;
                EXPECT_EQ(table_.RowValue(at, fieldNo), value.value_or("")) << "row " << row << ", field " << fieldNo;
            };
            text(2, film.A);
            text(3, film.B);
            text(4, film.C);
            text(5, film.D);
            EXPECT_EQ(table_.RowValue(at, 6), film.N ? std::to_string(*film.N) : "") << "row " << row;
        }
        const auto current = model_.Current();
        ASSERT_EQ(table_.CurrentRow(), current ? static_cast<int>(Model::PositionOf(index.Order, *current)) : -1);
        if (current) {
            ASSERT_EQ(table_.FieldNamed("K").AsInteger(), model_.Record(*current).K);
        }
    }

    std::mt19937 random_;
    TClientDataSet table_;
    Model model_;
    std::vector<std::pair<TBookmark, std::optional<std::uint32_t>>> bookmarks_;
};

}  // namespace

TEST(IndexMaintenance, RandomChangesKeepEveryIndexInTheModelsOrder) {
    PinnedLocale czech("cs_CZ");
    for (std::uint32_t seed = 1; seed <= 30; ++seed) {
        RandomRun run(seed);
        std::ostringstream log;
        for (int step = 0; step < 200; ++step) {
            SCOPED_TRACE("seed " + std::to_string(seed) + ", step " + std::to_string(step));
            log.str("");
            run.Step(log);
            SCOPED_TRACE(log.str());
            run.Check();
            if (HasFailure()) return;
        }
    }
}
