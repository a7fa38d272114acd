// rescue: the films of a damaged catalogue saved as a new one, with a report of
// where reading stopped, and never over the damaged file.
#include <gtest/gtest.h>

#include <filesystem>

#include "CliSandbox.h"

namespace {

namespace fs = std::filesystem;

// Five films, and the same catalogue in the binary form.
void MakeFiveFilms(const CliSandbox& box) {
    box.MakeCatalog("filmy.xml", {{"--en", "Amadeus", "--cz", "Amadeus"},
                                  {"--en", "Brazil", "--note", "a \"quoted\" & <tagged> note"},
                                  {"--en", "Černý Petr", "--cd", "7"},
                                  {"--en", "Dune"},
                                  {"--en", "Eraserhead", "--discs", "2"}});
    ASSERT_EQ(box.Run({"convert", "filmy.xml", "filmy.bin", "--format", "binary"}).Status, 0);
}

// The first `films` lines of a CSV dump: its header and its first films.
std::string DumpLines(const std::string& dump, int films) {
    std::size_t end = 0;
    for (int line = 0; line <= films; ++line) end = dump.find("\r\n", end) + 2;
    return dump.substr(0, end);
}

TEST(RescueCommand, SavesTheFilmsReadBeforeTheDamageAsANewCatalog) {
    CliSandbox box;
    MakeFiveFilms(box);
    const std::string dump = box.Run({"dump", "filmy.xml", "--format", "csv"}).Out;
    const std::string xml = box.Read("filmy.xml");
    const std::string binary = box.Read("filmy.bin");

    // Cut off inside the fourth film; then a broken fourth film in the binary form
    // (its first text's length runs past the end).
    std::size_t fourth = 0;
    for (int row = 0; row < 4; ++row) fourth = xml.find("<ROW ", fourth + 1);
    box.Write("cut.xml", xml.substr(0, fourth + 12));
    std::string broken = binary;
    broken.resize(broken.size() - 1);
    // The first title's length 7 made 46: the stop is where that film begins.
    std::string shifted = binary;
    const std::size_t length = shifted.find("\x07" "Amadeus");
    box.Write("shifted.bin", shifted.replace(length, 1, 1, 46));
    const struct {
        const char* Name;
        int Films;
        std::string Stop;
    } cases[] = {
        {"cut.xml", 3, "za bajtem " + std::to_string(fourth) + ", na řádku 4"},
        {"filmy.xml", 5, "Soubor byl přečten celý (" + std::to_string(xml.size()) + " bajtů, řádků: 5)."},
        {"broken.bin", 4, ", na řádku 5"},
        {"shifted.bin", 0, "za bajtem " + std::to_string(length - 7) + ", na řádku 1: hodnota neodpovídá"},
    };
    box.Write("broken.bin", broken);
    for (const auto& damaged : cases) {
        SCOPED_TRACE(damaged.Name);
        const std::string before = box.Read(damaged.Name);
        const RunResult rescued = box.Run({"rescue", damaged.Name, "out.xml", "--force"});
        EXPECT_EQ(rescued.Status, 0) << rescued.Err;
        EXPECT_EQ(rescued.Err, "");
        EXPECT_EQ(
            rescued.Out.rfind("Zachráněno filmů: " + std::to_string(damaged.Films) + " (uloženo do out.xml).\n", 0), 0u)
            << rescued.Out;
        EXPECT_NE(rescued.Out.find(damaged.Stop), std::string::npos) << rescued.Out;
        EXPECT_EQ(box.Read(damaged.Name), before);
        EXPECT_EQ(box.Run({"dump", "out.xml", "--format", "csv"}).Out, DumpLines(dump, damaged.Films));
    }
    // A film added to what was rescued gets a key of its own.
    EXPECT_EQ(box.Run({"add", "out.xml", "--en", "Fargo"}).Out, "6\n");

    // A film whose key repeats an earlier one is left out, and the report says so.
    std::string repeated = xml;
    repeated.replace(repeated.find("K=\"2\""), 5, "K=\"1\"");
    box.Write("repeated.xml", repeated);
    const RunResult rescued = box.Run({"rescue", "repeated.xml", "again.xml"});
    EXPECT_EQ(rescued.Status, 0) << rescued.Err;
    EXPECT_NE(rescued.Out.find("Zachráněno filmů: 4 "), std::string::npos) << rescued.Out;
    EXPECT_NE(rescued.Out.find("\nVynechané řádky s chybějícím nebo opakovaným klíčem K: 2.\n"), std::string::npos)
        << rescued.Out;

    // A note longer than any width a file can declare is cut to the longest one, and named.
    std::string longNote = xml;
    longNote.insert(longNote.find("S7=\"", longNote.find("<ROW ")) + 4, std::string(70000, 'n'));
    longNote.erase(longNote.find(" WIDTH=\"100\""), 12);
    box.Write("long.xml", longNote.substr(0, longNote.rfind("<ROW ") + 12));
    const RunResult cut = box.Run({"rescue", "long.xml", "kept.xml"});
    EXPECT_EQ(cut.Status, 0) << cut.Err;
    EXPECT_NE(cut.Out.find("Zachráněno filmů: 4 "), std::string::npos) << cut.Out;
    EXPECT_NE(cut.Out.find("\nČtení skončilo za bajtem "), std::string::npos) << cut.Out;
    EXPECT_NE(cut.Out.find("\nFilm K = 1 (řádek 1): pole S7 mělo 70000 znaků, zkráceno na 32767.\n"), std::string::npos)
        << cut.Out;
    EXPECT_NE(box.Run({"dump", "kept.xml"}).Out.find(std::string(32767, 'n') + '"'), std::string::npos);
}

TEST(RescueCommand, NeverWritesOverTheDamagedFileAndRefusesWhatHasNoFields) {
    CliSandbox box;
    MakeFiveFilms(box);
    const std::string xml = box.Read("filmy.xml");
    fs::create_symlink(box.Path("filmy.xml"), box.Path("link.xml"));
    fs::create_hard_link(box.Path("filmy.xml"), box.Path("hard.xml"));
    for (const char* out : {"filmy.xml", "./filmy.xml", "link.xml", "hard.xml"}) {
        const RunResult refused = box.Run({"rescue", "filmy.xml", out, "--force"});
        EXPECT_EQ(refused.Status, 1) << out;
        EXPECT_EQ(refused.Err, "Zachráněné filmy nelze uložit do poškozeného souboru: " + std::string(out) + ".\n");
    }
    EXPECT_EQ(box.Read("filmy.xml"), xml);
    EXPECT_TRUE(fs::is_symlink(box.Path("link.xml")));

    // An existing catalogue is replaced only when asked for.
    box.Write("other.xml", "keep");
    EXPECT_EQ(box.Run({"rescue", "filmy.xml", "other.xml"}).Status, 1);
    EXPECT_EQ(box.Read("other.xml"), "keep");

    // Cut off before the last field, or a byte of a field's name changed (XML, binary).
    box.Write("fieldless.xml", xml.substr(0, xml.find("<FIELD attrname=\"S7\"")));
    std::string renamed[] = {xml, box.Read("filmy.bin")};
    const std::size_t fields[] = {xml.find("<FIELD attrname=\"S5\""), renamed[1].find("\x02S5")};
    renamed[0][fields[0] + 17] = renamed[1][fields[1] + 1] = '(';
    box.Write("renamed.xml", renamed[0]);
    box.Write("renamed.bin", renamed[1]);
    for (const auto& [name, stop] : {std::pair<std::string, std::string>{"fieldless.xml", "ani seznam polí"},
                                     {"renamed.xml", "bajtem " + std::to_string(fields[0]) + ", u pole č. 6: "},
                                     {"renamed.bin", "bajtem " + std::to_string(fields[1]) + ", u pole č. 6: "}}) {
        const RunResult failed = box.Run({"rescue", name, "out.xml"});
        EXPECT_EQ(failed.Status, 2);
        EXPECT_EQ(failed.Out, "");
        EXPECT_EQ(failed.Err.rfind("Nepodařilo se otevřít vstupní soubor: " + name + ".\n", 0), 0u) << failed.Err;
        EXPECT_NE(failed.Err.find(stop), std::string::npos) << failed.Err;
    }
    EXPECT_EQ(box.Run({"rescue", "missing.xml", "out.xml"}).Status, 2);
    EXPECT_FALSE(box.Exists("out.xml"));
}

}  // namespace
