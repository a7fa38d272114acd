// history and restore, and the versions every change keeps: listed newest first
// with what changed, brought back byte for byte (a restore itself undone the
// same way), pruned oldest first, and never left behind by a save that failed.
#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <ctime>
#include <filesystem>
#include <unistd.h>

#include "CliSandbox.h"

namespace {

// The version files of a catalogue, oldest first.
std::vector<std::string> VersionNames(const CliSandbox& box, const std::string& catalog) {
    std::vector<std::string> names;
    std::error_code error;
    for (const auto& entry : std::filesystem::directory_iterator(box.Path(catalog + ".versions"), error))
        names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> lines;
    std::size_t start = 0;
    for (std::size_t end; (end = text.find('\n', start)) != std::string::npos; start = end + 1)
        lines.push_back(text.substr(start, end - start));
    return lines;
}

// A history line without its time ("  2026-12-08 09:14:03" after the number),
// which must have that shape.
std::string WithoutTime(const std::string& line) {
    const std::size_t at = line.find("  ");
    const std::string time = at == std::string::npos ? "" : line.substr(at, 21);
    const std::string shape = "  0000-00-00 00:00:00";
    bool shaped = time.size() == shape.size();
    for (std::size_t i = 0; shaped && i < shape.size(); ++i)
        shaped = shape[i] == '0' ? std::isdigit(static_cast<unsigned char>(time[i])) != 0 : time[i] == shape[i];
    EXPECT_TRUE(shaped) << line;
    return shaped ? line.substr(0, at) + line.substr(at + shape.size()) : line;
}

void Expect(const CliSandbox& box, const std::vector<std::string>& arguments, int status) {
    const RunResult result = box.Run(arguments);
    EXPECT_EQ(result.Status, status) << arguments[0] << ": " << result.Err;
}

}  // namespace

TEST(VersionCommands, HistoryTellsEachChangeNewestFirst) {
    CliSandbox box;
    box.MakeCatalog("k.xml", {{"--en", "Amadeus"}, {"--en", "Brazil"}});  // new, add, add
    Expect(box, {"edit", "k.xml", "1", "--en", "Amadeus (1984)"}, 0);
    Expect(box, {"delete", "k.xml", "2"}, 0);
    Expect(box, {"add", "k.xml", "--en", "Cube"}, 0);

    const RunResult history = box.Run({"history", "k.xml"});
    ASSERT_EQ(history.Status, 0) << history.Err;
    const std::vector<std::string> expected{
        "1  1 film   +1 -0 ~0  \"Cube\"",
        "2  2 filmy  +0 -1 ~0  \"Brazil\"",
        "3  2 filmy  +0 -0 ~1  \"Amadeus (1984)\"",
        "4  1 film   +1 -0 ~0  \"Brazil\"",
        "5  0 filmů  +1 -0 ~0  \"Amadeus\"",
    };
    std::vector<std::string> lines = Lines(history.Out);
    for (std::string& line : lines) line = WithoutTime(line);
    EXPECT_EQ(lines, expected);
    EXPECT_EQ(VersionNames(box, "k.xml").size(), 5u);

    // The same films under the same fields in another order: no film changed.
    std::string reordered = box.Read("k.xml");
    const std::size_t key = reordered.find("<FIELD attrname=\"K\""), keyEnd = reordered.find("/>", key) + 2;
    reordered.insert(reordered.find("</FIELDS>"), reordered.substr(key, keyEnd - key));
    box.Write("k.xml.versions/00000099-20261208-083251.123456Z.xml", reordered.erase(key, keyEnd - key));
    EXPECT_EQ(WithoutTime(Lines(box.Run({"history", "k.xml"}).Out).at(0)), "1  2 filmy  +0 -0 ~0  ");

    CliSandbox empty;
    empty.MakeCatalog("e.xml", {});
    const RunResult none = empty.Run({"history", "e.xml"});
    EXPECT_EQ(none.Status, 0);
    EXPECT_EQ(none.Out, "");
    EXPECT_NE(none.Err.find("nemá žádné uložené verze"), std::string::npos);

    empty.Write("e.xml.versions", "");
    const RunResult unreadable = empty.Run({"history", "e.xml"});
    EXPECT_EQ(unreadable.Status, 2);
    EXPECT_EQ(unreadable.Err, "Nepodařilo se přečíst složku verzí: e.xml.versions.\nČást cesty není složka.\n");
}

TEST(VersionCommands, RestoreBringsBackTheBytesAndIsUndoneTheSameWay) {
    CliSandbox box;
    box.MakeCatalog("k.xml", {{"--en", "Amadeus"}, {"--en", "Brazil"}, {"--en", "Cube"}});
    const std::string latest = box.Read("k.xml");
    const std::string oneFilm = box.Read("k.xml.versions/" + VersionNames(box, "k.xml")[1]);

    Expect(box, {"restore", "k.xml", "2"}, 0);
    EXPECT_EQ(box.Read("k.xml"), oneFilm);
    EXPECT_EQ(VersionNames(box, "k.xml").size(), 4u);
    Expect(box, {"restore", "k.xml", "1"}, 0);
    EXPECT_EQ(box.Read("k.xml"), latest);
    Expect(box, {"convert", "k.xml", "k.xml", "--format", "utf8"}, 0);
    Expect(box, {"restore", "k.xml", "1"}, 0);
    EXPECT_EQ(box.Read("k.xml"), latest);

    const RunResult missing = box.Run({"restore", "k.xml", "9"});
    EXPECT_EQ(missing.Status, 1);
    EXPECT_EQ(missing.Err, "Verze 9 neexistuje (katalog k.xml jich má 7).\n");
    Expect(box, {"restore", "k.xml", "0"}, 1);
    EXPECT_EQ(VersionNames(box, "k.xml").size(), 7u);
}

// 99 versions named as a clock set to the years 9901 to 9999 named them stay
// older than those made since, which show the time they were made; of 101, the
// oldest goes; the numbers, times and counts of history stand in columns. What
// a save killed before its rename left (its new file, of a process number above
// the system's limit; a version that is the catalogue itself) is no version, and
// the next save removes it.
TEST(VersionCommands, TheNewestHundredStayInTheOrderMadeWhateverTheClockSaid) {
    CliSandbox box;
    box.MakeCatalog("k.xml", {{"--en", "Amadeus"}});
    const std::string state = box.Read("k.xml.versions/" + VersionNames(box, "k.xml")[0]);
    for (int year = 9901; year < 10000; ++year)
        box.Write("k.xml.versions/" + std::to_string(year) + "0615-120000.000000Z.xml", state);
    const std::string killedFile = "k.xml.tmp-999999999-0", runningFile = "k.xml.tmp-" + std::to_string(::getpid()) + "-0";
    box.Write(killedFile, "");
    box.Write(runningFile, "");
    ASSERT_EQ(::link(box.Path("k.xml").c_str(), box.Path("k.xml.versions/00000009-20261208-083251.123456Z.xml").c_str()), 0);
    EXPECT_EQ(Lines(box.Run({"history", "k.xml"}).Out).size(), 100u);
    Expect(box, {"add", "k.xml", "--en", "Brazil"}, 0);
    EXPECT_FALSE(box.Exists(killedFile));
    EXPECT_TRUE(box.Exists(runningFile));
    Expect(box, {"add", "k.xml", "--en", "Cube"}, 0);
    EXPECT_EQ(VersionNames(box, "k.xml").size(), 100u);
    const RunResult history = box.Run({"history", "k.xml"});
    const std::vector<std::string> lines = Lines(history.Out);
    ASSERT_EQ(lines.size(), 100u) << history.Err;
    const std::time_t now = std::time(nullptr);
    EXPECT_EQ(lines[0].substr(0, 9), "  1  " + std::to_string(1900 + std::localtime(&now)->tm_year)) << lines[0];
    EXPECT_NE(lines[0].find("+1 -0 ~0  \"Cube\""), std::string::npos) << lines[0];
    EXPECT_EQ(lines[99].substr(0, 14), "100  9903-06-1") << lines[99];
    const auto column = [](const std::string& line) {  // of " +", in characters
        return std::count_if(line.begin(), line.begin() + line.find(" +"), [](char c) { return (c & 0xC0) != 0x80; });
    };
    for (const std::string& line : lines) EXPECT_EQ(column(line), column(lines[0])) << line;
}

TEST(VersionCommands, ASaveThatFailsKeepsNoVersion) {
    CliSandbox box;
    box.MakeCatalog("k.xml", {{"--en", "Amadeus"}, {"--en", "Brazil"}});
    const std::string before = box.Read("k.xml");
    const std::vector<std::string> versions = VersionNames(box, "k.xml");

    // A file size limit just under the catalogue's: the new file cannot be written.
    const RunResult failed = box.Run({"add", "k.xml", "--en", "Cube"}, before.size() - 1);

    EXPECT_EQ(failed.Status, 2);
    EXPECT_EQ(failed.Err, "Nepodařilo se uložit soubor: k.xml.\nSoubor by byl větší, než systém dovoluje.\n");
    EXPECT_EQ(box.Read("k.xml"), before);
    EXPECT_EQ(VersionNames(box, "k.xml"), versions);
}
