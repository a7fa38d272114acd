// dump, export and import: the catalogue as JSON and RFC 4180 CSV, and CSV files
// added to a catalogue all at once or not at all.
#include <gtest/gtest.h>

#include <filesystem>
#include <optional>
#include <random>

#include "CliSandbox.h"
#include "text/Cp1250.h"

namespace {

const std::string kInsertRefused = "Tyto položky nelze vložit do databáze cat.xml.\n";

// The CSV text without its first column, the keys, which a new catalogue hands
// out anew. Records end with CR LF; the line breaks inside cells here are LF.
std::string WithoutKeys(const std::string& csv) {
    std::string out;
    for (std::size_t start = 0; start < csv.size();) {
        const std::size_t end = csv.find("\r\n", start);
        const std::size_t comma = csv.find(',', start);
        out += csv.substr(comma + 1, end + 2 - (comma + 1));
        start = end + 2;
    }
    return out;
}

TEST(DumpCommand, WritesCsvWithRfc4180QuotingAndKeepsEmptyTextApartFromNull) {
    CliSandbox box;
    box.MakeCatalog("cat.xml", {{"--en", "Dobrý, špatný, zlý", "--cz", "", "--cd", "3", "--subs", "",
                                 "--note", "řekl \"ahoj\"\nna dva řádky"},
                                {"--en", "Matrix"}});
    const RunResult dump = box.Run({"dump", "cat.xml", "--format", "csv"});
    EXPECT_EQ(dump.Status, 0) << dump.Err;
    EXPECT_EQ(dump.Out,
              "K,S1,S2,S3,S4,S5,S6,S7\r\n"
              "1,\"Dobrý, špatný, zlý\",\"\",3,EN,\"\",1,\"řekl \"\"ahoj\"\"\nna dva řádky\"\r\n"
              "2,Matrix,Matrix,0,EN,CZ,1,\"\"\r\n");
    EXPECT_EQ(box.Run({"dump", "cat.xml", "--format", "csv", "--sort", "S1;K"}).Out, dump.Out);
    EXPECT_EQ(box.Run({"dump", "cat.xml", "--format", "xml"}).Status, 1);
}

TEST(DumpCommand, WritesJsonWithEscapesAndNumbers) {
    CliSandbox box;
    box.MakeCatalog("cat.xml", {{"--en", "Tab\there", "--note", "back\\slash \"quoted\"\n", "--cd", "-3"}});
    EXPECT_EQ(box.Run({"dump", "cat.xml"}).Out,
              "[\n  {\"K\": 1, \"S1\": \"Tab\\there\", \"S2\": \"Tab\\there\", \"S3\": -3, \"S4\": \"EN\", "
              "\"S5\": \"CZ\", \"S6\": 1, \"S7\": \"back\\\\slash \\\"quoted\\\"\\n\"}\n]\n");
}

TEST(DumpCommand, ShowsNullFieldsAsNullAndAsEmptyCells) {
    CliSandbox box;
    box.MakeCatalog("cat.xml", {{"--en", "A"}});
    // A field without its attribute in the file is null.
    std::string packet = box.Read("cat.xml");
    for (const std::string attribute : {" S3=\"0\"", " S7=\"\""}) {
        ASSERT_NE(packet.find(attribute), std::string::npos) << packet;
        packet.erase(packet.find(attribute), attribute.size());
    }
    box.Write("cat.xml", packet);
    EXPECT_EQ(box.Run({"dump", "cat.xml"}).Out,
              "[\n  {\"K\": 1, \"S1\": \"A\", \"S2\": \"A\", \"S3\": null, \"S4\": \"EN\", \"S5\": \"CZ\", "
              "\"S6\": 1, \"S7\": null}\n]\n");
    EXPECT_EQ(box.Run({"dump", "cat.xml", "--format", "csv"}).Out, "K,S1,S2,S3,S4,S5,S6,S7\r\n1,A,A,,EN,CZ,1,\r\n");
}

TEST(ExportImport, RoundTripGivesTheSameDump) {
    CliSandbox box;
    box.MakeCatalog("a.xml", {{"--en", "Pelíšky", "--lang", "CZ", "--subs", "", "--cd", "4", "--discs", "2"},
                              {"--en", "Dobrý, špatný, zlý", "--cz", "", "--note", "\"western\"\nItálie"},
                              {"--en", "Matrix", "--cd", "0x10", "--note", "Žluťoučký kůň"},
                              {"--en", "", "--cz", "Bez názvu", "--lang", "", "--discs", "0"}});
    const RunResult exported = box.Run({"export", "a.xml", "a.csv"});
    ASSERT_EQ(exported.Status, 0) << exported.Err;
    EXPECT_EQ(exported.Out, "");
    EXPECT_EQ(box.Read("a.csv"), box.Run({"dump", "a.xml", "--format", "csv"}).Out);

    ASSERT_EQ(box.Run({"new", "b.xml"}).Status, 0);
    const RunResult imported = box.Run({"import", "b.xml", "a.csv"});
    ASSERT_EQ(imported.Status, 0) << imported.Err;
    const std::string original = box.Run({"dump", "a.xml", "--format", "csv"}).Out;
    const std::string copy = box.Run({"dump", "b.xml", "--format", "csv"}).Out;
    EXPECT_EQ(WithoutKeys(copy), WithoutKeys(original));
    EXPECT_EQ(box.Run({"list", "b.xml"}).Out, box.Run({"list", "a.xml"}).Out);
}

TEST(ImportCommand, TakesTheGridsTitlesInAnyOrderAndDefaultsForMissingColumns) {
    CliSandbox box;
    box.MakeCatalog("cat.xml", {{"--en", "Existing"}});
    box.Write("films.csv",
              "\xEF\xBB\xBF" "Poznámka,č. CD,Název anglicky\n"
              "nová,7,Amélie\n"
              "\n"
              ",,Brazil\n");
    const RunResult imported = box.Run({"import", "cat.xml", "films.csv"});
    EXPECT_EQ(imported.Status, 0) << imported.Err;
    EXPECT_EQ(box.Run({"dump", "cat.xml", "--format", "csv"}).Out,
              "K,S1,S2,S3,S4,S5,S6,S7\r\n"
              "2,Amélie,Amélie,7,EN,CZ,1,nová\r\n"
              "3,Brazil,Brazil,,EN,CZ,1,\r\n"
              "1,Existing,Existing,0,EN,CZ,1,\"\"\r\n");

    box.Write("more.csv", "S2,S1,S6,S4,S5,S3,S7,K\r\n\"\",\"Prázdný, český\",2,CZ,,1,\"x\"\"y\",99\r\n");
    ASSERT_EQ(box.Run({"import", "cat.xml", "more.csv"}).Status, 0);
    EXPECT_NE(box.Run({"dump", "cat.xml", "--format", "csv"}).Out.find("4,\"Prázdný, český\",\"\",1,CZ,,2,\"x\"\"y\"\r\n"),
              std::string::npos);
}

// A lone CR ends a line, CR LF inside quotes stays in the cell, blanks around a
// title are not part of it, and a line of only "" is one cell holding an empty text.
TEST(ImportCommand, ReadsLineEndsQuotedBreaksPaddedTitlesAndALoneEmptyText) {
    CliSandbox box;
    ASSERT_EQ(box.Run({"new", "cat.xml"}).Status, 0);
    box.Write("films.csv", " S7 , Název anglicky ,S3 \r\"first\r\nsecond\",Amélie,7\rplain,Brazil,8\r");
    const RunResult imported = box.Run({"import", "cat.xml", "films.csv"});
    EXPECT_EQ(imported.Status, 0) << imported.Err;
    EXPECT_EQ(box.Run({"dump", "cat.xml", "--format", "csv"}).Out,
              "K,S1,S2,S3,S4,S5,S6,S7\r\n"
              "1,Amélie,Amélie,7,EN,CZ,1,\"first\r\nsecond\"\r\n"
              "2,Brazil,Brazil,8,EN,CZ,1,plain\r\n");

    ASSERT_EQ(box.Run({"new", "one.xml"}).Status, 0);
    box.Write("one.csv", "S7\n\"\"\n");
    ASSERT_EQ(box.Run({"import", "one.xml", "one.csv"}).Status, 0);
    const std::string dump = box.Run({"dump", "one.xml"}).Out;
    EXPECT_NE(dump.find("{\"K\": 1,"), std::string::npos) << dump;
    EXPECT_NE(dump.find("\"S7\": \"\"}"), std::string::npos) << dump;
}

TEST(ImportCommand, ABadRowAddsNothingAndIsNamedByItsLine) {
    CliSandbox box;
    box.MakeCatalog("cat.xml", {{"--en", "Matrix"}});
    const std::string before = box.Read("cat.xml");
    const struct {
        const char* Csv;
        const char* Where;
    } cases[] = {
        {"S1,S3\nA,1\nB,2\n\"C\nwith a break\",3\nD,12a\n", "bad.csv:6: "},
        {"S1,S6\nA,1\nB,two\n", "bad.csv:3: "},
        {"S1,S3\nA,1\nB\n", "bad.csv:3: "},
        {"S1,S3\nA,1,2\n", "bad.csv:2: "},
        {"S1\nA\n\"B\" x\n", "bad.csv:3: "},
        {"S1\nA\nB\"s\n", "bad.csv:3: "},
        {"S1\nA\n\"unterminated\n", "bad.csv:3: "},
        {"S1,Název anglicky\nA,B\n", "bad.csv:1: "},
        {"", "bad.csv:1: "},
    };
    for (const auto& bad : cases) {
        box.Write("bad.csv", bad.Csv);
        const RunResult refused = box.Run({"import", "cat.xml", "bad.csv"});
        EXPECT_EQ(refused.Status, 1) << bad.Csv;
        EXPECT_EQ(refused.Err.substr(0, kInsertRefused.size() + std::string(bad.Where).size()),
                  kInsertRefused + bad.Where)
            << bad.Csv << "\n" << refused.Err;
        EXPECT_EQ(box.Read("cat.xml"), before) << bad.Csv;
    }
    // Counts in the messages take the Czech forms that go with them.
    for (const auto& [csv, counts] : {std::pair{"S1,S3\nA,1\nB\n", "řádek: 1 buňka, záhlaví: 2 buňky"},
                                      std::pair{"S1;S3;S4;S5;S6\nA;1;EN;;1;x;y;z;w;v\n",
                                                "řádek: 10 buněk, záhlaví: 5 buněk"}}) {
        box.Write("bad.csv", csv);
        const RunResult refused = box.Run({"import", "cat.xml", "bad.csv"});
        EXPECT_NE(refused.Err.find(counts), std::string::npos) << refused.Err;
    }
    const RunResult missing = box.Run({"import", "cat.xml", "none.csv"});
    EXPECT_EQ(missing.Status, 1);
    EXPECT_EQ(missing.Err, "Nepodařilo se otevřít vstupní soubor: none.csv.\n");
}

// Random films, written as CSV in the many ways a file may carry them, must come
// out of import and export exactly as a plain model of the films says.
TEST(ExportImport, RandomFilmsKeepNullsEmptyTextsAndEveryCharacter) {
    using Film = std::array<std::optional<std::string>, 7>;  // S1 ... S7 as UTF-8; S3 and S6 decimal
    const std::size_t widths[7] = {50, 50, 0, 2, 11, 0, 100};
    // Czech letters whose Windows-1250 bytes are all lead bytes of UTF-8, so that
    // the Windows-1250 form of a file is never taken for UTF-8.
    const std::vector<std::string> letters{"a", "Z", " ", ",", ";", "\t", "\"", "\n", "\r\n", "č", "ř", "ů", "Ď", "'"};
    std::mt19937 random(17);
    const auto pick = [&](std::size_t n) { return std::uniform_int_distribution<std::size_t>(0, n - 1)(random); };
    const auto randomFilm = [&] {
        Film film;
        for (std::size_t f = 0; f < 7; ++f) {
            if (pick(4) == 0) continue;  // null
            if (widths[f] == 0) {
                film[f] = std::to_string(static_cast<std::int32_t>(random()));
                continue;
            }
            std::string text;  // within the field's width in Windows-1250 bytes
            for (std::size_t n = pick(widths[f] / 2 + 1), i = 0; i < n; ++i) {
                const std::string& letter = letters[pick(letters.size())];
                if (cp1250::FromUtf8(text + letter).size() <= widths[f]) text += letter;
            }
            while (!text.empty() && text.back() == ' ') text.pop_back();  // the table drops trailing blanks
            film[f] = text;
        }
        return film;
    };
    const auto exportedCsv = [](const std::vector<Film>& films) {
        std::string csv = "K,S1,S2,S3,S4,S5,S6,S7\r\n";
        for (std::size_t k = 0; k < films.size(); ++k) {
            csv += std::to_string(k + 1);
            for (const std::optional<std::string>& value : films[k]) {
                csv += ',';
                if (!value) continue;
                if (!value->empty() && value->find_first_of(",\"\r\n") == std::string::npos) {
                    csv += *value;
                    continue;
                }
                csv += '"';
                for (char c : *value) csv += c == '"' ? std::string("\"\"") : std::string(1, c);
                csv += '"';
            }
            csv += "\r\n";
        }
        return csv;
    };
    const auto spreadsheetCsv = [&](const std::vector<Film>& films) {
        const char separator = ",;\t"[pick(3)];
        const std::string lineEnd = pick(2) ? "\r\n" : "\n";
        std::string csv;
        for (std::string_view name : {"S1", "Název česky", "S3", "Znění", "S5", "ks CD", "S7"}) {
            csv += std::string(name) + (name == "S7" ? lineEnd : std::string(1, separator));
        }
        for (const Film& film : films) {
            for (std::size_t f = 0; f < 7; ++f) {
                const std::optional<std::string>& value = film[f];
                if (value && (value->empty() || pick(3) == 0 ||
                              value->find_first_of(std::string("\"\r\n") + separator) != std::string::npos)) {
                    csv += '"';
                    for (char c : *value) csv += c == '"' ? std::string("\"\"") : std::string(1, c);
                    csv += '"';
                } else if (value) {
                    csv += *value;
                }
                csv += f < 6 ? std::string(1, separator) : lineEnd;
            }
        }
        return csv;
    };

    CliSandbox box;
    for (int round = 0; round < 6; ++round) {
        std::vector<Film> films(1 + pick(30));
        for (Film& film : films) film = randomFilm();
        const std::string csv = spreadsheetCsv(films);
        // UTF-8 with or without its byte order mark, or Windows-1250.
        box.Write("in.csv", round % 3 == 0 ? cp1250::FromUtf8(csv) : round % 3 == 1 ? "\xEF\xBB\xBF" + csv : csv);
        ASSERT_EQ(box.Run({"new", "a.xml", "--force"}).Status, 0);
        const RunResult imported = box.Run({"import", "a.xml", "in.csv"});
        ASSERT_EQ(imported.Status, 0) << imported.Err << csv;
        EXPECT_EQ(imported.Err, "");
        ASSERT_EQ(box.Run({"export", "a.xml", "a.csv", "--sort", "K", "--force"}).Status, 0);
        EXPECT_EQ(box.Read("a.csv"), exportedCsv(films)) << csv;

        ASSERT_EQ(box.Run({"new", "b.xml", "--force"}).Status, 0);
        ASSERT_EQ(box.Run({"import", "b.xml", "a.csv"}).Status, 0);
        EXPECT_EQ(box.Run({"dump", "b.xml", "--sort", "K"}).Out, box.Run({"dump", "a.xml", "--sort", "K"}).Out);
    }
}

TEST(ImportCommand, ReadsWhatSpreadsheetsWriteAndWarnsOfWhatItLeavesOut) {
    CliSandbox box;
    ASSERT_EQ(box.Run({"new", "cat.xml"}).Status, 0);
    // A Czech spreadsheet: ";" between cells, Windows-1250, a column the catalogue does not have.
    box.Write("cz.csv", cp1250::FromUtf8("Název anglicky;Rok;Název česky;č. CD;Žánr\r\n"
                                         "Alien;1979;Vetřelec;3;sci-fi\r\n"
                                         "\"Dobrý; zlý\";1966;Hodný, zlý a ošklivý;4;western\r\n"));
    RunResult imported = box.Run({"import", "cat.xml", "cz.csv"});
    EXPECT_EQ(imported.Status, 0);
    EXPECT_EQ(imported.Err, "cz.csv:1: vynechány neznámé sloupce (2 sloupce): \"Rok\", \"Žánr\"\n");
    // Tabs in UTF-8, a character Windows-1250 lacks on line 3, an unnamed column.
    box.Write("tab.csv", "S1\tS7\t\nBrazil\tGilliam\t\nSněhulák\t☃ a ✓\tx\n");
    imported = box.Run({"import", "cat.xml", "tab.csv"});
    EXPECT_EQ(imported.Status, 0);
    EXPECT_EQ(imported.Err,
              "tab.csv:1: vynechány neznámé sloupce (1 sloupec): \"\"\n"
              "tab.csv:3: znaky, které Windows-1250 nemá, jsou uloženy jako \"?\"\n");
    EXPECT_EQ(box.Run({"dump", "cat.xml", "--format", "csv", "--sort", "K"}).Out,
              "K,S1,S2,S3,S4,S5,S6,S7\r\n"
              "1,Alien,Vetřelec,3,EN,CZ,1,\"\"\r\n"
              "2,Dobrý; zlý,\"Hodný, zlý a ošklivý\",4,EN,CZ,1,\"\"\r\n"
              "3,Brazil,Brazil,0,EN,CZ,1,Gilliam\r\n"
              "4,Sněhulák,Sněhulák,0,EN,CZ,1,? a ?\r\n");
}

TEST(ImportCommand, AHeaderWithoutRowsLeavesTheFileAlone) {
    CliSandbox box;
    box.MakeCatalog("cat.xml", {{"--en", "Matrix"}});
    ASSERT_EQ(box.Run({"convert", "cat.xml", "cat.bin", "--format", "binary"}).Status, 0);
    const std::string binary = box.Read("cat.bin");
    box.Write("empty.csv", "S1,S2\r\n");
    EXPECT_EQ(box.Run({"import", "cat.bin", "empty.csv"}).Status, 0);
    EXPECT_EQ(box.Read("cat.bin"), binary);
}

TEST(ExportCommand, ReportsAFileThatCannotBeWritten) {
    CliSandbox box;
    box.MakeCatalog("cat.xml", {{"--en", "Matrix"}});
    const RunResult failed = box.Run({"export", "cat.xml", "no-such-dir/out.csv"});
    EXPECT_EQ(failed.Status, 2);
    EXPECT_EQ(failed.Err.substr(0, failed.Err.find('\n') + 1), "Nepodařilo se uložit soubor: no-such-dir/out.csv.\n");
}

// Never the catalogue, another file only with --force, no format guessed.
TEST(ExportCommand, RefusesToReplaceAFileOrTheCatalogAndToGuessAFormat) {
    CliSandbox box;
    box.MakeCatalog("cat.xml", {{"--en", "Matrix"}});
    const std::string catalog = box.Read("cat.xml");
    box.Write("other.xml", "another catalogue");
    std::filesystem::create_symlink("cat.xml", box.Path("link.csv"));
    std::filesystem::create_hard_link(box.Path("cat.xml"), box.Path("hard.html"));
    for (const std::vector<std::string>& refused : std::vector<std::vector<std::string>>{
             {"export", "cat.xml", "other.xml", "--format", "csv"}, {"export", "cat.xml", "new.xml"},
             {"export", "cat.xml", "./cat.xml", "--format", "csv", "--force"},
             {"export", "cat.xml", "link.csv", "--force"}, {"export", "cat.xml", "hard.html", "--force"}})
        EXPECT_EQ(box.Run(refused).Status, 1) << refused[2];
    EXPECT_EQ(box.Read("cat.xml") + box.Read("other.xml"), catalog + "another catalogue");
    EXPECT_EQ(box.Run({"export", "cat.xml", "other.xml", "--format", "csv", "--force"}).Status, 0);
    EXPECT_EQ(box.Read("other.xml"), box.Run({"dump", "cat.xml", "--format", "csv"}).Out);
}

}  // namespace
