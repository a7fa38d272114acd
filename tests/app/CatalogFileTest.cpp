// The catalogue file operations of Global: create, open and save, with their
// Czech messages, on files in a temporary directory.
#include <gtest/gtest.h>

#include <filesystem>
#include <cstdlib>
#include <optional>
#include <sys/stat.h>

#include "app/core/CatalogHome.h"
#include "app/core/Global.h"
#include "app/core/RecordingUiServices.h"
#include "table/Collation.h"
#include "tests/common/CatalogDocuments.h"
#include "tests/common/FilmTable.h"
#include "tests/common/Scratch.h"

namespace fs = std::filesystem;

namespace {

// Sets (or, given nullptr, unsets) an environment variable for its lifetime.
class ScopedEnvironment {
public:
    ScopedEnvironment(const char* name, const char* value) : name_(name) {
        if (const char* old = std::getenv(name)) old_ = old;
        value ? ::setenv(name, value, 1) : ::unsetenv(name);
    }
    ~ScopedEnvironment() { old_ ? ::setenv(name_, old_->c_str(), 1) : ::unsetenv(name_); }

private:
    const char* name_;
    std::optional<std::string> old_;
};

std::string Titles(TClientDataSet& table) {
    std::string titles;
    for (table.First(); !table.AtEnd(); table.Next()) titles += FieldUtf8(table, "S1") + "|";
    return titles;
}

class CatalogFile : public ::testing::Test {
protected:
    void SetUp() override {
        Collation::OverrideUserDefaultLocale("cs_CZ");
        SetUserInterface(ui);
        DataDir = directory.string() + "/";
        DataFileName = "filmy.xml";
        SortFields = "S1;S2;S3";
    }

    // A catalogue file holding the films, written as the program writes it.
    void WriteCatalog(const std::vector<Film>& films) {
        TClientDataSet source;
        MakeFilmTable(source, films);
        source.SaveToFile(CatalogPath(), dfXML);
    }

    std::string Message(std::size_t i = 0) const { return cp1250::ToUtf8(ui.Messages.at(i).Text); }

    ScratchDir scratch;
    fs::path directory{scratch.Path()};
    RecordingUiServices ui;
    TClientDataSet table;
};

TEST_F(CatalogFile, PathIsTheDirectoryFollowedDirectlyByTheName) {
    DataDir = "/opt/kinovka/";
    DataFileName = "sbirka/filmy.xml";
    EXPECT_EQ(CatalogPath(), "/opt/kinovka/sbirka/filmy.xml");
    DataFileName = "/tmp/filmy.xml";
    EXPECT_EQ(CatalogPath(), "/tmp/filmy.xml");
}

TEST_F(CatalogFile, TheFolderIsBesideTheProgramOrTheUsersDataFolderCreatedOnFirstUse) {
    EXPECT_EQ(CatalogDirectory(CatalogHome::BesideProgram, "/opt/kinovka/bin/kinovka"), "/opt/kinovka/bin/");

    const std::string home = (directory / "home").string();
    const std::string dataHome = (directory / "data").string();
    ScopedEnvironment homeVariable("HOME", home.c_str());
    for (const char* unusable : {static_cast<const char*>(nullptr), "", "relative/data"}) {
        ScopedEnvironment xdg("XDG_DATA_HOME", unusable);
        EXPECT_EQ(CatalogDirectory(CatalogHome::UserDataFolder, "/usr/bin/kinovka"), home + "/.local/share/kinovka/");
    }
    ScopedEnvironment xdg("XDG_DATA_HOME", (dataHome + "/").c_str());
    EXPECT_EQ(CatalogDirectory(CatalogHome::UserDataFolder, "/usr/bin/kinovka"), dataHome + "/kinovka/");
    for (const std::string& created : {home + "/.local", home + "/.local/share/kinovka", dataHome + "/kinovka"}) {
        EXPECT_EQ(fs::status(created).permissions(), fs::perms::owner_all) << created;
    }

    // An existing folder is used as it is.
    fs::permissions(dataHome + "/kinovka", fs::perms::owner_all | fs::perms::group_read | fs::perms::group_exec);
    DataDir = CatalogDirectory(CatalogHome::UserDataFolder, "/usr/bin/kinovka");
    CreateCatalog(table);
    EXPECT_TRUE(OpenCatalog(table));
    EXPECT_TRUE(fs::exists(dataHome + "/kinovka/filmy.xml"));
    EXPECT_EQ(fs::status(dataHome + "/kinovka").permissions() & fs::perms::group_read, fs::perms::group_read);
}

TEST_F(CatalogFile, OpeningAMissingFileReportsTheBareNameAndFails) {
    EXPECT_FALSE(OpenCatalog(table));
    ASSERT_EQ(ui.Messages.size(), 1u);
    EXPECT_EQ(Message(), "Nepodařilo se otevřít vstupní soubor: filmy.xml.\nSoubor nebo složka neexistuje.");
    EXPECT_EQ(ui.Messages[0].Kind, MessageKind::Error);
    EXPECT_EQ(ui.Messages[0].Buttons, MessageButtons::Ok);
    EXPECT_FALSE(table.Active());
}

TEST_F(CatalogFile, AnAbsoluteNameIsThatFileAndMessagesNameItAsGiven) {
    WriteCatalog({{"A", "a", 1, "EN", "CZ", 1, ""}});
    DataFileName = (directory / "filmy.xml").string();
    DataDir = "/nonexistent/program/";
    EXPECT_TRUE(OpenCatalog(table));
    EXPECT_EQ(Titles(table), "A|");
    DataFileName = (directory / "chybi.xml").string();
    EXPECT_FALSE(OpenCatalog(table));
    EXPECT_EQ(Message(), "Nepodařilo se otevřít vstupní soubor: " + DataFileName + ".\nSoubor nebo složka neexistuje.");
}

TEST_F(CatalogFile, ADamagedFileIsReportedAndLeavesTheTableClosed) {
    WriteBytes(directory / "filmy.xml", "this is not a data packet");
    EXPECT_FALSE(OpenCatalog(table));
    EXPECT_EQ(Message(), "Nepodařilo se otevřít vstupní soubor: filmy.xml.\n0x4005");
    EXPECT_FALSE(table.Active());
}

TEST_F(CatalogFile, CreatingWritesTheEmptyCatalogAndLeavesItOpenOnIndexX) {
    CreateCatalog(table);
    EXPECT_TRUE(ui.Messages.empty());
    EXPECT_EQ(ReadBytes(directory / "filmy.xml"), catalog_documents::EmptyCatalog());
    EXPECT_TRUE(table.Active());
    EXPECT_FALSE(table.TrackChanges());
    EXPECT_EQ(table.IndexName(), "x");
    EXPECT_EQ(table.FileName(), "");  // nothing but SaveCatalog writes the catalogue
    EXPECT_EQ(table.CountRecords(), 0);
    EXPECT_FALSE(fs::exists(directory / "filmy.xml.bak"));
}

TEST_F(CatalogFile, CreatingOverAnExistingFileKeepsItAsBackup) {
    WriteBytes(directory / "filmy.xml", "damaged catalogue");
    WriteBytes(directory / "filmy.xml.bak", "an older backup");
    CreateCatalog(table);
    ASSERT_EQ(ui.Messages.size(), 1u);
    EXPECT_EQ(ui.Messages[0].Kind, MessageKind::Notice);
    EXPECT_EQ(Message(), "Původní soubor je uschován jako filmy.xml.bak.1. Jeho filmy lze obnovit příkazem "
                         "kinovka-cli rescue.");
    EXPECT_EQ(ReadBytes(directory / "filmy.xml"), catalog_documents::EmptyCatalog());
    EXPECT_EQ(ReadBytes(directory / "filmy.xml.bak"), "an older backup");
    EXPECT_EQ(ReadBytes(directory / "filmy.xml.bak.1"), "damaged catalogue");
}

TEST_F(CatalogFile, CreatingLeavesTheOldFileAloneWhenNoBackupCanBeMade) {
    ASSERT_EQ(::mkfifo((directory / "filmy.xml").c_str(), 0644), 0);
    CreateCatalog(table);
    ASSERT_EQ(ui.Messages.size(), 1u);
    EXPECT_EQ(Message(), "Nepodařilo se uložit soubor: filmy.xml.");
    EXPECT_TRUE(fs::is_fifo(directory / "filmy.xml"));
}

TEST_F(CatalogFile, OpeningBuildsKOverTheSortFieldsAndStandsOnTheFirstRecord) {
    WriteCatalog({{"Pelíšky", "Pelíšky", 3, "CZ", "", 1, ""},
                    {"Amélie", "Amélie z Montmartru", 7, "FR", "CZ", 1, ""},
                    {"Babel", "Babel", 5, "EN", "CZ", 2, ""},
                    {"Babel", "Babel", 2, "EN", "CZ", 1, "kopie"}});
    SortFields = "S3;S1;S2";
    ASSERT_TRUE(OpenCatalog(table));
    EXPECT_EQ(table.IndexName(), "k");
    EXPECT_FALSE(table.TrackChanges());
    EXPECT_EQ(table.CountRecords(), 4);
    EXPECT_EQ(table.CurrentRow(), 0);
    EXPECT_EQ(table.FieldNamed("S3").AsInteger(), 2);
    EXPECT_EQ(Titles(table), "Babel|Pelíšky|Babel|Amélie|");

    SortFields = "S1;S2;S3";
    ASSERT_TRUE(OpenCatalog(table));
    EXPECT_EQ(Titles(table), "Amélie|Babel|Babel|Pelíšky|");
    EXPECT_TRUE(ui.Messages.empty());
}

TEST_F(CatalogFile, AnEmptyCatalogOpensTrue) {
    CreateCatalog(table);
    ASSERT_TRUE(OpenCatalog(table));
    EXPECT_EQ(table.IndexName(), "k");
    EXPECT_EQ(table.CountRecords(), 0);
}

TEST_F(CatalogFile, SortFieldsNamingNoFieldFailTheOpen) {
    WriteCatalog({{"A", "a", 1, "EN", "CZ", 1, ""}});
    SortFields = "S9";
    EXPECT_FALSE(OpenCatalog(table));
    EXPECT_EQ(Message(), "Nepodařilo se otevřít vstupní soubor: filmy.xml.\nSoubor není katalog filmů.");
}

TEST_F(CatalogFile, SavingWritesXmlWhateverTheExtension) {
    DataFileName = "filmy.dat";
    CreateCatalog(table);
    table.Insert();
    table.FieldNamed("S1").SetAsString(cp1250::FromUtf8("Černý kůň"));
    table.Post();
    ASSERT_TRUE(SaveCatalog(table));
    const std::string file = ReadBytes(directory / "filmy.dat");
    EXPECT_EQ(file.rfind("<?xml", 0), 0u);
    EXPECT_NE(file.find("S1=\"&#200;ern&#253; k&#249;&#242;\""), std::string::npos);
}

TEST_F(CatalogFile, AFailedSaveIsReportedWithTheNameAsGiven) {
    CreateCatalog(table);
    ui.Clear();
    DataFileName = "chybí/filmy.xml";
    EXPECT_FALSE(SaveCatalog(table));
    ASSERT_EQ(ui.Messages.size(), 1u);
    EXPECT_EQ(Message(), "Nepodařilo se uložit soubor: chybí/filmy.xml.\nSoubor nebo složka neexistuje.");
    EXPECT_EQ(ui.Messages[0].Kind, MessageKind::Error);
}

TEST_F(CatalogFile, TwoFilmsWithEqualSortKeysAreBothKept) {
    WriteCatalog({{"Babel", "Babel", 5, "EN", "CZ", 2, ""}, {"Babel", "Babel", 5, "EN", "CZ", 2, ""}});
    ASSERT_TRUE(OpenCatalog(table));
    EXPECT_EQ(table.CountRecords(), 2);
}

}  // namespace
