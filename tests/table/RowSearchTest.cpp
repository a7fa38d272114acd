// FirstRowWhere must stop on exactly the row a cursor walk in the active index's
// order stops on, whatever order the records are stored in.
#include <gtest/gtest.h>

#include <optional>
#include <random>
#include <string>

#include "TableFixtures.h"

namespace {

using TRowValues = TClientDataSet::TRowValues;

// The row a walk from fromRow stops on, or -1.
int WalkedRow(TClientDataSet& table, int fromRow, const std::function<bool(TClientDataSet&)>& test) {
    int row = 0;
    for (table.First(); !table.AtEnd(); table.Next(), ++row) {
        if (row >= fromRow && test(table)) return row;
    }
    return -1;
}

TEST(FirstRowWhere, StopsWhereAWalkInTheIndexOrderStops) {
    std::mt19937 random(8122026);
    for (int round = 0; round < 60; ++round) {
        TClientDataSet table;
        CreateSmallTable(table);
        // Enough records that most searches go past the rows tried in order.
        const int count = std::uniform_int_distribution<int>(0, 300)(random);
        for (int i = 0; i < count; ++i) {
            table.Insert();
            if (random() % 5 != 0) table.FieldNamed("A").SetAsString(std::string(1, static_cast<char>('a' + random() % 6)));
            if (random() % 5 != 0) table.FieldNamed("N").SetAsInteger(static_cast<int>(random() % 13) - 3);
            table.Post();
        }
        // Some records leave, so that storage has gaps the index does not.
        for (table.First(); !table.AtEnd();) {
            if (random() % 6 == 0) table.Delete(); else table.Next();
        }
        table.BuildIndex(round % 2 ? "byA" : "byN", round % 2 ? "A;N" : "N;A", round % 3 == 0 ? unsigned{ixDescending} : 0u);
        table.SetIndexName(round % 2 ? "byA" : "byN");

        const int fromRow = std::uniform_int_distribution<int>(-1, count)(random);
        const char letter = static_cast<char>('a' + random() % 7);
        const int least = static_cast<int>(random() % 13) - 3;
        const auto isLetter = [letter](std::string_view value) { return value == std::string_view(&letter, 1); };
        const auto atLeast = [least](std::string_view value) { return !value.empty() && std::stoi(std::string(value)) >= least; };
        const auto both = [&](std::string_view a, std::string_view n) { return isLetter(a) || atLeast(n); };
        EXPECT_EQ(table.FirstRowWhere(fromRow, [&](const TRowValues& row) { return isLetter(row.Value(2)); }),
                  WalkedRow(table, fromRow, [&](TClientDataSet& t) { return isLetter(t.FieldNamed("A").AsStringView()); }))
            << "round " << round;
        EXPECT_EQ(table.FirstRowWhere(fromRow, [&](const TRowValues& row) { return atLeast(row.Value(3)); }),
                  WalkedRow(table, fromRow, [&](TClientDataSet& t) { return atLeast(t.FieldNamed("N").AsStringView()); }))
            << "round " << round;
        EXPECT_EQ(table.FirstRowWhere(fromRow, [&](const TRowValues& row) { return both(row.Value(2), row.Value(3)); }),
                  WalkedRow(table, fromRow, [&](TClientDataSet& t) {
                      const std::string a = t.FieldNamed("A").AsString();
                      return both(a, t.FieldNamed("N").AsStringView());
                  }))
            << "round " << round;

        // Values of records named in a walk read the same later, and compare
        // as their texts do, whatever the two fields' types.
        std::vector<std::uint32_t> records;
        table.FirstRowWhere(0, [&](const TRowValues& row) { return records.push_back(row.Record()), false; });
        const auto hold = table.HoldForWalk();
        for (int pair = 0; pair < 40 && !records.empty(); ++pair) {
            const TRowValues a = table.RecordValues(records[random() % records.size()]);
            const TRowValues b = table.RecordValues(records[random() % records.size()]);
            const int fieldA = 1 + static_cast<int>(random() % 4), fieldB = 1 + static_cast<int>(random() % 4);
            EXPECT_EQ(a.SameValue(fieldA, b, fieldB), a.Value(fieldA) == b.Value(fieldB));
            const std::optional<std::int32_t> integer = a.Integer(fieldA);
            EXPECT_EQ(integer.has_value(), fieldA == 1 || fieldA == 3);
            if (integer && !a.Value(fieldA).empty()) {
                EXPECT_EQ(std::to_string(*integer), a.Value(fieldA));
            }
        }
    }
    EXPECT_THROW(TClientDataSet().RecordValues(1), EDatabaseError);
}

TEST(FirstRowWhere, ReadsNullsAsEmptyAndNeedsAnOpenTable) {
    TClientDataSet table;
    const auto any = [](const TRowValues&) { return true; };
    EXPECT_EQ(table.FirstRowWhere(0, any), -1);
    CreateSmallTable(table);
    table.Insert();
    table.Post();
    EXPECT_EQ(table.FirstRowWhere(0, [](const TRowValues& row) { return row.Value(2).empty() && row.Value(3).empty(); }), 0);
    EXPECT_EQ(table.FirstRowWhere(0, [](const TRowValues& row) { return row.Value(1) == "1" && row.Value(9).empty(); }), 0);
    EXPECT_EQ(table.FirstRowWhere(1, any), -1);
}

}  // namespace
