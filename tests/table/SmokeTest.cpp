#include <gtest/gtest.h>

#include "TableFixtures.h"

TEST(Smoke, InsertAndWalk) {
    TClientDataSet table;
    CreateSmallTable(table);
    AddRecord(table, "b", 2);
    AddRecord(table, "a", 1);
    // In the default order a new record goes before the current one.
    EXPECT_EQ(Column(table, "A"), (std::vector<std::string>{"a", "b"}));
    table.BuildIndex("i", "A", 0);
    table.SetIndexName("i");
    EXPECT_EQ(Column(table, "A"), (std::vector<std::string>{"a", "b"}));
    EXPECT_EQ(Column(table, "K"), (std::vector<std::string>{"2", "1"}));
}
