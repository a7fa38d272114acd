// import of other catalogue programs' files: each format's mapped fields, the
// summary, the dry run, the duplicates rule, one version per import, and files
// refused whole with the catalogue left as it was.
#include <gtest/gtest.h>

#include <cstdint>

#include "CliSandbox.h"
#include "text/Cp1250.h"

namespace {

// Ant Movie Catalog's binary layout (formats.md 1.1) written piece by piece:
// 'i' a 32-bit number, 'b' a one-byte flag, 't' a text from the list, 'r' one
// as raw bytes (a picture's).
std::string Amc(std::string_view header, std::string_view pieces, std::vector<std::string> texts,
                std::vector<std::int32_t> numbers) {
    std::string bytes(header);
    const auto number = [&](std::int32_t value) {
        for (int i = 0; i < 4; ++i) bytes += static_cast<char>(static_cast<std::uint32_t>(value) >> (8 * i) & 0xFF);
    };
    std::size_t text = 0, next = 0;
    for (char piece : pieces) {
        if (piece == 'i') number(numbers.at(next++));
        if (piece == 'b') bytes += '\1';
        if (piece == 't' || piece == 'r') {
            const std::string value = cp1250::FromUtf8(texts.at(text++));
            if (piece == 't') number(static_cast<std::int32_t>(value.size()));
            bytes += value;
        }
    }
    return bytes;
}

const std::string kAmc35 = " AMC_3.5 Ant Movie Catalog 3.5.x   www.buypin.com    www.antp.be ";
const std::string kAmc42 = " AMC_4.2 Ant Movie Catalog 4.2.x   antp/soulsnake    www.antp.be ";

// A 3.5 film: the owner's 4 texts, 8 numbers, the checked flag, 21 texts, a picture.
std::string Amc35Film() {
    return Amc(kAmc35, "tttt" "iiiiiiiib" "ttttttttttttttttttttt" "tir",
               {"Jan", "", "", "",
                "#7", "DVD", "", "", "Cosy Dens", "Pelíšky", "Jan Hřebejk", "", "", "", "", "", "", "Vánoce\r\n1968",
                "", "", "", "", "Česky", "Anglicky, Slovensky", "700",
                ".jpg", "abc"},
               {1, 37401, 80, 1999, 110, -1, -1, 1, 3});
}

// A 4.2 catalogue with one custom field, and a film with 11 numbers, 25 texts,
// no picture, the custom value and one extra.
std::string Amc42Film() {
    return Amc(kAmc42, "tttt" "tti" "tttttt" "bibbbt" "iiiiiiiiiiib" "ttttttttttttttttttttttttt" "ti" "t" "i" "bttttttt" "ti",
               {"", "", "", "", "", "",
                "Police", "Police", "", "ftString", "", "", "",
                "CD 15+16", "", "", "Petr", "Kolya", "Kolja", "", "", "", "", "", "", "", "", "", "", "", "", "", "", "", "",
                "cz", "", "",
                "", "B2", "x", "", "", "", "", "", "", ""},
               {1, 0, 1, 0, 0, -1, -1, 1996, 105, -1, -1, 2, -1, 0, 1, 0});
}

// Tellico's .tc: tellico.xml in a zip archive, made by Python's zipfile.
std::string Zip(CliSandbox& box, const std::string& member, const std::string& content) {
    box.Write("member", content);
    const RunResult zipped = box.RunProgram(
        {"/usr/bin/python3", "-c",
         "import sys, zipfile\nwith zipfile.ZipFile('out.zip', 'w', zipfile.ZIP_DEFLATED) as z: z.write('member', sys.argv[1])",
         member});
    EXPECT_EQ(zipped.Status, 0) << zipped.Err;
    return box.Read("out.zip");
}

std::string FilmFile(const char* name) { return ReadBytes(std::string(FILM_FILES) + name); }

}  // namespace

TEST(FilmImport, EachFormatMapsItsFieldsOntoTheFilm) {
    CliSandbox box;
    const struct {
        std::string Name, Bytes, Films, Format;
    } cases[] = {
        {"amc35.amc", Amc35Film(), "Cosy Dens,Pelíšky,7,CZ,\"EN,SK\",1,Vánoce 1968\r\n", "Ant Movie Catalog"},
        {"amc42.amc", Amc42Film(), "Kolya,Kolja,,CZ,\"\",2,Médium: CD 15+16\r\n", "Ant Movie Catalog"},
        {"amc.xml", FilmFile("amc.xml"),
         "The Man from Snowy River,Muž ze Sněžné řeky,15,CZ,\"EN,CZ\",2,line one line two\r\n"
         "Kolya,Kolya,,CZ,\"\",1,\"Médium: Krabice A; Znění: Česky, English\"\r\n",
         "Ant Movie Catalog (XML)"},
        {"gcstar.gcs", FilmFile("gcstar.gcs"),
         "The Man from Snowy River,Muž ze Sněžné řeky,15,CZ,\"EN,CZ\",2,My comments\r\n"
         "Pelíšky,Pelíšky,7,CZ,\"\",1,Umístění: Police 2\r\n",
         "GCstar"},
        {"tellico.xml", FilmFile("tellico.xml"),
         "Kate & Leopold,Kate & Leopold,15,EN,\"EN,ES\",2,\"first line second line; Znění: English, French\"\r\n",
         "Tellico"},
        {"tellico.tc", Zip(box, "tellico.xml", FilmFile("tellico.xml")),
         "Kate & Leopold,Kate & Leopold,15,EN,\"EN,ES\",2,\"first line second line; Znění: English, French\"\r\n",
         "Tellico (zip)"},
        {"griffith.xml", FilmFile("griffith.xml"), "Serendipity,Náhoda,4,\"\",\"\",1,Language: English Audio: AC3\r\n",
         "Griffith"},
        {"datacrow.xml", FilmFile("datacrow.xml"),
         "Amadeus,Amadeus,,DE,CZ,1,\"Režisérská verze; Kontejner: Krabice 3; Znění: German, English\"\r\n", "Data Crow"},
        // Windows-1252 as declared; Czech letters in a file declared Western are Windows-1250.
        {"western.xml",
         "<?xml version=\"1.0\" encoding=\"windows-1252\"?><AntMovieCatalog><Catalog><Contents>"
         "<Movie OriginalTitle=\"Cr\xE8me br\xFBl\xE9" "e\"/></Contents></Catalog></AntMovieCatalog>",
         "Cr?me br?lée,Cr?me br?lée,,\"\",\"\",1,\"\"\r\n", "Ant Movie Catalog (XML)"},
        {"czech.xml",
         "<?xml version=\"1.0\" encoding=\"iso-8859-1\"?><AntMovieCatalog><Catalog><Contents>"
         "<Movie TranslatedTitle=\"P\xF8\xED" "b\xECh\"/></Contents></Catalog></AntMovieCatalog>",
         "Příběh,Příběh,,\"\",\"\",1,\"\"\r\n", "Ant Movie Catalog (XML)"},
        {"one.csv", "Název anglicky\nHello, world\n", "\"Hello, world\",\"Hello, world\",0,EN,CZ,1,\"\"\r\n", "CSV"},
        {"lower.csv", "název česky;s3\nPelíšky;8\n", "\"\",Pelíšky,8,EN,CZ,1,\"\"\r\n", "CSV"},
    };
    for (const auto& format : cases) {
        box.Write(format.Name, format.Bytes);
        ASSERT_EQ(box.Run({"new", "c.xml", "--force"}).Status, 0);
        const RunResult imported = box.Run({"import", "c.xml", format.Name});
        EXPECT_EQ(imported.Status, 0) << format.Name << "\n" << imported.Err;
        EXPECT_NE(imported.Out.find("Formát: " + format.Format + "\n"), std::string::npos) << imported.Out;
        EXPECT_EQ(box.Run({"dump", "c.xml", "--format", "csv", "--sort", "K"}).Out.substr(24),
                  [&] {  // the films with their keys, 1 onwards
                      std::string keyed;
                      int key = 0;
                      for (std::size_t at = 0; at < format.Films.size(); at = format.Films.find("\r\n", at) + 2) {
                          keyed += std::to_string(++key) + "," + format.Films.substr(at, format.Films.find("\r\n", at) + 2 - at);
                      }
                      return keyed;
                  }())
            << format.Name;
    }
}

TEST(FilmImport, CountsSkipsDuplicatesDryRunsAndMakesOneVersion) {
    CliSandbox box;
    box.MakeCatalog("c.xml", {{"--en", "the man from snowy river", "--cz", "MUZ ZE SNEZNE REKY", "--cd", "15"}});
    box.Write("gcstar.gcs", FilmFile("gcstar.gcs"));
    const std::string before = box.Read("c.xml");

    RunResult run = box.Run({"import", "c.xml", "gcstar.gcs", "--dry-run"});
    EXPECT_EQ(run.Status, 0) << run.Err;
    EXPECT_EQ(run.Out,
              "Formát: GCstar\n"
              "Filmů přečteno: 2, přidalo by se: 1, vynecháno jako duplicitní: 1\n"
              "Vynechaná pole (filmů s hodnotou): director 1, borrower 1\n"
              "S1,S2,S3,S4,S5,S6,S7\r\nPelíšky,Pelíšky,7,CZ,\"\",1,Umístění: Police 2\r\n");
    EXPECT_EQ(box.Read("c.xml"), before);

    run = box.Run({"import", "c.xml", "gcstar.gcs"});
    EXPECT_NE(run.Out.find("přečteno: 2, přidáno: 1, vynecháno jako duplicitní: 1"), std::string::npos) << run.Out;
    run = box.Run({"import", "c.xml", "gcstar.gcs", "--all"});
    EXPECT_NE(run.Out.find("přečteno: 2, přidáno: 2, vynecháno jako duplicitní: 0"), std::string::npos) << run.Out;

    // A text longer than its field is cut, with a warning naming the film.
    box.Write("long.csv", "S1,S7\nLong," + std::string(120, 'x') + "\n");
    run = box.Run({"import", "c.xml", "long.csv", "--dry-run"});
    EXPECT_EQ(run.Err, "long.csv:2: „Long“: Poznámka (S7) zkráceno z 120 na 100 znaků\n");

    // Each import is one version: restoring version 2 gives the catalogue before both.
    ASSERT_EQ(box.Run({"restore", "c.xml", "2"}).Status, 0);
    EXPECT_EQ(box.Read("c.xml"), before);
}

TEST(FilmImport, AFileThatCannotBeReadWholeAddsNothingAndSaysWhy) {
    CliSandbox box;
    box.MakeCatalog("c.xml", {{"--en", "Matrix"}});
    const std::string before = box.Read("c.xml");
    std::string truncated = Amc35Film();
    truncated.resize(truncated.size() - 2);
    std::string beyond = Amc35Film();
    beyond[118] = '\1';  // the media label's length (at 65 + 19 + 32 + 1) becomes 258
    const struct {
        std::string Name, Bytes, Says;
    } cases[] = {
        {"cut.amc", truncated, "přesahuje konec souboru, bajt "},
        {"long.amc", beyond, "délka textu (258) přesahuje konec souboru, bajt 117"},
        {"old.amc", " AMC_3.0 Ant Movie Catalog www.buypin.com www.ant.be.tf/software ", "verze 3.0 se nečte"},
        {"books.gcs", "<collection type=\"GCbooks\"><item title=\"x\"/></collection>", "typu \"GCbooks\" není sbírka filmů"},
        {"music.xml", "<tellico><collection title=\"CD\" type=\"4\"/></tellico>", "je typu hudba"},
        {"entities.xml",
         "<?xml version=\"1.0\"?><!DOCTYPE r [<!ENTITY a \"aaaaaaaa\"><!ENTITY b \"&a;&a;&a;&a;\">]><root><movie><o_title>&b;</o_title></movie></root>",
         "deklaruje entity"},
        {"broken.xml", "<root>\n<movie><o_title>x</movie></root>", "broken.xml:2: chybné XML"},
        {"climb.tc", Zip(box, "../tellico.xml", "<tellico/>"), "cestu mimo sebe: ../tellico.xml"},
        {"bomb.tc", Zip(box, "tellico.xml", std::string(300u << 20, ' ')), "větší než 256 MiB"},
        {"other.csv", "Rok;Žánr\n1999;drama\n", "čekané sloupce: S1 (Název anglicky), S2 (Název česky)"},
        {"bad.csv", "S1,S3\nA,1\nB,2\nC,8a\n", "bad.csv:4: „č. CD“ (S3) není celé číslo: 8a"},
    };
    for (const auto& bad : cases) {
        box.Write(bad.Name, bad.Bytes);
        const RunResult refused = box.Run({"import", "c.xml", bad.Name});
        EXPECT_EQ(refused.Status, 1) << bad.Name;
        EXPECT_NE(refused.Err.find(bad.Says), std::string::npos) << bad.Name << "\n" << refused.Err;
        EXPECT_EQ(box.Read("c.xml"), before) << bad.Name;
    }
}
