// The order of records with equal keys after a build is observable, so the
// engine's sort is checked against a plain transcription of its steps.
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <optional>
#include <random>

#include "TableFixtures.h"

namespace {

// Entries are record numbers; 0 is the low and -1 the high sentinel.
struct Transcription {
    std::function<int(std::uint32_t, std::uint32_t)> compareKeys;
    std::vector<std::uint32_t> e;

    int Compare(std::uint32_t a, std::uint32_t b) const {
        if (a == b) return 0;
        if (a == 0 || b == 0xFFFFFFFFu) return -1;
        if (b == 0 || a == 0xFFFFFFFFu) return 1;
        return compareKeys(a, b);
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
        const auto byKey = [&](std::uint32_t a, std::uint32_t b) {
            return keyOf[a] < keyOf[b] ? -1 : (keyOf[a] > keyOf[b] ? 1 : 0);
        };
        std::vector<std::string> expected;
        for (const auto r : Transcription{byKey, {}}.Sorted(live)) expected.push_back(std::to_string(r));
        ASSERT_EQ(Column(table, "K"), expected) << "round " << round << ", " << count << " records";
    }
}

// Texts that collate equal without being the same bytes, compared pairwise by
// the collation in the transcription; two key fields, the second deciding ties.
TEST(IndexOrder, TextKeysMatchTheSortStepsUnderTheCollation) {
    PinnedLocale czech("cs_CZ");
    const std::vector<std::string> texts = {"a", "A", "b", "\xe1", "ch", "h", "", "C"};  // 0xE1 is "á"
    std::mt19937 random(7);
    for (const TIndexOptions options : {TIndexOptions{0}, TIndexOptions{ixCaseInsensitive}, TIndexOptions{ixDescending}}) {
        Collation collation(0, options == ixCaseInsensitive);
        const int sign = options == ixDescending ? -1 : 1;
        for (int round = 0; round < 40; ++round) {
            const int count = 1 + static_cast<int>(random() % 200);
            TClientDataSet table;
            CreateSmallTable(table);
            std::vector<std::optional<std::string>> textOf(1);
            std::vector<int> numberOf(1, 0);
            for (int r = 0; r < count; ++r) {
                table.Insert();
                if (random() % 10 != 0) {
                    textOf.push_back(texts[random() % texts.size()]);
                    table.FieldNamed("A").SetAsString(*textOf.back());
                } else {
                    textOf.push_back(std::nullopt);
                }
                numberOf.push_back(static_cast<int>(random() % 2));
                table.FieldNamed("N").SetAsInteger(numberOf.back());
                table.Post();
            }
            table.BuildIndex("t", "A;N", options);
            table.SetIndexName("t");
            const auto byKey = [&](std::uint32_t a, std::uint32_t b) {
                int result;
                if (!textOf[a] || !textOf[b])
                    result = textOf[a].has_value() == textOf[b].has_value() ? 0 : (textOf[a] ? 1 : -1);
                else
                    result = collation.Compare(*textOf[a], *textOf[b]);
                if (result == 0) result = numberOf[a] < numberOf[b] ? -1 : (numberOf[a] > numberOf[b] ? 1 : 0);
                return sign * result;
            };
            std::vector<std::uint32_t> all;
            for (std::uint32_t r = 1; r <= static_cast<std::uint32_t>(count); ++r) all.push_back(r);
            std::vector<std::string> expected;
            for (const auto r : Transcription{byKey, {}}.Sorted(all)) expected.push_back(std::to_string(r));
            ASSERT_EQ(Column(table, "K"), expected) << "options " << options << ", round " << round;
        }
    }
}

// The build ranks whole keys once (texts through their collation sort keys, long
// runs of equal values field by field, short ones by the comparators) and sorts
// the ranks; on random tables with three key fields, each ascending or
// descending and case-sensitive or not, it must leave exactly the order that the
// sort steps give with every comparison made pairwise by the collation. The
// last rounds are large enough for the build to split over two threads.
TEST(IndexOrder, RankedKeysGiveWhatPairwiseComparisonGives) {
    PinnedLocale czech("cs_CZ");
    // Windows-1250: "á", "Á", "č", "Č", "ď", "é", "ě", "í", "ž", "Ž", "š", "Š".
    const std::vector<std::string> pool = {"", "a", "A", "\xe1", "\xc1", "ch", "c", "C", "h", "cz", "\xc8", "\xe8",
                                           "d", "\xef", "e", "\xe9", "\xec", "i", "\xed", "z", "\x9e", "\x8e",
                                           "sa", "Sa", "\x9a" "a", "\x8a" "akal", "\x9a" "akal", "stalker", "Stalker",
                                           "a b", "ab", "a-b", "-ab", "10", "9", "a10", "a9"};
    const Collation sensitive(0, false);
    const Collation insensitive(0, true);
    std::mt19937 random(424242);
    for (int round = 0; round < 63; ++round) {
        TClientDataSet table;
        table.FieldDefs().Clear();
        table.FieldDefs().Add("K", ftAutoInc);
        table.FieldDefs().Add("A", ftString, 20);
        table.FieldDefs().Add("B", ftString, 20);
        table.FieldDefs().Add("N", ftInteger);
        table.CreateEmpty();
        table.SetTrackChanges(false);
        const bool large = round >= 60;
        const int count = large ? 9000 + static_cast<int>(random() % 4000) : 1 + static_cast<int>(random() % 1500);
        // A large table's A also takes thousands of distinct values beside the pool's.
        const auto valueOfA = [&](std::size_t spread) {
            std::string value = pool[random() % spread];
            if (large && random() % 2) value += std::to_string(random() % 60000);
            return value;
        };
        // Few distinct values in A make long runs that the next fields order.
        const std::size_t spreadA = 1 + random() % pool.size();
        const std::size_t spreadB = 1 + random() % pool.size();
        std::vector<std::optional<std::string>> a(1), b(1);
        std::vector<std::optional<int>> n(1);
        for (int r = 0; r < count; ++r) {
            table.Insert();
            a.push_back(random() % 12 ? std::optional(valueOfA(spreadA)) : std::nullopt);
            b.push_back(random() % 12 ? std::optional(pool[random() % spreadB]) : std::nullopt);
            n.push_back(random() % 12 ? std::optional(static_cast<int>(random() % 7) - 3) : std::nullopt);
            if (a.back()) table.FieldNamed("A").SetAsString(*a.back());
            if (b.back()) table.FieldNamed("B").SetAsString(*b.back());
            if (n.back()) table.FieldNamed("N").SetAsInteger(*n.back());
            table.Post();
        }
        // Some deleted records; walked by K, which is record-number order.
        std::vector<std::uint32_t> live;
        table.BuildIndex("byK", "K", 0);
        table.SetIndexName("byK");
        table.First();
        for (std::uint32_t r = 1; r <= static_cast<std::uint32_t>(count); ++r) {
            if (count > 20 && random() % 9 == 0) {
                table.Delete();
            } else {
                live.push_back(r);
                table.Next();
            }
        }
        const char* names[] = {"A", "B", "N"};
        bool descending[3], caseless[3];
        std::string descFields, caseInsFields;
        for (int f = 0; f < 3; ++f) {
            descending[f] = random() % 3 == 0;
            caseless[f] = f < 2 && random() % 3 == 0;
            if (descending[f]) descFields += std::string(descFields.empty() ? "" : ";") + names[f];
            if (caseless[f]) caseInsFields += std::string(caseInsFields.empty() ? "" : ";") + names[f];
        }
        table.BuildIndex("abn", "A;B;N", 0, descFields, caseInsFields);
        table.SetIndexName("abn");
        const auto nulls = [](bool x, bool y) { return x == y ? 0 : (x ? -1 : 1); };
        const auto texts = [&](const std::optional<std::string>& x, const std::optional<std::string>& y, int f) {
            if (!x || !y) return nulls(!x, !y);
            return (caseless[f] ? insensitive : sensitive).Compare(*x, *y);
        };
        const auto byKey = [&](std::uint32_t p, std::uint32_t q) {
            int result = texts(a[p], a[q], 0);
            if (descending[0]) result = -result;
            if (result) return result;
            result = texts(b[p], b[q], 1);
            if (descending[1]) result = -result;
            if (result) return result;
            result = !n[p] || !n[q] ? nulls(!n[p], !n[q]) : (*n[p] < *n[q] ? -1 : (*n[p] > *n[q] ? 1 : 0));
            return descending[2] ? -result : result;
        };
        const auto expected = [&] {
            std::vector<std::string> keys;
            for (const auto r : Transcription{byKey, {}}.Sorted(live)) keys.push_back(std::to_string(r));
            return keys;
        };
        ASSERT_EQ(Column(table, "K"), expected())
            << "round " << round << ", " << count << " records, descending \"" << descFields << "\", caseless \""
            << caseInsFields << "\"";
        // Deleted and created again: the order set aside is taken up while the
        // records stay, and sorted anew after one of them changed, ranked from
        // the order before, offered a little shuffled, short of some keys and
        // with one of no record.
        const bool change = round % 2 == 1;
        TIndexOrder offered = table.OrderOf("abn", "K");
        for (int shuffle = static_cast<int>(random() % 4); shuffle > 0 && offered.Keys.size() > 2; --shuffle) {
            std::swap(offered.Keys[random() % offered.Keys.size()], offered.Keys[random() % offered.Keys.size()]);
            offered.Keys.erase(offered.Keys.begin() + static_cast<std::ptrdiff_t>(random() % offered.Keys.size()));
        }
        offered.Keys.push_back(count + 7);
        table.DeleteIndex("abn");
        if (change) {
            table.Last();
            table.Edit();
            n[static_cast<std::size_t>(table.FieldNamed("K").AsInteger())] = 99;
            table.FieldNamed("N").SetAsInteger(99);
            table.Post();
        }
        table.BuildIndex("abn", "A;B;N", 0, descFields, caseInsFields);
        table.OfferOrder(std::move(offered));
        table.SetIndexName("abn");
        ASSERT_EQ(Column(table, "K"), expected()) << "round " << round << (change ? ", after a change" : "");
    }
}

TEST(IndexOrder, TenOrFewerRecordsKeepRecordOrderAmongEqualKeys) {
    TClientDataSet table;
    CreateOrderedByN(table, {1, 0, 1, 0, 1, 0, 1, 0, 1, 0});
    EXPECT_EQ(Column(table, "K"), (std::vector<std::string>{"2", "4", "6", "8", "10", "1", "3", "5", "7", "9"}));
}

TEST(IndexOrder, NewRecordGoesAfterAllEqualKeys) {
    TClientDataSet table;
    CreateOrderedByN(table, {5, 3, 5, 1});
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
    CreateOrderedByN(table, {1, 2, 2, 3});
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

// Redefining the default order while the cursor walks it, over random tables
// whose default order is no longer record-number order: the cursor's row and its
// field values name one record; a refused redefinition keeps the old order.
TEST(IndexOrder, RedefiningTheDefaultOrderUnderTheCursor) {
    std::mt19937 random(8);
    for (int round = 0; round < 40; ++round) {
        SCOPED_TRACE(round);
        TClientDataSet table;
        CreateSmallTable(table);
        const int count = 4 + static_cast<int>(random() % 30);
        // Half the rounds have distinct numbers; the others hold at most three.
        const bool distinct = round % 2 == 0;
        for (int i = 0; i < count; ++i) {
            AddRecord(table, "r", distinct ? i : static_cast<int>(random() % 3));
            table.First();  // the next one goes somewhere inside
            for (int step = static_cast<int>(random() % (i + 1)); step > 0; --step) table.Next();
        }
        const std::vector<std::string> before = Column(table, "K");
        table.First();
        for (int step = static_cast<int>(random() % count); step > 0; --step) table.Next();
        bool refused = false;
        try {
            table.BuildIndex("", "N", ixUnique);
        } catch (const EDBClient& failure) {
            EXPECT_EQ(failure.ErrorCode, dberr::KeyViolation);
            refused = true;
        }
        EXPECT_EQ(refused, !distinct);
        EXPECT_EQ(table.RowValue(table.CurrentRow(), 1), table.FieldNamed("K").AsString());
        if (refused) {
            EXPECT_EQ(Column(table, "K"), before);
        } else {
            std::vector<std::string> numbers = Column(table, "N");
            EXPECT_TRUE(std::is_sorted(numbers.begin(), numbers.end(),
                                       [](const std::string& a, const std::string& b) { return std::stoi(a) < std::stoi(b); }));
        }
    }
}
