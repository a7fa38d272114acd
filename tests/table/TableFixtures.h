#pragma once
// Tables built in code for the engine's tests.
#include <string>
#include <vector>

#include "table/ClientDataSet.h"
#include "table/Collation.h"
#include "tests/common/FilmTable.h"

// Pins the user's default collation locale for one test.
class PinnedLocale {
public:
    explicit PinnedLocale(std::string locale) { Collation::OverrideUserDefaultLocale(std::move(locale)); }
    ~PinnedLocale() { Collation::OverrideUserDefaultLocale(std::nullopt); }
};

// A new catalogue as the program creates it: index "x" on K, active; no change log.
inline void CreateCatalog(TClientDataSet& table) {
    DefineFilmFields(table);
    table.IndexDefs().Clear();
    table.IndexDefs().Add("x", "K", ixPrimary | ixUnique);
    table.SetIndexName("x");
    table.CreateEmpty();
    table.SetTrackChanges(false);
}

// A table with an integer key K (auto-increment) and one text A of width 20.
inline void CreateSmallTable(TClientDataSet& table) {
    table.FieldDefs().Clear();
    table.FieldDefs().Add("K", ftAutoInc);
    table.FieldDefs().Add("A", ftString, 20);
    table.FieldDefs().Add("N", ftInteger);
    table.CreateEmpty();
    table.SetTrackChanges(false);
}

inline void AddRecord(TClientDataSet& table, const std::string& a, int n) {
    table.Insert();
    table.FieldNamed("A").SetAsString(a);
    table.FieldNamed("N").SetAsInteger(n);
    table.Post();
}

// Records with these numbers N, in this order, then index "n" on N made active.
inline void CreateOrderedByN(TClientDataSet& table, const std::vector<int>& numbers) {
    CreateSmallTable(table);
    for (const int n : numbers) AddRecord(table, "x", n);
    table.BuildIndex("n", "N", 0);
    table.SetIndexName("n");
}

// The values of one field in the active index's order, walked with the cursor.
inline std::vector<std::string> Column(TClientDataSet& table, const std::string& field) {
    std::vector<std::string> values;
    for (table.First(); !table.AtEnd(); table.Next()) values.push_back(table.FieldNamed(field).AsString());
    return values;
}
