// discs, disc, lend, return, loans: the shelf of a catalogue with shared and
// missing CD numbers, loans kept beside the catalogue (which is never written
// for them), taken back by restore in the order made whatever the clock said,
// and a damaged loans file.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

#include "CliSandbox.h"

namespace {

struct Case {
    std::vector<std::string> Arguments;
    int Status;
    std::string Out, Err;
};

void RunCases(const CliSandbox& box, const std::vector<Case>& cases) {
    for (const Case& c : cases) {
        const RunResult result = box.Run(c.Arguments);
        EXPECT_EQ(result.Status, c.Status) << c.Arguments[0] << " " << c.Arguments.back() << ": " << result.Err;
        EXPECT_EQ(result.Out, c.Out) << c.Arguments[0] << " " << c.Arguments.back();
        EXPECT_EQ(result.Err, c.Err) << c.Arguments[0] << " " << c.Arguments.back();
    }
}

// CD 3 shared by two films, 7 and 12; 1–2, 4–6 and 8–11 missing; one film without a number.
void MakeShelf(const CliSandbox& box) {
    box.MakeCatalog("k.xml", {{"--en", "Amadeus", "--cd", "3"},
                              {"--en", "Brazil", "--cz", "Brazílie", "--cd", "3"},
                              {"--en", "Cube", "--cd", "12"},
                              {"--en", "Dune", "--cd", "7"},
                              {"--en", "Eraserhead"}});
}

}  // namespace

TEST(DiscCommands, ListTheShelfAndItsFreeNumbers) {
    CliSandbox box;
    MakeShelf(box);
    RunCases(box, {
        {{"discs", "k.xml"}, 0,
         "CD 0\n    Eraserhead\nCD 3\n    Amadeus\n    Brazil / Brazílie\nCD 7\n    Dune\nCD 12\n    Cube\n\n"
         "Volná čísla: 1–2, 4–6, 8–11\n", ""},
        {{"discs", "k.xml", "--free"}, 0, "1–2, 4–6, 8–11\n", ""},
        {{"discs", "k.xml", "--next"}, 0, "1\n", ""},
        {{"disc", "k.xml", "3"}, 0, "CD 3\n    Amadeus\n    Brazil / Brazílie\n", ""},
        {{"disc", "k.xml", "5"}, 1, "", "CD 5 v katalogu není.\n"},
        {{"disc", "k.xml", "x"}, 1, "", "CD není celé číslo: x\nNápověda: kinovka-cli disc --help\n"},
    });
    CliSandbox full;
    full.MakeCatalog("k.xml", {{"--en", "A", "--cd", "1"}, {"--en", "B", "--cd", "2"}});
    RunCases(full, {{{"discs", "k.xml", "--free"}, 0, "žádná\n", ""}, {{"discs", "k.xml", "--next"}, 0, "3\n", ""}});
}

TEST(DiscCommands, LendReturnAndRefuse) {
    CliSandbox box;
    MakeShelf(box);
    const std::string catalog = box.Read("k.xml");
    RunCases(box, {
        {{"lend", "k.xml", "3", "Petr", "--date", "2026-01-05", "--note", "do pondělí"}, 0, "", ""},
        {{"lend", "k.xml", "12", "Jana"}, 0, "", ""},
        {{"lend", "k.xml", "3", "Jana"}, 1, "", "CD 3 je už půjčeno: Petr, od 5. 1. 2026.\n"},
        {{"lend", "k.xml", "5", "Jana"}, 1, "", "Na CD 5 není žádný film.\n"},
        {{"lend", "k.xml", "7", " "}, 1, "", "Chybí, komu se CD půjčuje.\n"},
        {{"lend", "k.xml", "7", std::string(51, 'x')}, 1, "", "Jméno je delší než 50 znaků.\n"},
        {{"lend", "k.xml", "7", "Jana", "--date", "2026-02-30"}, 1, "", "Neplatné datum: 2026-02-30 (RRRR-MM-DD).\n"},
        {{"lend", "k.xml", "7", "Jana", "--date", "2999-01-01"}, 1, "",
         "Datum výpůjčky je v budoucnosti: 1. 1. 2999.\n"},
        {{"return", "k.xml", "7"}, 1, "", "CD 7 není půjčeno.\n"},
        {{"delete", "k.xml", "3"}, 0, "", ""},  // Cube, the only film on CD 12
        {{"loans", "k.xml", "--older-than", "100000"}, 0, "Žádné CD není půjčeno.\n", ""},
        {{"loans", "k.xml", "--older-than", "-1"}, 1, "",
         "DAYS nesmí být záporné: -1\nNápověda: kinovka-cli loans --help\n"},
        {{"discs", "k.xml", "--free"}, 0, "1–2, 4–6, 8–11\n", ""},
    });
    const RunResult loans = box.Run({"loans", "k.xml", "--older-than", "1"});
    EXPECT_EQ(loans.Out.find("CD 3 – Petr, od 5. 1. 2026, "), 0u);
    EXPECT_NE(loans.Out.find(" dní – do pondělí\n    Amadeus\n    Brazil / Brazílie\n"), std::string::npos);
    EXPECT_EQ(loans.Out.find("Jana"), std::string::npos);  // lent today
    EXPECT_NE(box.Run({"loans", "k.xml"}).Out.find(", 0 dní\n    (CD bez filmů)\n"), std::string::npos);
    RunCases(box, {{{"return", "k.xml", "12"}, 0, "", ""}, {{"discs", "k.xml", "--free"}, 0, "1–2, 4–6\n", ""}});
    EXPECT_NE(box.Read("k.xml"), catalog);  // the delete, and nothing of the loans
    EXPECT_EQ(box.Read("k.xml").find("Petr"), std::string::npos);
}

TEST(DiscCommands, ALoanSurvivesSavesAndIsTakenBackByRestore) {
    CliSandbox box;
    MakeShelf(box);
    // The catalogue's newest version kept under a clock set far ahead stays older than the loan made after it.
    std::string newest;
    for (const auto& entry : std::filesystem::directory_iterator(box.Path("k.xml.versions")))
        newest = std::max(newest, entry.path().filename().string());
    std::filesystem::rename(box.Path("k.xml.versions/" + newest),
                            box.Path("k.xml.versions/" + newest.substr(0, 9) + "29991231-235959.000000Z.xml"));
    RunCases(box, {
        {{"lend", "k.xml", "7", "Petr", "--date", "2026-12-01"}, 0, "", ""},
        {{"add", "k.xml", "--en", "Fargo", "--cd", "7"}, 0, "6\n", ""},
        {{"disc", "k.xml", "7"}, 0, "CD 7 – půjčeno: Petr, od 1. 12. 2026\n    Dune\n    Fargo\n", ""},
        {{"restore", "k.xml", "2"}, 0, "", ""},  // the loan: the add was the newer change
        {{"disc", "k.xml", "7"}, 0, "CD 7\n    Dune\n    Fargo\n", ""},
        {{"restore", "k.xml", "1"}, 0, "", ""},
        {{"disc", "k.xml", "7"}, 0, "CD 7 – půjčeno: Petr, od 1. 12. 2026\n    Dune\n    Fargo\n", ""},
    });
    const std::string history = box.Run({"history", "k.xml"}).Out;
    EXPECT_NE(history.find("výpůjčky  půjčeno CD 7\n"), std::string::npos) << history;
}

TEST(DiscCommands, ADamagedLoansFileLeavesTheCatalogUsable) {
    CliSandbox box;
    MakeShelf(box);
    ASSERT_EQ(box.Run({"lend", "k.xml", "7", "Petr", "--date", "2026-12-01"}).Status, 0);
    ASSERT_EQ(box.Run({"lend", "k.xml", "3", "Jana", "--date", "2026-12-02"}).Status, 0);
    const std::string loans = box.Read("k.loans.xml");
    const std::size_t cut = loans.find("Jana");
    box.Write("k.loans.xml", loans.substr(0, cut));
    const std::string damaged = "Soubor výpůjček nelze přečíst: k.loans.xml.\n";
    RunCases(box, {
        {{"disc", "k.xml", "7"}, 0, "CD 7\n    Dune\n", damaged},
        {{"add", "k.xml", "--en", "Fargo"}, 0, "6\n", ""},
        {{"return", "k.xml", "7"}, 2, "", damaged +
         "Výpůjčky nelze měnit, dokud ho nezachráníte: kinovka-cli rescue k.loans.xml NOVÝ_SOUBOR\n"},
    });
    EXPECT_EQ(box.Read("k.loans.xml"), loans.substr(0, cut));
    const RunResult rescued = box.Run({"rescue", "k.loans.xml", "r.loans.xml"});
    EXPECT_EQ(rescued.Status, 0) << rescued.Err;
    box.Write("k.loans.xml", box.Read("r.loans.xml"));
    EXPECT_EQ(rescued.Out.find("Zachráněno výpůjček: 1 "), 0u);
    RunCases(box, {{{"disc", "k.xml", "7"}, 0, "CD 7 – půjčeno: Petr, od 1. 12. 2026\n    Dune\n", ""}});
}
