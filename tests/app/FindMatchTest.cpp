#include "app/core/FindMatch.h"

#include <gtest/gtest.h>

#include <random>

#include "tests/common/FilmTable.h"

namespace {

std::string Cp(const char* utf8) { return cp1250::FromUtf8(utf8); }

TEST(TextMatches, EmptyCriterionMatchesAnything) {
    EXPECT_TRUE(TextMatches("", ""));
    EXPECT_TRUE(TextMatches("MATRIX", ""));
}

TEST(TextMatches, IgnoresCaseAnywhereInTheText) {
    EXPECT_TRUE(TextMatches("THE MATRIX", "atri"));
    EXPECT_TRUE(TextMatches("the matrix", "MATRIX"));
    EXPECT_TRUE(TextMatches("Matrix", "m"));
    EXPECT_FALSE(TextMatches("Matrix", "matrixx"));
    EXPECT_FALSE(TextMatches("Mat rix", "matrix"));
}

TEST(TextMatches, KeepsDiacritics) {
    EXPECT_FALSE(TextMatches(Cp("ČAS"), "c"));
    EXPECT_TRUE(TextMatches(Cp("ČAS"), Cp("č")));
    EXPECT_TRUE(TextMatches(Cp("žluťoučký kůň"), Cp("ŤOUČ")));
    EXPECT_TRUE(TextMatches(Cp("ŘEKA"), Cp("řeka")));
    EXPECT_FALSE(TextMatches(Cp("Šakal"), "sakal"));
}

TEST(TextMatches, LongTextsAreSearchedWhole) {
    const std::string note = std::string(300, 'x') + Cp("Konec řádku");
    EXPECT_TRUE(TextMatches(note, Cp("KONEC ŘÁDKU")));
    EXPECT_TRUE(TextMatches(note, std::string(200, 'X') + Cp("xkon")));
    EXPECT_FALSE(TextMatches(note, Cp("konec radku")));
    EXPECT_TRUE(TextMatches("aab", "ab")) << "a partial match does not hide the one that follows";
}

TEST(TextMatches, CriteriaLongerThanTheLongestSkip) {
    std::string criterion(300, 'a');
    criterion.back() = 'b';
    const std::string text = std::string(1000, 'A') + "B" + std::string(50, 'c');
    EXPECT_TRUE(TextMatches(text, criterion));
    EXPECT_FALSE(TextMatches(std::string(1000, 'A') + "C", criterion));
}

TEST(TextMatches, BlanksArePartOfTheCriterion) {
    EXPECT_TRUE(TextMatches("Star Wars", "r w"));
    EXPECT_FALSE(TextMatches("Star Wars", " star"));
    EXPECT_FALSE(TextMatches("Star Wars", "wars "));
}

TEST(RecordMatcher, NeedsEveryCriterion) {
    TClientDataSet table;
    MakeFilmTable(table, {{"The Matrix", "Matrix", 1, "EN", "CZ", 1, "sci-fi"}});
    const auto matches = [&table](const FindCriteria& criteria) {
        return RecordMatcher(table, criteria).CurrentRecordMatches();
    };
    EXPECT_TRUE(matches({}));
    EXPECT_TRUE(matches({"matrix", "", ""}));
    EXPECT_TRUE(matches({"matrix", "atr", "SCI"}));
    EXPECT_FALSE(matches({"matrix", "atr", "drama"}));
    EXPECT_FALSE(matches({"", "the", ""}));
}

// The skipping search must find exactly what a plain scan of every position finds.
TEST(CriterionSearch, AgreesWithAPlainScanOnRandomTexts) {
    std::mt19937 random(20261208);
    const std::string alphabet = Cp("abAB čČ-ř");
    const auto randomText = [&](std::size_t most) {
        std::string text(std::uniform_int_distribution<std::size_t>(0, most)(random), ' ');
        for (char& c : text) c = alphabet[std::uniform_int_distribution<std::size_t>(0, alphabet.size() - 1)(random)];
        return text;
    };
    const auto upper = [](std::string text) {
        for (char& c : text) c = static_cast<char>(cp1250::ToUpper(static_cast<unsigned char>(c)));
        return text;
    };
    for (int round = 0; round < 20000; ++round) {
        const std::string criterion = randomText(5);
        const std::string text = randomText(30);
        const bool expected = upper(text).find(upper(criterion)) != std::string::npos;
        ASSERT_EQ(CriterionSearch(criterion).FoundIn(text), expected) << "criterion \"" << criterion << "\" in \"" << text << "\"";
    }
}

}  // namespace
