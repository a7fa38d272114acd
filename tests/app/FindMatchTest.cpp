#include "app/core/FindMatch.h"

#include <gtest/gtest.h>

#include "tests/app/FilmTable.h"

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

TEST(TextMatches, BlanksArePartOfTheCriterion) {
    EXPECT_TRUE(TextMatches("Star Wars", "r w"));
    EXPECT_FALSE(TextMatches("Star Wars", " star"));
    EXPECT_FALSE(TextMatches("Star Wars", "wars "));
}

TEST(CurrentRecordMatches, NeedsEveryCriterion) {
    TClientDataSet table;
    MakeFilmTable(table, {{"The Matrix", "Matrix", 1, "EN", "CZ", 1, "sci-fi"}});
    EXPECT_TRUE(CurrentRecordMatches(table, {}));
    EXPECT_TRUE(CurrentRecordMatches(table, {"matrix", "", ""}));
    EXPECT_TRUE(CurrentRecordMatches(table, {"matrix", "atr", "SCI"}));
    EXPECT_FALSE(CurrentRecordMatches(table, {"matrix", "atr", "drama"}));
    EXPECT_FALSE(CurrentRecordMatches(table, {"", "the", ""}));
}

}  // namespace
