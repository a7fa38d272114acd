// The catalogue as a data packet: exact bytes, reloading, round trips, failures.
#include <gtest/gtest.h>

#include <cerrno>
#include <filesystem>
#include <functional>
#include <sstream>

#include "fileio/FileIO.h"
#include "TableFixtures.h"
#include "tests/common/CatalogDocuments.h"
#include "tests/common/FaultyFileOperations.h"
#include "tests/common/Scratch.h"

namespace fs = std::filesystem;

namespace {

using namespace catalog_documents;

void AddRow(TClientDataSet& table, const std::vector<const char*>& values) {
    table.Insert();
    for (std::size_t i = 0; i < values.size(); ++i)
        if (values[i]) table.FieldNamed("S" + std::to_string(i + 1)).SetAsString(values[i]);
    table.Post();
}

// "Tichý přístav" and "Dlouhá cesta" in Windows-1250.
void AddExampleFilms(TClientDataSet& table) {
    AddRow(table, {"Quiet Harbour", "Tich\xfd p\xf8\xedstav", "12", "EN", "CZ", "1", "Director's cut & extras"});
    AddRow(table, {"The Long Road", "Dlouh\xe1 cesta", "12", "CZ", nullptr, "2", nullptr});
}

}  // namespace

TEST(CatalogPacket, EmptyCatalogBytes) {
    TClientDataSet table;
    CreateCatalog(table);
    EXPECT_EQ(table.SaveToBytes(dfXML), EmptyCatalog());
}

TEST(CatalogPacket, TwoRecordExampleBytesBeforeAndAfterReload) {
    TClientDataSet table;
    CreateCatalog(table);
    AddExampleFilms(table);
    EXPECT_EQ(table.SaveToBytes(dfXML), TwoRecordCatalog(false));

    TClientDataSet reloaded;
    reloaded.LoadFromBytes(TwoRecordCatalog(false));
    reloaded.SetTrackChanges(false);
    EXPECT_EQ(reloaded.SaveToBytes(dfXML), TwoRecordCatalog(true));
    EXPECT_EQ(reloaded.FieldNamed("K").DataType(), ftAutoInc);
    EXPECT_EQ(reloaded.FieldNamed("S1").DataType(), ftString);
    EXPECT_EQ(reloaded.FieldNamed("S1").Size(), 50);
    EXPECT_EQ(reloaded.FieldNamed("S3").DataType(), ftInteger);
    EXPECT_EQ(reloaded.CountRecords(), 2);
    EXPECT_EQ(reloaded.ChangeCount(), 2u);
    EXPECT_EQ(reloaded.FieldNamed("S2").AsString(), "Tich\xfd p\xf8\xedstav");
    reloaded.Last();
    EXPECT_TRUE(reloaded.FieldNamed("S5").IsNull());
    EXPECT_TRUE(reloaded.FieldNamed("S7").IsNull());

    // Taken over by another table: as loaded there, the edit under way dropped.
    reloaded.Edit();
    reloaded.FieldNamed("S1").SetAsString("Dropped");
    TClientDataSet taken;
    taken.TakeOverBase(reloaded);
    EXPECT_FALSE(reloaded.Active());
    EXPECT_EQ(taken.SaveToBytes(dfXML), TwoRecordCatalog(true));
    EXPECT_EQ(taken.ChangeCount(), 2u);
    EXPECT_EQ(taken.FieldNamed("S1").AsString(), "Quiet Harbour");
    EXPECT_EQ(Column(taken, "S1"), (std::vector<std::string>{"Quiet Harbour", "The Long Road"}));
    EXPECT_THROW(taken.TakeOverBase(reloaded), EDatabaseError);
    EXPECT_EQ(taken.CountRecords(), 2);
}

TEST(CatalogPacket, RoundTripsInEveryForm) {
    TClientDataSet table;
    CreateCatalog(table);
    AddExampleFilms(table);
    AddRow(table, {"", "   ", nullptr, nullptr, nullptr, "-7", "line\r\nbreak \\ <tag> \"q\""});
    for (const auto format : {dfBinary, dfXML, dfXMLUTF8}) {
        SCOPED_TRACE(format);
        TClientDataSet first;
        first.LoadFromBytes(table.SaveToBytes(format));
        const std::string written = first.SaveToBytes(format);
        TClientDataSet second;
        second.LoadFromBytes(written);
        EXPECT_EQ(second.SaveToBytes(format), written);
        EXPECT_EQ(Column(second, "S7"), Column(table, "S7"));
        EXPECT_EQ(Column(second, "S2"), Column(table, "S2"));
        second.Last();
        EXPECT_FALSE(second.FieldNamed("S1").IsNull());  // empty, not null
        EXPECT_EQ(second.FieldNamed("S1").AsString(), "");
        EXPECT_EQ(second.FieldNamed("S2").AsString(), "");
        EXPECT_TRUE(second.FieldNamed("S3").IsNull());
    }
}

TEST(CatalogPacket, DeletedRecordsAreNotWrittenAndKeysKeepGrowing) {
    TClientDataSet table;
    CreateCatalog(table);
    AddExampleFilms(table);
    table.Last();
    ASSERT_EQ(table.FieldNamed("K").AsInteger(), 2);
    table.Delete();
    const std::string packet = table.SaveToBytes(dfXML);
    EXPECT_EQ(packet.find("The Long Road"), std::string::npos);
    EXPECT_NE(packet.find("AUTOINCVALUE=\"3\""), std::string::npos);

    TClientDataSet reloaded;
    reloaded.LoadFromBytes(packet);
    reloaded.SetTrackChanges(false);
    AddRow(reloaded, {"New"});
    EXPECT_EQ(reloaded.FieldNamed("K").AsInteger(), 3);
}

TEST(CatalogPacket, RecordsAreWrittenInInsertionOrderWhateverTheActiveIndex) {
    TClientDataSet table;
    CreateCatalog(table);
    AddRow(table, {"b"});
    AddRow(table, {"a"});
    table.BuildIndex("k", "S1", 0);
    table.SetIndexName("k");
    const std::string packet = table.SaveToBytes(dfXML);
    EXPECT_LT(packet.find("S1=\"b\""), packet.find("S1=\"a\""));
}

// Without the "Autoinc" mark and the counter (a K marked so counts on without it).
TEST(CatalogPacket, WithoutAutoIncMarkThereIsNoAutoIncrement) {
    std::string packet = TwoRecordCatalog(false);
    packet.replace(packet.find("<PARAMS AUTOINCVALUE=\"3\"/>"), 26, "<PARAMS/>");
    packet.replace(packet.find(" SUBTYPE=\"Autoinc\""), 18, "");
    TClientDataSet table;
    table.LoadFromBytes(packet);
    table.SetTrackChanges(false);
    table.BuildIndex("x", "K", ixPrimary | ixUnique);
    AddRow(table, {"first"});
    EXPECT_TRUE(table.FieldNamed("K").IsNull());
    try {
        AddRow(table, {"second"});
        FAIL();
    } catch (const EDBClient& error) {
        EXPECT_EQ(error.ErrorCode, dberr::KeyViolation);
        EXPECT_STREQ(error.what(), "");
    }
    table.Cancel();
    EXPECT_EQ(table.SaveToBytes(dfXML).find("AUTOINCVALUE"), std::string::npos);
}

TEST(CatalogPacket, LoadedTextsAreCutToTheirWidthButKeepTrailingBlanks) {
    std::string packet = TwoRecordCatalog(false);
    packet.replace(packet.find("S4=\"EN\""), 7, "S4=\"ENGLISH\"");
    packet.replace(packet.find("S5=\"CZ\""), 7, "S5=\"CZ  \"");
    TClientDataSet table;
    table.LoadFromBytes(packet);
    EXPECT_EQ(table.FieldNamed("S4").AsString(), "EN");
    EXPECT_EQ(table.FieldNamed("S5").AsString(), "CZ  ");
}

TEST(CatalogPacket, UnknownParametersTravelWithTheTable) {
    std::string packet = TwoRecordCatalog(false);
    packet.replace(packet.find("<PARAMS AUTOINCVALUE=\"3\"/>"), 26, "<PARAMS AUTOINCVALUE=\"3\" MYKEY=\"abc\"/>");
    TClientDataSet table;
    table.LoadFromBytes(packet);
    const std::string written = table.SaveToBytes(dfXML);
    EXPECT_NE(written.find("<PARAMS AUTOINCVALUE=\"3\"><PARAM Name=\"MYKEY\" Value=\"abc\"/></PARAMS>"),
              std::string::npos)
        << written;
}

TEST(CatalogPacket, FailedLoadsLeaveTheTableClosed) {
    ScratchDir dir;
    TClientDataSet table;
    CreateCatalog(table);

    try {
        table.LoadFromBytes("\xEF\xBB\xBF<DATAPACKET/>");
        FAIL();
    } catch (const EDBClient& error) {
        EXPECT_EQ(error.ErrorCode, dberr::NotAPacket);
    }
    EXPECT_FALSE(table.Active());

    WriteBytes(dir.File("empty.xml"), "");
    try {
        table.LoadFromFile(dir.File("empty.xml"));
        FAIL();
    } catch (const EDBClient&) {
        FAIL() << "a zero-byte file is the table's own error";
    } catch (const EDatabaseError& error) {
        EXPECT_STREQ(error.what(), "Missing data provider or data packet");
    }
    EXPECT_FALSE(table.Active());

    try {
        table.LoadFromFile(dir.File("missing.xml"));
        FAIL();
    } catch (const EFileError& error) {
        EXPECT_STREQ(error.what(), "No such file or directory");
    }
    EXPECT_FALSE(table.Active());

    std::string badType = TwoRecordCatalog(false);
    badType.replace(badType.find("fieldtype=\"i4\""), 14, "fieldtype=\"zz\"");
    try {
        table.LoadFromBytes(badType);
        FAIL();
    } catch (const EDBClient& error) {
        EXPECT_EQ(error.ErrorCode, dberr::InvalidKeyType);
    }
    EXPECT_FALSE(table.Active());
}

TEST(CatalogPacket, SaveToFileDecidesTheFormByName) {
    ScratchDir dir;
    TClientDataSet table;
    CreateCatalog(table);
    AddExampleFilms(table);
    table.SaveToFile(dir.File("filmy.XML"));
    EXPECT_EQ(fileio::ReadWholeFile(dir.File("filmy.XML")), TwoRecordCatalog(false));
    table.SaveToFile(dir.File("filmy.dat"));
    const std::string binary = fileio::ReadWholeFile(dir.File("filmy.dat"));
    EXPECT_EQ(binary.substr(0, 4), "\x21\x5E\x3A\x7C");
    TClientDataSet reloaded;
    reloaded.LoadFromFile(dir.File("filmy.dat"));
    EXPECT_EQ(Column(reloaded, "S2"), Column(table, "S2"));

    std::ostringstream stream;
    table.SaveToStream(stream, dfXML);
    EXPECT_EQ(stream.str(), TwoRecordCatalog(false));
    std::istringstream input(stream.str());
    reloaded.LoadFromStream(input);
    EXPECT_EQ(reloaded.CountRecords(), 2);
}

TEST(CatalogPacket, CloseSavesThroughFileNameOnlyAfterChanges) {
    ScratchDir dir;
    const std::string path = dir.File("filmy.xml");
    {
        TClientDataSet table;
        CreateCatalog(table);
        table.SetFileName(path);
        table.Close();  // nothing entered: no file
        EXPECT_FALSE(fs::exists(path));
        CreateCatalog(table);
        AddExampleFilms(table);
        table.Close();
        EXPECT_FALSE(table.Active());
        EXPECT_EQ(fileio::ReadWholeFile(path), TwoRecordCatalog(false));
        // A loaded table with records counts them as entered, so closing writes again.
        WriteBytes(path, TwoRecordCatalog(false));
        table.LoadFromFile(path);
    }
    EXPECT_EQ(fileio::ReadWholeFile(path), TwoRecordCatalog(true));

    TClientDataSet binary;
    CreateCatalog(binary);
    binary.SetFileName(dir.File("filmy.cds"));
    AddExampleFilms(binary);
    binary.Close();
    EXPECT_EQ(fileio::ReadWholeFile(dir.File("filmy.cds")).substr(0, 4), "\x21\x5E\x3A\x7C");
}

TEST(CatalogPacket, FailedSaveLeavesTheOldFileIntact) {
    ScratchDir dir;
    const std::string path = dir.File("filmy.xml");
    WriteBytes(path, EmptyCatalog());
    TClientDataSet table;
    table.LoadFromFile(path);
    table.SetTrackChanges(false);
    AddRow(table, {"Added"});
    for (const bool atRename : {true, false}) {
        const FaultyFileOperations failing(atRename ? Fault{Fault::Rename, EACCES} : Fault{Fault::Write, ENOSPC, 1});
        try {
            table.SaveToFile(path, dfXML);
            FAIL();
        } catch (const EFileError& error) {
            EXPECT_STREQ(error.what(), atRename ? "Permission denied" : "No space left on device");
        }
        EXPECT_EQ(fileio::ReadWholeFile(path), EmptyCatalog());
        EXPECT_EQ(dir.Names().size(), 1u);
    }
    // A close whose save fails keeps the table and its records.
    table.SetFileName(path);
    {
        const FaultyFileOperations failing({Fault::Write, ENOSPC, 1});
        EXPECT_THROW(table.Close(), EFileError);
    }
    EXPECT_TRUE(table.Active());
    EXPECT_EQ(table.CountRecords(), 1);
    table.SetFileName("");
}

// A file is read in pieces while it is parsed; whatever it holds, it loads
// exactly as its bytes held in memory do.
TEST(CatalogPacket, FilesLoadAsTheirBytesDo) {
    const auto outcome = [](const std::function<void(TClientDataSet&)>& load) -> std::string {
        TClientDataSet table;
        try {
            load(table);
            return table.SaveToBytes(dfXML);
        } catch (const EDBClient& error) {
            return "EDBClient " + std::to_string(error.ErrorCode);
        } catch (const EDatabaseError& error) {
            return std::string("EDatabaseError ") + error.what();
        }
    };
    ScratchDir dir;
    const std::string path = dir.File("filmy.xml");
    TClientDataSet catalog;
    CreateCatalog(catalog);
    AddExampleFilms(catalog);
    // A note longer than the reader's window makes one element widen it.
    AddRow(catalog, {"Long note", nullptr, "3", nullptr, nullptr, nullptr, nullptr});
    catalog.Last();
    catalog.Edit();
    catalog.FieldNamed("S7").SetAsString(std::string(100, 'n'));
    catalog.Post();
    std::string whole = catalog.SaveToBytes(dfXML);
    const std::string bigRow = "<ROW K=\"9\" S7=\"" + std::string(600000, 'x') + "\"/>";
    whole.insert(whole.find("</ROWDATA>"), bigRow);
    // Reading in pieces is checked cut by cut with the packet reader; here the
    // files: empty, cut early, cut in the metadata, in a row, in the long row.
    for (std::size_t length = 0; length <= whole.size(); length += length < 64 ? 7 : 997 + length / 8) {
        const std::string prefix = whole.substr(0, length);
        WriteBytes(path, prefix);
        ASSERT_EQ(outcome([&](TClientDataSet& t) { t.LoadFromFile(path); }),
                  outcome([&](TClientDataSet& t) { t.LoadFromBytes(prefix); }))
            << "the first " << length << " bytes";
    }
    WriteBytes(path, whole);
    TClientDataSet table;
    table.LoadFromFile(path);
    table.Last();
    EXPECT_EQ(table.FieldNamed("S7").AsString(), std::string(100, 'x'));
}

// A large table goes to its file in pieces while it is written; the file holds
// exactly the packet, and a failing write leaves the old file as it was.
TEST(CatalogPacket, LargeTablesSaveAsTheirBytes) {
    ScratchDir dir;
    const std::string path = dir.File("filmy.xml");
    TClientDataSet table;
    CreateCatalog(table);
    for (int i = 0; i < 5000; ++i)
        AddRow(table, {"A film with a long enough title", "Film s dlouh\xfdm n\xe1zvem", "12", "EN", "CZ", "1",
                     i % 3 ? nullptr : "A note"});
    const std::string bytes = table.SaveToBytes(dfXML);
    ASSERT_GT(bytes.size(), 512u * 1024);
    table.SaveToFile(path, dfXML);
    EXPECT_EQ(fileio::ReadWholeFile(path), bytes);

    AddRow(table, {"One more"});
    {
        const FaultyFileOperations failing({Fault::Write, ENOSPC, 2}, FaultyFileOperations::kWhole);
        EXPECT_THROW(table.SaveToFile(path, dfXML), EFileError);
        EXPECT_GE(failing.Writes, 2);
    }
    EXPECT_EQ(fileio::ReadWholeFile(path), bytes);
    EXPECT_EQ(dir.Names().size(), 1u);
}
