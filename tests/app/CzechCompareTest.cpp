#include <gtest/gtest.h>

#include "app/core/Global.h"
#include "text/Cp1250.h"

namespace {

int Compare(const char* a, const char* b) { return CzechCompare(cp1250::FromUtf8(a), cp1250::FromUtf8(b)); }

struct Case {
    const char* a;
    const char* b;
    int expected;
};

TEST(CzechCompare, FoldsCaseAndDiacriticsAndRanksByTheAlphabet) {
    const Case cases[] = {
        {"Ďábel", "dabel", 0}, {"ŽELVA", "zelva", 0}, {"Čaj", "Cukr", -1}, {"abc", "ab", 1},
        {"ab", "abc", -1},     {"", "", -1},          {"", "x", -1},       {"x", "", 1},
        {"a b", "a-b", -1},    {"Mäller", "Möller", 0}, {"10", "9", -1},  {"(x)", "a", -1},
        {"CH", "CZ", -1},
    };
    for (const Case& c : cases) EXPECT_EQ(Compare(c.a, c.b), c.expected) << c.a << " vs " << c.b;
}

TEST(CzechCompare, EveryCzechLetterFoldsToItsPlainCapital) {
    EXPECT_EQ(Compare("áčďéěíňóřšťúůýž", "ACDEEINORSTUUYZ"), 0);
    EXPECT_EQ(Compare("ÁČĎÉĚÍŇÓŘŠŤÚŮÝŽ", "acdeeinorstuuyz"), 0);
    EXPECT_EQ(Compare("Řeka", "rEKA"), 0);
}

TEST(CzechCompare, SymbolsRankInTableOrderBelowDigitsAndLetters) {
    const char* const symbols = ";,:.?!+-*=/|\\<>§_\"&@#$%^~`'(){}[]";
    const std::string all = cp1250::FromUtf8(symbols);
    for (std::size_t i = 0; i + 1 < all.size(); ++i) {
        EXPECT_EQ(CzechCompare(all.substr(i, 1), all.substr(i + 1, 1)), -1) << i;
    }
    EXPECT_EQ(Compare("]", "0"), -1);
    EXPECT_EQ(Compare("9", "A"), -1);
    EXPECT_EQ(Compare("z", "Ž"), 0);
}

TEST(CzechCompare, CharactersOutsideTheAlphabetAreOneLowestCharacter) {
    EXPECT_EQ(Compare(" ", "\t"), 0);
    EXPECT_EQ(Compare("ä", "ß"), 0);
    EXPECT_EQ(Compare("ü", ";"), -1);
    EXPECT_EQ(Compare("x ", "x;"), -1);
    // The ampersand ranks where it first occurs, between the quotation mark and @.
    EXPECT_EQ(Compare("\"", "&"), -1);
    EXPECT_EQ(Compare("&", "@"), -1);
}

TEST(CzechCompare, UnequalLengthsDecideOnlyWhenThePrefixIsEqual) {
    EXPECT_EQ(Compare("b", "abc"), 1);
    EXPECT_EQ(Compare("Matrix", "MATRIX Reloaded"), -1);
    EXPECT_EQ(Compare("Matrix Reloaded", "matrix"), 1);
    EXPECT_EQ(Compare("x", "X"), 0);
}

TEST(ErrorReportText, AddsAFullStopAfterACharacterThatSortsAfterIt) {
    EXPECT_EQ(ErrorReportText("Record not found"), "Record not found.");
    EXPECT_EQ(ErrorReportText("Hotovo."), "Hotovo.");
    EXPECT_EQ(ErrorReportText(""), "");
    EXPECT_EQ(ErrorReportText("Why?"), "Why?.");  // "?" (63) sorts after "." (46) as well
    EXPECT_EQ(ErrorReportText("Ne!"), "Ne!");
    EXPECT_EQ(ErrorReportText("(a)"), "(a)");
    EXPECT_EQ(ErrorReportText("Chyba 12"), "Chyba 12.");
    EXPECT_EQ(ErrorReportText(cp1250::FromUtf8("kůň")), cp1250::FromUtf8("kůň."));
}

}  // namespace
