// The order of records with equal keys after a build is observable, so the
// engine's sort is checked against a plain transcription of its steps.
#include <gtest/gtest.h>

#include <functional>
#include <random>

#include "TableFixtures.h"

namespace {

// Entries are keys by record number; 0 is the low and -1 the high sentinel.
struct Transcription {
    const std::vector<int>& keyOf;  // keyOf[recordNumber]
    std::vector<std::uint32_t> e;

    int Compare(std::uint32_t a, std::uint32_t b) const {
        if (a == b) return 0;
        if (a == 0 || b == 0xFFFFFFFFu) return -1;
        if (b == 0 || a == 0xFFFFFFFFu) return 1;
        return keyOf[a] < keyOf[b] ? -1 : (keyOf[a] > keyOf[b] ? 1 : 0);
    }
    bool Greater(std::uint32_t a, std::uint32_t b) const { return Compare(a, b) > 0; }
    bool Less(std::uint32_t a, std::uint32_t b) const { return Compare(a, b) < 0; }

    void SortPart(int lo, int hi) {
        const int mid = lo + (hi - lo) / 2;
        if (Greater(e[lo], e[hi])) std::swap(e[lo], e[hi]);
        if (Greater(e[mid], e[lo])) {
            std::swap(e[lo], e[mid]);
            if (Greater(e[lo], e[hi])) std::swap(e[lo], e[hi]);
        }
        const std::uint32_t pivot = e[lo];
        int i = lo, j = hi + 1;
        for (;;) {
            do ++i; while (Less(e[i], pivot));
            do --j; while (Less(pivot, e[j]));
            if (i >= j) break;
            std::swap(e[i], e[j]);
        }
        std::swap(e[lo], e[j]);
        const int left = j - lo, right = hi - j;
        if (right >= left) {
            if (left > 10) SortPart(lo, j - 1);
            if (right > 10) SortPart(j + 1, hi);
        } else {
            if (right > 10) SortPart(j + 1, hi);
            if (left > 10) SortPart(lo, j - 1);
        }
    }

    std::vector<std::uint32_t> Sorted(const std::vector<std::uint32_t>& recordNumbers) {
        const int n = static_cast<int>(recordNumbers.size());
        e.assign(1, 0);
        e.insert(e.end(), recordNumbers.begin(), recordNumbers.end());
        e.push_back(0xFFFFFFFFu);
        if (n > 1) {
            if (n > 10) SortPart(1, n);
            for (int i = 1; i <= n - 1; ++i) {
                if (!Greater(e[i], e[i + 1])) continue;
                const std::uint32_t t = e[i + 1];
                int k = i;
                while (Greater(e[k], t)) {
                    e[k + 1] = e[k];
                    --k;
                }
                e[k + 1] = t;
            }
        }
        return {e.begin() + 1, e.begin() + 1 + n};
    }
};

}  // namespace

TEST(IndexOrder, BuildMatchesTheSortStepsForEqualKeys) {
    std::mt19937 random(20240611);
    for (int round = 0; round < 300; ++round) {
        const int count = 1 + static_cast<int>(random() % 200);
        const int distinct = 1 + static_cast<int>(random() % 5);
        TClientDataSet table;
        CreateSmallTable(table);
        std::vector<int> keyOf(1, 0);
        for (int r = 0; r < count; ++r) {
            const int key = static_cast<int>(random() % distinct);
            keyOf.push_back(key);
            AddRecord(table, "x", key);
        }
        // Some deleted records: the build takes the live ones in record-number
        // order, which is the order of K here.
        std::vector<std::uint32_t> live;
        table.BuildIndex("byK", "K", 0);
        table.SetIndexName("byK");
        table.First();
        for (std::uint32_t r = 1; r <= static_cast<std::uint32_t>(count); ++r) {
            if (count > 3 && random() % 7 == 0) {
                table.Delete();
            } else {
                live.push_back(r);
                table.Next();
            }
        }
        table.BuildIndex("n", "N", 0);
        table.SetIndexName("n");
        std::vector<std::string> expected;
        for (const auto r : Transcription{keyOf, {}}.Sorted(live)) expected.push_back(std::to_string(r));
        ASSERT_EQ(Column(table, "K"), expected) << "round " << round << ", " << count << " records";
    }
}

TEST(IndexOrder, TenOrFewerRecordsKeepRecordOrderAmongEqualKeys) {
    TClientDataSet table;
    CreateSmallTable(table);
    for (int r = 1; r <= 10; ++r) AddRecord(table, "x", r % 2);
    table.BuildIndex("n", "N", 0);
    table.SetIndexName("n");
    EXPECT_EQ(Column(table, "K"), (std::vector<std::string>{"2", "4", "6", "8", "10", "1", "3", "5", "7", "9"}));
}

TEST(IndexOrder, NewRecordGoesAfterAllEqualKeys) {
    TClientDataSet table;
    CreateSmallTable(table);
    for (const int n : {5, 3, 5, 1}) AddRecord(table, "x", n);
    table.BuildIndex("n", "N", 0);
    table.SetIndexName("n");
    const auto before = Column(table, "K");
    AddRecord(table, "x", 5);
    auto expected = before;
    expected.push_back("5");
    EXPECT_EQ(Column(table, "K"), expected);
    AddRecord(table, "x", 3);
    EXPECT_EQ(Column(table, "N"), (std::vector<std::string>{"1", "3", "3", "5", "5", "5"}));
    EXPECT_EQ(Column(table, "K").at(2), "6");
}

TEST(IndexOrder, ChangedKeyMovesBehindItsNewEquals) {
    TClientDataSet table;
    CreateSmallTable(table);
    for (const int n : {1, 2, 2, 3}) AddRecord(table, "x", n);
    table.BuildIndex("n", "N", 0);
    table.SetIndexName("n");
    table.First();  // K 1, N 1
    table.Edit();
    table.FieldNamed("N").SetAsInteger(2);
    table.Post();
    EXPECT_EQ(Column(table, "K"), (std::vector<std::string>{"2", "3", "1", "4"}));
    table.First();
    table.Next();  // K 3: a change that keeps the key keeps the place
    table.Edit();
    table.FieldNamed("A").SetAsString("changed");
    table.Post();
    EXPECT_EQ(table.FieldNamed("K").AsInteger(), 3);
    EXPECT_EQ(Column(table, "K"), (std::vector<std::string>{"2", "3", "1", "4"}));
}
