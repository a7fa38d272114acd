// list, summary and find: the list window's texts on standard output, in UTF-8
// or as the very bytes the list window saves.
#include <gtest/gtest.h>

#include "CliSandbox.h"
#include "text/Cp1250.h"

namespace {

TEST(ListCommand, PrintsTheHeaderAndAnEmptyLineForAnEmptyCatalog) {
    CliSandbox box;
    box.MakeCatalog("cat.xml", {});
    const RunResult listed = box.Run({"list", "cat.xml"});
    EXPECT_EQ(listed.Status, 0) << listed.Err;
    EXPECT_EQ(listed.Out, ListHeader() + "\n\n");
    EXPECT_EQ(ListHeader().size(), 225u + 5u);  // five Czech letters take two UTF-8 bytes each
}

TEST(ListCommand, PrintsOneFixedWidthLinePerFilmInTheChosenOrder) {
    CliSandbox box;
    box.MakeCatalog("cat.xml", {{"--en", "Pelíšky", "--cd", "123", "--lang", "CZ", "--subs", "", "--discs", "12"},
                                {"--en", "Matrix", "--cd", "7"},
                                {"--en", "Alien", "--cz", "Vetřelec", "--cd", "-5", "--note", "x"},
                                {"--en", "Big", "--cd", "12345", "--discs", ""}});
    const std::string pelisky = ListLine("Pelíšky", "Pelíšky", 123, "CZ", "", "12", "");
    const std::string matrix = ListLine("Matrix", "Matrix", 7, "EN", "CZ", "1", "");
    const std::string alien = ListLine("Alien", "Vetřelec", -5, "EN", "CZ", "1", "x");
    const std::string big = ListLine("Big", "Big", 12345, "EN", "CZ", "0", "");
    EXPECT_NE(matrix.find(" 0007 EN CZ           1 "), std::string::npos);
    EXPECT_NE(alien.find(" -0005 "), std::string::npos);

    EXPECT_EQ(box.Run({"list", "cat.xml"}).Out,
              ListHeader() + "\n\n" + alien + "\n" + big + "\n" + matrix + "\n" + pelisky + "\n");
    EXPECT_EQ(box.Run({"list", "cat.xml", "--sort", "S3;S1;S2"}).Out,
              ListHeader() + "\n\n" + alien + "\n" + matrix + "\n" + pelisky + "\n" + big + "\n");
    EXPECT_EQ(box.Run({"list", "cat.xml", "--sort=S4"}).Out.substr(0, ListHeader().size() + 2 + pelisky.size()),
              ListHeader() + "\n\n" + pelisky);
}

TEST(ListCommand, SortsByTheCzechAlphabet) {
    CliSandbox box;
    box.MakeCatalog("cat.xml", {{"--en", "Chata"}, {"--en", "Hora"}, {"--en", "Čert"}, {"--en", "Cesta"},
                                {"--en", "Dům"}});
    const RunResult listed = box.Run({"find", "cat.xml"});
    ASSERT_EQ(listed.Status, 0) << listed.Err;
    std::vector<std::string> titles;
    for (std::size_t start = 0; start < listed.Out.size();) {
        const std::size_t end = listed.Out.find('\n', start);
        const std::string line = listed.Out.substr(start, end - start);
        titles.push_back(line.substr(0, line.find(' ')));
        start = end + 1;
    }
    EXPECT_EQ(titles, (std::vector<std::string>{"Cesta", "Čert", "Dům", "Hora", "Chata"}));
}

TEST(ListCommand, RawWritesWindows1250WithCrLfAsTheListWindowSaves) {
    CliSandbox box;
    box.MakeCatalog("cat.xml", {{"--en", "Pelíšky", "--note", "Žluťoučký kůň"}});
    const RunResult raw = box.Run({"list", "cat.xml", "--raw"});
    EXPECT_EQ(raw.Status, 0);
    EXPECT_EQ(raw.Out, cp1250::FromUtf8(ListHeader()) + "\r\n\r\n" +
                           cp1250::FromUtf8(ListLine("Pelíšky", "Pelíšky", 0, "EN", "CZ", "1", "Žluťoučký kůň")) +
                           "\r\n");
    EXPECT_NE(raw.Out.find("Pel\xED\x9Aky"), std::string::npos);
}

TEST(ListCommand, RefusesASortListThatNamesNoField) {
    CliSandbox box;
    box.MakeCatalog("cat.xml", {});
    for (const char* sort : {"S9", "S1;;S2", "", "s1"}) {
        const RunResult refused = box.Run({"list", "cat.xml", "--sort", sort});
        EXPECT_EQ(refused.Status, 1) << sort;
        EXPECT_EQ(refused.Out, "") << sort;
    }
    EXPECT_EQ(box.Run({"list", "cat.xml", "--sort", " S2 ;K"}).Status, 0);
}

TEST(SummaryCommand, CountsDiscsAndLanguagesAndNamesTheCatalogAsGiven) {
    CliSandbox box;
    box.MakeCatalog("filmy.xml", {{"--en", "A", "--lang", "cz", "--discs", "2"},
                                  {"--en", "B", "--lang", "en", "--subs", "EN,cz", "--discs", "3"},
                                  {"--en", "C", "--lang", "EN", "--subs", "de"},
                                  {"--en", "D", "--lang", "", "--discs", ""},
                                  {"--en", "E", "--lang", "DE", "--subs", "CZ"}});
    const std::string expected =
        "Souhrn datového souboru filmy.xml:\n\n\n"
        "Počet CD: 7\n\n"
        "Počet filmů: 5\n"
        "Počet filmů v češtině: 1\n"
        "Počet filmů v angličtině: 2\n"
        "Počet filmů v jiném jazyce: 2\n\n"
        "Počet filmů v angličtině s českými titulky: 1\n\n";
    const RunResult summary = box.Run({"summary", "filmy.xml"});
    EXPECT_EQ(summary.Status, 0) << summary.Err;
    EXPECT_EQ(summary.Out, expected);

    std::string raw;
    for (char c : cp1250::FromUtf8(expected)) raw += c == '\n' ? std::string("\r\n") : std::string(1, c);
    EXPECT_EQ(box.Run({"summary", "filmy.xml", "--raw"}).Out, raw);

    ASSERT_EQ(box.Run({"new", "prázdný katalog.xml"}).Status, 0);
    EXPECT_EQ(box.Run({"summary", "./prázdný katalog.xml"}).Out,
              "Souhrn datového souboru ./prázdný katalog.xml:\n\n\nPočet CD: 0\n\nPočet filmů: 0\n"
              "Počet filmů v češtině: 0\nPočet filmů v angličtině: 0\nPočet filmů v jiném jazyce: 0\n\n"
              "Počet filmů v angličtině s českými titulky: 0\n\n");
}

TEST(FindCommand, AppliesTheFindDialogsMatchRule) {
    CliSandbox box;
    box.MakeCatalog("cat.xml", {{"--en", "THE MATRIX", "--cz", "Matrix", "--note", "sci-fi"},
                                {"--en", "Čert ví proč", "--cz", "Čert ví proč"},
                                {"--en", "Cesta", "--cz", "Cesta domů", "--note", "sci-fi drama"}});
    const auto films = [&](std::vector<std::string> criteria) {
        criteria.insert(criteria.begin(), {"find", "cat.xml"});
        return box.Run(criteria);
    };
    EXPECT_EQ(films({"--en", "atri"}).Out, ListLine("THE MATRIX", "Matrix", 0, "EN", "CZ", "1", "sci-fi") + "\n");
    EXPECT_EQ(films({"--cz", "čert"}).Out,
              ListLine("Čert ví proč", "Čert ví proč", 0, "EN", "CZ", "1", "") + "\n");
    EXPECT_EQ(films({"--en", "c"}).Out, ListLine("Cesta", "Cesta domů", 0, "EN", "CZ", "1", "sci-fi drama") + "\n");
    EXPECT_EQ(films({"--note", "SCI-FI", "--cz", "cesta"}).Out,
              ListLine("Cesta", "Cesta domů", 0, "EN", "CZ", "1", "sci-fi drama") + "\n");
    EXPECT_EQ(films({"--note", "sci-fi", "--sort", "S7"}).Out,
              ListLine("THE MATRIX", "Matrix", 0, "EN", "CZ", "1", "sci-fi") + "\n" +
                  ListLine("Cesta", "Cesta domů", 0, "EN", "CZ", "1", "sci-fi drama") + "\n");

    const RunResult none = films({"--en", "atri", "--note", "drama"});
    EXPECT_EQ(none.Status, 1);
    EXPECT_EQ(none.Out, "");
    EXPECT_EQ(none.Err, "Nebyl nalezen žádný záznam.\n");
}

}  // namespace
