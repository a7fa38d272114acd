// new, add, edit and delete: what they store, what they print, and that a refused
// or empty change leaves the catalogue file exactly as it was.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>

#include "CliSandbox.h"
#include "tests/common/CatalogDocuments.h"

namespace {

const std::string kInsertRefused = "Tyto položky nelze vložit do databáze cat.xml.\n";

// A catalogue file with these table parameters and ROW elements.
std::string CatalogWith(const std::string& params, const std::string& rows) {
    using namespace catalog_documents;
    return kHeader + "<DATAPACKET Version=\"2.0\"><METADATA><FIELDS>" + kKField + kFilmFields + "</FIELDS><PARAMS" +
           params + "</METADATA><ROWDATA>" + rows + "</ROWDATA></DATAPACKET>";
}

std::string DumpOf(const CliSandbox& box, const std::string& catalog) {
    const RunResult dump = box.Run({"dump", catalog});
    EXPECT_EQ(dump.Status, 0) << dump.Err;
    return dump.Out;
}

TEST(NewCommand, CreatesAnEmptyCatalogAndRefusesToReplaceOneWithoutForce) {
    CliSandbox box;
    const RunResult created = box.Run({"new", "cat.xml"});
    EXPECT_EQ(created.Status, 0) << created.Err;
    EXPECT_EQ(created.Out, "");
    EXPECT_EQ(DumpOf(box, "cat.xml"), "[]\n");

    box.MakeCatalog("full.xml", {{"--en", "Matrix"}});
    const std::string before = box.Read("full.xml");
    const RunResult refused = box.Run({"new", "full.xml"});
    EXPECT_EQ(refused.Status, 1);
    EXPECT_NE(refused.Err.find("full.xml"), std::string::npos);
    EXPECT_EQ(box.Read("full.xml"), before);

    const RunResult forced = box.Run({"new", "full.xml", "--force"});
    EXPECT_EQ(forced.Status, 0) << forced.Err;
    EXPECT_EQ(forced.Err, "Původní soubor je uschován jako full.xml.bak. Jeho filmy lze obnovit příkazem "
                          "kinovka-cli rescue.\n");
    EXPECT_EQ(box.Read("full.xml.bak"), before);
    EXPECT_EQ(DumpOf(box, "full.xml"), "[]\n");
}

TEST(NewCommand, ReportsAFileThatCannotBeWritten) {
    CliSandbox box;
    const RunResult failed = box.Run({"new", "no-such-dir/cat.xml"});
    EXPECT_EQ(failed.Status, 2);
    EXPECT_EQ(failed.Err.substr(0, failed.Err.find('\n') + 1),
              "Nepodařilo se uložit soubor: no-such-dir/cat.xml.\n");
}

TEST(AddCommand, StoresTheAddFormsValuesAndPrintsTheNewKey) {
    CliSandbox box;
    box.MakeCatalog("cat.xml", {});
    RunResult added = box.Run({"add", "cat.xml", "--en", "Matrix"});
    EXPECT_EQ(added.Status, 0) << added.Err;
    EXPECT_EQ(added.Out, "1\n");
    added = box.Run({"add", "cat.xml", "--en", "Alien", "--cz", "Vetřelec", "--cd", "12", "--lang", "CZ", "--subs",
                     "", "--discs", "2", "--note", "režisérská verze"});
    EXPECT_EQ(added.Out, "2\n");
    added = box.Run({"add", "cat.xml", "--en", "Zorro", "--cz", "", "--cd", "", "--discs", ""});
    EXPECT_EQ(added.Out, "3\n");

    EXPECT_EQ(DumpOf(box, "cat.xml"),
              "[\n"
              "  {\"K\": 2, \"S1\": \"Alien\", \"S2\": \"Vetřelec\", \"S3\": 12, \"S4\": \"CZ\", \"S5\": \"\", "
              "\"S6\": 2, \"S7\": \"režisérská verze\"},\n"
              "  {\"K\": 1, \"S1\": \"Matrix\", \"S2\": \"Matrix\", \"S3\": 0, \"S4\": \"EN\", \"S5\": \"CZ\", "
              "\"S6\": 1, \"S7\": \"\"},\n"
              "  {\"K\": 3, \"S1\": \"Zorro\", \"S2\": \"\", \"S3\": 0, \"S4\": \"EN\", \"S5\": \"CZ\", "
              "\"S6\": 0, \"S7\": \"\"}\n"
              "]\n");
}

TEST(AddCommand, CutsTextsToTheirFieldsAndTakesStrictNumbers) {
    CliSandbox box;
    box.MakeCatalog("cat.xml", {});
    const std::string sixty(60, 'x');
    ASSERT_EQ(box.Run({"add", "cat.xml", "--en", sixty, "--cz", "Word   ", "--cd", "  $1F", "--discs", "-0x10",
                       "--lang", "ENG"})
                  .Status,
              0);
    EXPECT_EQ(DumpOf(box, "cat.xml"), "[\n  {\"K\": 1, \"S1\": \"" + std::string(50, 'x') +
                                          "\", \"S2\": \"Word\", \"S3\": 31, \"S4\": \"EN\", \"S5\": \"CZ\", "
                                          "\"S6\": -16, \"S7\": \"\"}\n]\n");
}

TEST(AddCommand, RefusesABadNumberAndLeavesTheFileUntouched) {
    CliSandbox box;
    box.MakeCatalog("cat.xml", {{"--en", "Matrix"}});
    const std::string before = box.Read("cat.xml");
    for (const char* bad : {"12a", "1 2", "12 ", "-", "2147483648", "0x"}) {
        const RunResult refused = box.Run({"add", "cat.xml", "--en", "Alien", "--cd", bad});
        EXPECT_EQ(refused.Status, 1) << bad;
        EXPECT_EQ(refused.Out, "") << bad;
        EXPECT_EQ(refused.Err, kInsertRefused) << bad;
    }
    EXPECT_EQ(box.Run({"add", "cat.xml", "--discs", "two"}).Err, kInsertRefused);
    EXPECT_EQ(box.Read("cat.xml"), before);
}

TEST(AddCommand, ReportsACatalogThatCannotBeOpened) {
    CliSandbox box;
    const RunResult missing = box.Run({"add", "missing.xml", "--en", "Matrix"});
    EXPECT_EQ(missing.Status, 2);
    EXPECT_EQ(missing.Err, "Nepodařilo se otevřít vstupní soubor: missing.xml.\nSoubor nebo složka neexistuje.\n");
    EXPECT_FALSE(box.Exists("missing.xml"));
}

TEST(AddCommand, ShowsTheEngineCodeWhenTheTableRefusesTheFilm) {
    CliSandbox box;
    // No key is left after 2 147 483 647.
    box.Write("cat.xml", CatalogWith(" AUTOINCVALUE=\"2147483647\"/>", "<ROW K=\"2147483647\"/>"));
    const std::string before = box.Read("cat.xml");
    const RunResult refused = box.Run({"add", "cat.xml", "--en", "B"});
    EXPECT_EQ(refused.Status, 1);
    EXPECT_EQ(refused.Err,
              kInsertRefused + "0x2603\nKatalog už nemá volný klíč K: další by přesáhl 2 147 483 647.\n");
    EXPECT_EQ(box.Read("cat.xml"), before);
}

TEST(AddCommand, RefusesOnlyWhatTheFileCouldNotCarry) {
    CliSandbox box;
    // Notes of these lengths, the note column declared so (without a width it
    // widens to its longest note, beyond what a saved width can say).
    const auto withNotes = [](const std::string& width, const std::vector<int>& lengths) {
        std::string rows;
        for (std::size_t i = 0; i < lengths.size(); ++i)
            rows += "<ROW K=\"" + std::to_string(i + 1) + "\" S7=\"" + std::string(lengths[i], 'n') + "\"/>";
        std::string catalog = CatalogWith(" AUTOINCVALUE=\"9\"/>", rows);
        return catalog.replace(catalog.find(" WIDTH=\"100\""), 12, width);
    };
    const std::string tooLong = withNotes("", {40000});
    box.Write("cat.xml", tooLong);
    const RunResult added = box.Run({"add", "cat.xml", "--en", "b"});
    EXPECT_EQ(added.Status, 2);
    EXPECT_EQ(added.Err, "Nepodařilo se uložit soubor: cat.xml.\n0x2702\n");
    EXPECT_EQ(box.Read("cat.xml"), tooLong);
    // The width a save writes comes from the notes it writes: a change that
    // shortens or removes the long note saves.
    EXPECT_EQ(box.Run({"edit", "cat.xml", "1", "--note", "short"}).Status, 0);
    box.Write("gone.xml", tooLong);
    EXPECT_EQ(box.Run({"delete", "gone.xml", "1"}).Status, 0);
    // The longest note decides, whatever the order of the rows; WIDTH="0" is no width.
    for (const auto& [width, lengths] : std::vector<std::pair<std::string, std::vector<int>>>{
             {"", {20000, 20001}}, {"", {20001, 20000}}, {" WIDTH=\"0\"", {1000}}}) {
        box.Write("wide.xml", withNotes(width, lengths));
        ASSERT_EQ(box.Run({"add", "wide.xml", "--en", "b"}).Status, 0) << lengths[0];
        const int longest = *std::max_element(lengths.begin(), lengths.end());
        EXPECT_NE(box.Read("wide.xml").find("\"S7\" fieldtype=\"string\" WIDTH=\"" + std::to_string(longest) + "\"/>"),
                  std::string::npos);
        EXPECT_NE(DumpOf(box, "wide.xml").find('"' + std::string(longest, 'n') + '"'), std::string::npos);
    }
}

TEST(AddCommand, RefusesTheChangesTheCatalogDisables) {
    CliSandbox box;
    const std::vector<std::string> commands[] = {
        {"add", "cat.xml", "--en", "b"}, {"edit", "cat.xml", "1", "--cd", "5"}, {"delete", "cat.xml", "1"}};
    for (const auto& [params, refused] : std::vector<std::pair<std::string, std::string>>{
             {" READONLY=\"TRUE\"/>", "aed"}, {" READONLY=\"FALSE\"/>", ""},
             {"><PARAM Name=\"DISABLE_INSERTS\" Value=\"TRUE\" Type=\"boolean\"/></PARAMS>", "a"},
             {"><PARAM Name=\"DISABLE_EDITS\" Value=\"T\"/></PARAMS>", "e"},
             {"><PARAM Name=\"DISABLE_DELETES\" Value=\"1\" Type=\"i4\"/></PARAMS>", "d"}}) {
        for (std::size_t c = 0; c < 3; ++c) {
            SCOPED_TRACE(params + " " + commands[c][0]);
            const std::string catalog = CatalogWith(" AUTOINCVALUE=\"2\"" + params, "<ROW K=\"1\" S1=\"a\"/>");
            box.Write("cat.xml", catalog);
            const RunResult run = box.Run(commands[c]);
            const bool refuses = refused.find("aed"[c]) != std::string::npos;
            EXPECT_EQ(run.Status, refuses ? 1 : 0) << run.Err;
            if (!refuses) continue;
            EXPECT_EQ(run.Err, (c == 2 ? "Tyto položky nelze smazat z databáze cat.xml.\n" : kInsertRefused) + "0x2A04\n");
            EXPECT_EQ(box.Read("cat.xml"), catalog);
        }
    }
}

TEST(AddCommand, TakesAnUnreadableParameterForAnAbsentOne) {
    CliSandbox box;
    box.Write("cat.xml", CatalogWith(" AUTOINCVALUE=\"abc\"><PARAM Name=\"Z\" Value=\"3\" Type=\"boolean\"/>"
                                     "<PARAM Name=\"Y\" Value=\"t\" Type=\"boolean\"/></PARAMS>",
                                     "<ROW K=\"1\" S1=\"a\"/>"));
    const RunResult added = box.Run({"add", "cat.xml", "--en", "b"});
    EXPECT_EQ(added.Status, 0) << added.Err;
    EXPECT_EQ(added.Out, "2\n");
    const std::string saved = box.Read("cat.xml");
    EXPECT_NE(saved.find("AUTOINCVALUE=\"3\""), std::string::npos) << saved;
    EXPECT_EQ(saved.find("\"Z\""), std::string::npos) << saved;
    EXPECT_NE(saved.find("<PARAM Name=\"Y\" Value=\"TRUE\" Type=\"boolean\"/>"), std::string::npos) << saved;
}

// A counter missing, not positive or behind the keys: one above the largest key.
TEST(AddCommand, GivesEachFilmAKeyAboveTheOthersWhateverTheCounter) {
    CliSandbox box;
    for (const auto& [params, rows, key] : std::vector<std::array<std::string, 3>>{
             {"/>", "<ROW K=\"4\"/><ROW K=\"2\"/>", "5"},
             {" AUTOINCVALUE=\"$10\"/>", "<ROW K=\"-3\"/>", "1"},
             {" AUTOINCVALUE=\"3\"/>", "<ROW K=\"5\"/>", "6"},
             {" AUTOINCVALUE=\"2147483647\"/>", "<ROW K=\"5\"/>", "2147483647"}}) {
        box.Write("cat.xml", CatalogWith(params, rows));
        EXPECT_EQ(box.Run({"add", "cat.xml"}).Out, key + "\n") << params << rows;
    }
    EXPECT_EQ(box.Run({"add", "cat.xml"}).Status, 1);  // the last key leaves none after it
}

TEST(AddCommand, KeepsKeysRisingAfterTheHighestWasDeleted) {
    CliSandbox box;
    box.MakeCatalog("cat.xml", {{"--en", "A"}, {"--en", "B"}});
    ASSERT_EQ(box.Run({"delete", "cat.xml", "2"}).Status, 0);
    EXPECT_EQ(box.Run({"add", "cat.xml", "--en", "C"}).Out, "3\n");
}

TEST(EditCommand, ChangesOnlyTheGivenFields) {
    CliSandbox box;
    box.MakeCatalog("cat.xml", {{"--en", "Matrix", "--cd", "7", "--note", "sci-fi"}});
    const RunResult edited = box.Run({"edit", "cat.xml", "1", "--cd", "8", "--lang", "CZ"});
    EXPECT_EQ(edited.Status, 0) << edited.Err;
    EXPECT_EQ(edited.Out, "");
    EXPECT_EQ(DumpOf(box, "cat.xml"),
              "[\n  {\"K\": 1, \"S1\": \"Matrix\", \"S2\": \"Matrix\", \"S3\": 8, \"S4\": \"CZ\", \"S5\": \"CZ\", "
              "\"S6\": 1, \"S7\": \"sci-fi\"}\n]\n");

    // Blanks at the end of a stored title stay while the title is not given.
    box.Write("blanks.xml", CatalogWith(" AUTOINCVALUE=\"2\"/>", "<ROW K=\"1\" S1=\"b  \" S2=\"c \"/>"));
    ASSERT_EQ(box.Run({"edit", "blanks.xml", "1", "--note", "hello", "--cz", "d "}).Status, 0);
    EXPECT_NE(DumpOf(box, "blanks.xml").find("\"S1\": \"b  \", \"S2\": \"d\""), std::string::npos)
        << DumpOf(box, "blanks.xml");
}

TEST(EditCommand, ANewEnglishTitleFillsAnEmptyCzechTitleOnly) {
    CliSandbox box;
    box.MakeCatalog("cat.xml", {{"--en", "A", "--cz", ""}, {"--en", "B", "--cz", "Bé"}});
    ASSERT_EQ(box.Run({"edit", "cat.xml", "1", "--en", "Alien"}).Status, 0);
    ASSERT_EQ(box.Run({"edit", "cat.xml", "2", "--en", "Brazil"}).Status, 0);
    const std::string dump = DumpOf(box, "cat.xml");
    EXPECT_NE(dump.find("\"S1\": \"Alien\", \"S2\": \"Alien\""), std::string::npos) << dump;
    EXPECT_NE(dump.find("\"S1\": \"Brazil\", \"S2\": \"Bé\""), std::string::npos) << dump;
}

TEST(EditCommand, RefusesUnknownKeysBadKeysAndBadNumbersWithoutWriting) {
    CliSandbox box;
    box.MakeCatalog("cat.xml", {{"--en", "Matrix"}});
    const std::string before = box.Read("cat.xml");
    const RunResult unknown = box.Run({"edit", "cat.xml", "5", "--cd", "1"});
    EXPECT_EQ(unknown.Status, 1);
    EXPECT_NE(unknown.Err.find("5"), std::string::npos);
    EXPECT_EQ(box.Run({"edit", "cat.xml", "one", "--cd", "1"}).Status, 1);
    const RunResult badNumber = box.Run({"edit", "cat.xml", "1", "--en", "Alien", "--discs", "x1g"});
    EXPECT_EQ(badNumber.Status, 1);
    EXPECT_EQ(badNumber.Err, kInsertRefused);
    EXPECT_EQ(box.Read("cat.xml"), before);
}

TEST(EditCommand, NeverRewritesACatalogThatDidNotChange) {
    CliSandbox box;
    box.MakeCatalog("cat.xml", {{"--en", "Matrix", "--cd", "7"}});
    // A binary copy: any rewrite of it would come out as XML.
    ASSERT_EQ(box.Run({"convert", "cat.xml", "cat.bin", "--format", "binary"}).Status, 0);
    const std::string binary = box.Read("cat.bin");
    EXPECT_EQ(box.Run({"edit", "cat.bin", "1", "--cd", "7", "--en", "Matrix"}).Status, 0);
    EXPECT_EQ(box.Run({"edit", "cat.bin", "1"}).Status, 0);
    for (const char* command : {"list", "summary", "dump", "find"}) EXPECT_EQ(box.Run({command, "cat.bin"}).Status, 0);
    EXPECT_EQ(box.Read("cat.bin"), binary);
}

TEST(DeleteCommand, DeletesByKeyAndRefusesAnUnknownKey) {
    CliSandbox box;
    box.MakeCatalog("cat.xml", {{"--en", "A"}, {"--en", "B"}, {"--en", "C"}});
    const RunResult deleted = box.Run({"delete", "cat.xml", "2"});
    EXPECT_EQ(deleted.Status, 0) << deleted.Err;
    EXPECT_EQ(deleted.Out, "");
    const std::string after = box.Read("cat.xml");
    const std::string dump = DumpOf(box, "cat.xml");
    EXPECT_EQ(dump.find("\"S1\": \"B\""), std::string::npos);
    EXPECT_NE(dump.find("\"S1\": \"C\""), std::string::npos);

    EXPECT_EQ(box.Run({"delete", "cat.xml", "2"}).Status, 1);
    EXPECT_EQ(box.Run({"delete", "cat.xml", "x"}).Status, 1);
    EXPECT_EQ(box.Read("cat.xml"), after);
    EXPECT_EQ(box.Run({"delete", "missing.xml", "1"}).Status, 2);
}

}  // namespace
