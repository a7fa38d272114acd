#include "app/core/FilmListText.h"

#include <gtest/gtest.h>

#include "tests/common/FilmTable.h"

namespace {

std::string Cp(const std::string& utf8) { return cp1250::FromUtf8(utf8); }
std::string Blanks(std::size_t count) { return std::string(count, ' '); }

const std::string kHeader = Cp("Název anglicky") + Blanks(36) + ' ' + Cp("Název česky") + Blanks(39) +
                            ' ' + Cp("č.CD") + ' ' + "Zn" + ' ' + "Titulky" + Blanks(4) + ' ' + "ks" +
                            ' ' + Cp("Poznámka") + Blanks(92);

TEST(FilmListLines, EmptyCatalogGivesHeaderAndEmptyLine) {
    TClientDataSet table;
    MakeFilmTable(table, {});
    const auto lines = FilmListLines(table);
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(lines[0], kHeader);
    EXPECT_EQ(lines[0].size(), 225u);
    EXPECT_EQ(lines[1], "");
}

TEST(FilmListLines, OneFixedWidthLinePerFilmCountingWindows1250Bytes) {
    TClientDataSet table;
    MakeFilmTable(table, {{"Pelíšky", "Pelíšky", 7, "CZ", "", 1, "Hřebejk"},
                          {"Alien", "Vetřelec", 123, "EN", "CZ", 12, ""}});
    const auto lines = FilmListLines(table);
    ASSERT_EQ(lines.size(), 4u);
    EXPECT_EQ(lines[2], "Alien" + Blanks(45) + ' ' + Cp("Vetřelec") + Blanks(42) + ' ' + "0123" + ' ' + "EN" +
                            ' ' + "CZ" + Blanks(9) + ' ' + "12" + ' ' + Blanks(100));
    EXPECT_EQ(lines[3], Cp("Pelíšky") + Blanks(43) + ' ' + Cp("Pelíšky") + Blanks(43) + ' ' + "0007" + ' ' +
                            "CZ" + ' ' + Blanks(11) + ' ' + " 1" + ' ' + Cp("Hřebejk") + Blanks(93));
    EXPECT_EQ(lines[2].size(), 225u);
    EXPECT_EQ(lines[3].size(), 225u);
}

TEST(FilmListLines, NumbersPadWithZerosAndWideValuesShiftTheLine) {
    TClientDataSet table;
    MakeFilmTable(table, {{"A", "", 12345, "", "", std::nullopt, ""},
                          {"B", "", -5, "", "", 123, "x"},
                          {"C", "", std::nullopt, "", "", 0, ""},
                          {"D", "", INT32_MIN, "", "", -1, ""}});
    const auto lines = FilmListLines(table);
    ASSERT_EQ(lines.size(), 6u);
    const std::string titles = Blanks(49) + ' ' + Blanks(50) + ' ';
    EXPECT_EQ(lines[2], "A" + titles + "12345" + ' ' + Blanks(2) + ' ' + Blanks(11) + ' ' + Blanks(2) + ' ' + Blanks(100));
    EXPECT_EQ(lines[3], "B" + titles + "-0005" + ' ' + Blanks(2) + ' ' + Blanks(11) + ' ' + "123" + ' ' + "x" + Blanks(99));
    EXPECT_EQ(lines[4], "C" + titles + "0000" + ' ' + Blanks(2) + ' ' + Blanks(11) + ' ' + " 0" + ' ' + Blanks(100));
    EXPECT_EQ(lines[5], "D" + titles + "-2147483648" + ' ' + Blanks(2) + ' ' + Blanks(11) + ' ' + "-1" + ' ' + Blanks(100));
}

TEST(FilmListLines, FollowsTheCurrentOrderAndLeavesTheCursor) {
    TClientDataSet table;
    MakeFilmTable(table, {{"B", "", 3, "", "", 1, ""}, {"A", "", 2, "", "", 1, ""}, {"C", "", 1, "", "", 1, ""}},
                  "S3");
    table.Next();
    ASSERT_EQ(FieldUtf8(table, "S1"), "A");
    const auto lines = FilmListLines(table);
    ASSERT_EQ(lines.size(), 5u);
    EXPECT_EQ(lines[2].substr(0, 1), "C");
    EXPECT_EQ(lines[3].substr(0, 1), "A");
    EXPECT_EQ(lines[4].substr(0, 1), "B");
    EXPECT_EQ(FieldUtf8(table, "S1"), "A");
    EXPECT_EQ(table.CurrentRow(), 1);
    EXPECT_FALSE(table.ViewsFrozen());
}

TEST(SummaryLines, EmptyCatalogCountsZero) {
    TClientDataSet table;
    MakeFilmTable(table, {});
    const std::vector<std::string> expected{
        Cp("Souhrn datového souboru filmy.xml:"), "", "", Cp("Počet CD: 0"), "", Cp("Počet filmů: 0"),
        Cp("Počet filmů v češtině: 0"), Cp("Počet filmů v angličtině: 0"), Cp("Počet filmů v jiném jazyce: 0"),
        "", Cp("Počet filmů v angličtině s českými titulky: 0"), ""};
    EXPECT_EQ(SummaryLines(table, "filmy.xml"), expected);
}

TEST(SummaryLines, CountsDiscsLanguagesAndCzechSubtitles) {
    TClientDataSet table;
    MakeFilmTable(table, {{"a", "", 1, "cz", "CZ", 2, ""},
                          {"b", "", 2, "en", "EN,CZ", 3, ""},
                          {"c", "", 3, "EN", "cz", std::nullopt, ""},
                          {"d", "", 4, "EN", "EN", 1, ""},
                          {"e", "", 5, "", "CZ", 1, ""},
                          {"f", "", 6, "DE", "CZ", 1, ""}});
    table.Next();
    table.Next();
    const auto lines = SummaryLines(table, Cp("filmy čeština.xml"));
    ASSERT_EQ(lines.size(), 12u);
    EXPECT_EQ(lines[0], Cp("Souhrn datového souboru filmy čeština.xml:"));
    EXPECT_EQ(lines[3], Cp("Počet CD: 8"));
    EXPECT_EQ(lines[5], Cp("Počet filmů: 6"));
    EXPECT_EQ(lines[6], Cp("Počet filmů v češtině: 1"));
    EXPECT_EQ(lines[7], Cp("Počet filmů v angličtině: 3"));
    EXPECT_EQ(lines[8], Cp("Počet filmů v jiném jazyce: 2"));
    EXPECT_EQ(lines[10], Cp("Počet filmů v angličtině s českými titulky: 2"));
    EXPECT_EQ(FieldUtf8(table, "S1"), "c");
}

TEST(SummaryLines, DiscTotalDoesNotWrap) {
    TClientDataSet table;
    MakeFilmTable(table, {{"a", "", 1, "", "", INT32_MAX, ""}, {"b", "", 2, "", "", INT32_MAX, ""}});
    EXPECT_EQ(SummaryLines(table, "x")[3], Cp("Počet CD: 4294967294"));
}

}  // namespace
