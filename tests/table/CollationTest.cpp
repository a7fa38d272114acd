// String keys follow the collation of the user's locale; nulls sort lowest.
#include <gtest/gtest.h>

#include <random>

#include "TableFixtures.h"

namespace {

std::vector<std::string> SortedBy(const std::vector<const char*>& texts, TIndexOptions options,
                                  const std::string& caseIns = "") {
    TClientDataSet table;
    CreateSmallTable(table);
    for (const char* text : texts) {
        table.Insert();
        if (text) table.FieldNamed("A").SetAsString(text);
        table.Post();
    }
    table.BuildIndex("i", "A", options, "", caseIns);
    table.SetIndexName("i");
    std::vector<std::string> values;
    for (table.First(); !table.AtEnd(); table.Next())
        values.push_back(table.FieldNamed("A").IsNull() ? "<null>" : table.FieldNamed("A").AsString());
    return values;
}

}  // namespace

TEST(Collation, CzechOrderIsCaseSensitive) {
    PinnedLocale czech("cs_CZ.UTF-8");
    // "č" is 0xE8, "Č" 0xC8 and "ř" 0xF8 in Windows-1250.
    EXPECT_EQ(SortedBy({"d", "ch", "h", "\xe8", "c", "C", "r", "\xf8", "", nullptr}, 0),
              (std::vector<std::string>{"<null>", "", "c", "C", "\xe8", "d", "h", "ch", "r", "\xf8"}));
}

TEST(Collation, CaseInsensitiveKeysKeepDiacritics) {
    PinnedLocale czech("cs_CZ");
    Collation caseless(0, true);
    EXPECT_EQ(caseless.Compare("abc", "ABC"), 0);
    EXPECT_EQ(caseless.Compare("\xe8", "c"), 1);
    Collation cased(0, false);
    EXPECT_EQ(cased.Compare("a", "A"), -1);
    EXPECT_EQ(cased.Compare("A", "b"), -1);
    EXPECT_EQ(cased.Compare(std::string(300, 'a'), std::string(300, 'a') + "b"), -1);
    // Texts widen sixteen bytes at a time: where "č" stands must not matter.
    for (std::size_t at = 0; at < 300; at += at < 40 ? 1 : 97) {
        const std::string before(at, 'a'), after(at % 23, 'z');
        EXPECT_EQ(cased.Compare(before + "\xe8" + after, before + "d" + after), -1) << at;
        memory::Vector<char> low, high;
        cased.AppendSortKey(before + "\xe8" + after, low);
        cased.AppendSortKey(before + "d" + after, high);
        EXPECT_LT(std::string_view(low.data()), std::string_view(high.data())) << at;
    }
    // Equal keys keep their record order (ten or fewer records).
    EXPECT_EQ(SortedBy({"B", "a", "b", "A"}, ixCaseInsensitive), (std::vector<std::string>{"a", "A", "B", "b"}));
    EXPECT_EQ(SortedBy({"B", "a", "b", "A"}, 0, "A"), (std::vector<std::string>{"a", "A", "B", "b"}));
}

// Index names are told apart without a collator where the texts allow it:
// random names in several locales, among them one that ignores punctuation
// (Thai) and one with contractions of two letters (Czech "ch", Danish "aa").
TEST(Collation, NamesSurelyUnequalAreUnequalInEveryLocale) {
    std::mt19937 random(11);
    const std::string alphabet = "aAbBcChHkKxX_- .0\xE8";
    for (const char* locale : {"cs_CZ", "da_DK", "th_TH", "en_US", "C"}) {
        PinnedLocale pinned(locale);
        const Collation collation(0, false);
        for (int i = 0; i < 2000; ++i) {
            std::string a, b;
            for (std::string* name : {&a, &b})
                for (std::size_t n = random() % 4; n > 0; --n) name->push_back(alphabet[random() % alphabet.size()]);
            if (Collation::SurelyUnequal(a, b)) {
                EXPECT_NE(collation.Compare(a, b), 0) << locale << " " << a << "|" << b;
            }
        }
    }
}

TEST(Collation, DescendingPutsNullsLast) {
    PinnedLocale czech("cs_CZ");
    EXPECT_EQ(SortedBy({"a", nullptr, "c", "b"}, ixDescending), (std::vector<std::string>{"c", "b", "a", "<null>"}));
}

TEST(Collation, UserDefaultLocaleComesFromTheEnvironmentUnlessPinned) {
    {
        PinnedLocale pinned("cs_CZ.UTF-8@euro");
        EXPECT_EQ(Collation::UserDefaultLocale(), "cs_CZ");
        EXPECT_EQ(Collation(0, false).LocaleName(), "cs_CZ");
    }
    PinnedLocale posix("C");
    EXPECT_EQ(Collation::UserDefaultLocale(), "root");
    EXPECT_TRUE(Collation::IsInstalledLocale(0x0405));  // Czech
    EXPECT_FALSE(Collation::IsInstalledLocale(0));
    EXPECT_EQ(Collation(0x0405, false).LocaleName().substr(0, 2), "cs");
}

TEST(Collation, LocaleOfALoadedDocument) {
    TClientDataSet source;
    CreateSmallTable(source);
    const std::string packet = source.SaveToBytes(dfXML);
    const auto withLcid = [&](const std::string& lcid) {
        std::string text = packet;
        text.replace(text.find("<PARAMS "), 8, "<PARAMS LCID=\"" + lcid + "\" ");
        TClientDataSet table;
        table.LoadFromBytes(text);
        EXPECT_NE(table.SaveToBytes(dfXML).find("LCID=\"" + lcid + "\""), std::string::npos);  // written back
        return table.Locale();
    };
    EXPECT_EQ(withLcid("1029"), 1029u);
    EXPECT_EQ(withLcid("12345"), 0u);
}
