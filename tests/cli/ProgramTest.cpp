// The program as a whole: help, usage errors, conversion between the file forms,
// and the engine's status code under a failure message.
#include <gtest/gtest.h>

#include <optional>

#include "CliSandbox.h"

namespace {

TEST(Program, OffersHelpForItselfAndEveryCommandInTheLocalesLanguageAndItsVersion) {
    CliSandbox box;
    const RunResult version = box.Run({"--version"});
    EXPECT_EQ(version.Status, 0);
    EXPECT_EQ(version.Out, "kinovka-cli " KINOVKA_VERSION "\n");
    // The first of LC_ALL, LC_MESSAGES and LANG that is set names the language.
    const std::optional<std::string> unset, cs = "cs_CZ.UTF-8";
    const struct {
        std::optional<std::string> all, messages, lang;
        std::string usage, program;
    } locales[] = {
        {cs, unset, unset, "Použití: kinovka-cli ", "PŘÍKAZ KATALOG"},
        {unset, unset, cs, "Použití: kinovka-cli ", "PŘÍKAZ KATALOG"},
        {"C.UTF-8", cs, cs, "Usage: kinovka-cli ", "COMMAND CATALOGUE"},
        {unset, "en_GB.UTF-8", cs, "Usage: kinovka-cli ", "COMMAND CATALOGUE"},
    };
    for (const auto& locale : locales) {
        RunOptions options;
        options.Environment = {{"LC_ALL", locale.all}, {"LC_MESSAGES", locale.messages}, {"LANG", locale.lang}};
        const RunResult help = RunCli({"--help"}, box.Path(""), options);
        EXPECT_EQ(help.Status, 0);
        EXPECT_EQ(help.Out.rfind(locale.usage + locale.program, 0), 0u) << help.Out;
        for (const char* command : {"new", "list", "summary", "dump", "find", "add", "edit", "delete", "import",
                                    "export", "convert", "rescue", "history", "restore", "discs", "disc", "lend",
                                    "return", "loans"}) {
            EXPECT_NE(help.Out.find(std::string("\n  ") + command + " "), std::string::npos) << command;
            const RunResult commandHelp = RunCli({command, "--help"}, box.Path(""), options);
            EXPECT_EQ(commandHelp.Status, 0) << command;
            EXPECT_EQ(commandHelp.Out.rfind(locale.usage + command + " ", 0), 0u) << commandHelp.Out;
            EXPECT_EQ(commandHelp.Err, "");
        }
    }
}

TEST(Program, RefusesCommandLinesThatDoNotFit) {
    CliSandbox box;
    box.MakeCatalog("cat.xml", {});
    const std::vector<std::vector<std::string>> wrong{
        {},
        {"frobnicate", "cat.xml"},
        {"list"},
        {"list", "cat.xml", "extra"},
        {"list", "cat.xml", "--en", "x"},
        {"add", "cat.xml", "--en"},
        {"list", "cat.xml", "--raw=yes"},
        {"edit", "cat.xml"},
        {"convert", "cat.xml", "out.xml", "--format", "json"},
    };
    const std::string before = box.Read("cat.xml");
    for (const auto& arguments : wrong) {
        const RunResult refused = box.Run(arguments);
        EXPECT_EQ(refused.Status, 1) << testing::PrintToString(arguments);
        EXPECT_EQ(refused.Out, "");
        EXPECT_NE(refused.Err.find("--help"), std::string::npos) << refused.Err;
    }
    EXPECT_EQ(box.Read("cat.xml"), before);
    EXPECT_FALSE(box.Exists("out.xml"));
}

TEST(Program, ValuesMayLookLikeOptionsAndOptionsMayComeFirst) {
    CliSandbox box;
    box.MakeCatalog("cat.xml", {});
    EXPECT_EQ(box.Run({"add", "--cd", "-5", "cat.xml", "--en", "--help"}).Out, "1\n");
    EXPECT_EQ(box.Run({"add", "cat.xml", "--", "--en"}).Status, 1);
    EXPECT_EQ(box.Run({"dump", "cat.xml", "--format=csv"}).Out,
              "K,S1,S2,S3,S4,S5,S6,S7\r\n1,--help,--help,-5,EN,CZ,1,\"\"\r\n");
}

TEST(Program, TextThatWindows1250CannotHoldBecomesAQuestionMark) {
    CliSandbox box;
    box.MakeCatalog("cat.xml", {{"--en", "Señor 日本", "--cz", "Łódź ŠČŘŽÝÁÍÉ"}});
    EXPECT_NE(box.Run({"dump", "cat.xml"}).Out.find("\"S1\": \"Se?or ??\", \"S2\": \"Łódź ŠČŘŽÝÁÍÉ\""),
              std::string::npos);
}

TEST(ConvertCommand, WritesEachFormAndTheCopiesReadTheSame) {
    CliSandbox box;
    box.MakeCatalog("cat.xml", {{"--en", "Pelíšky", "--cd", "4"}, {"--en", "Matrix"}});
    const std::string list = box.Run({"list", "cat.xml"}).Out;
    ASSERT_EQ(box.Run({"convert", "cat.xml", "copy.xml"}).Status, 0);
    EXPECT_EQ(box.Read("copy.xml"), box.Read("cat.xml"));
    ASSERT_EQ(box.Run({"convert", "cat.xml", "copy.bin", "--format", "binary"}).Status, 0);
    ASSERT_EQ(box.Run({"convert", "cat.xml", "named.XML", "--format", "binary"}).Status, 0);
    ASSERT_EQ(box.Run({"convert", "cat.xml", "utf8.xml", "--format", "utf8"}).Status, 0);

    EXPECT_NE(box.Read("copy.bin").rfind("<?xml", 0), 0u);
    EXPECT_EQ(box.Read("named.XML"), box.Read("cat.xml"));
    EXPECT_NE(box.Read("utf8.xml"), box.Read("cat.xml"));
    EXPECT_EQ(box.Read("utf8.xml").rfind("<?xml version=\"1.0\" encoding=\"UTF-8\"", 0), 0u);
    for (const char* copy : {"copy.xml", "copy.bin", "named.XML", "utf8.xml"}) {
        EXPECT_EQ(box.Run({"list", copy}).Out, list) << copy;
    }
}

TEST(ConvertCommand, ReportsAnOutputThatCannotBeWritten) {
    CliSandbox box;
    box.MakeCatalog("cat.xml", {});
    const RunResult failed = box.Run({"convert", "cat.xml", "no-such-dir/out.xml"});
    EXPECT_EQ(failed.Status, 2);
    EXPECT_EQ(failed.Err.substr(0, failed.Err.find('\n') + 1), "Nepodařilo se uložit soubor: no-such-dir/out.xml.\n");
}

TEST(Program, GivesTheEngineStatusCodeUnderTheMessage) {
    CliSandbox box;
    box.Write("bad.xml", "<NOTAPACKET/>");
    const RunResult failed = box.Run({"list", "bad.xml"});
    EXPECT_EQ(failed.Status, 2);
    EXPECT_EQ(failed.Err, "Nepodařilo se otevřít vstupní soubor: bad.xml.\n0x4005\n");
    EXPECT_EQ(failed.Out, "");
}

}  // namespace
