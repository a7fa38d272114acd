// Packets the program did not write itself: a load gives the table they hold or
// fails with the reader's code, and never reads out of bounds.
#include <gtest/gtest.h>

#include <functional>

#include "TableFixtures.h"

namespace {

std::string Catalogue(TDataPacketFormat format) {
    TClientDataSet table;
    CreateCatalogue(table);
    for (const char* title : {"Quiet Harbour", "Tich\xfd p\xf8\xedstav", ""}) {
        table.Insert();
        table.FieldNamed("S1").SetAsString(title);
        table.FieldNamed("S3").SetAsInteger(12);
        table.Post();
    }
    return table.SaveToBytes(format);
}

std::string Packet(const std::string& fields, const std::string& params, const std::string& rows) {
    return "<DATAPACKET Version=\"2.0\"><METADATA><FIELDS>" + fields + "</FIELDS><PARAMS" + params +
           "/></METADATA><ROWDATA>" + rows + "</ROWDATA></DATAPACKET>";
}

}  // namespace

// A cut-off file is refused as not a packet and leaves the table closed; only
// what follows the rows ("</DATAPACKET>") may go missing, and then all rows load.
TEST(ForeignPacket, EveryPrefixIsRefusedUnlessItHoldsAllRows) {
    for (const auto format : {dfXML, dfBinary}) {
        const std::string whole = Catalogue(format);
        const std::size_t complete = format == dfXML ? whole.find("</ROWDATA>") + 10 : whole.size();
        for (std::size_t length = 0; length < whole.size(); ++length) {
            SCOPED_TRACE(std::to_string(length) + " of " + std::to_string(whole.size()) + " bytes, format " +
                         std::to_string(format));
            // An exact-size copy, so that a read past the end is caught by the sanitizer.
            const std::string prefix = whole.substr(0, length);
            TClientDataSet table;
            if (length >= complete) {
                table.LoadFromBytes(prefix);
                EXPECT_EQ(Column(table, "S1"), (std::vector<std::string>{"Quiet Harbour", "Tich\xfd p\xf8\xedstav", ""}));
                continue;
            }
            try {
                table.LoadFromBytes(prefix);
                ADD_FAILURE() << "a cut-off packet loaded " << table.CountRecords() << " records";
            } catch (const EDBClient& error) {
                EXPECT_EQ(error.ErrorCode, dberr::NotAPacket);
                EXPECT_NE(length, 0u);
            } catch (const EDatabaseError& error) {
                EXPECT_EQ(length, 0u);
                EXPECT_STREQ(error.what(), dbtext::MissingPacket);
            }
            EXPECT_FALSE(table.Active());
        }
    }
}

TEST(ForeignPacket, TextColumnWithoutWidthKeepsWholeValues) {
    const std::string longText(400, 'x');
    TClientDataSet table;
    table.LoadFromBytes(Packet("<FIELD attrname=\"T\" fieldtype=\"string\"/>", "",
                               "<ROW T=\"short\"/><ROW T=\"" + longText + "\"/>"));
    EXPECT_GE(table.FieldNamed("T").Size(), 400);
    table.Last();
    EXPECT_EQ(table.FieldNamed("T").AsString(), longText);
    TClientDataSet again;
    again.LoadFromBytes(table.SaveToBytes(dfBinary));
    again.Last();
    EXPECT_EQ(again.FieldNamed("T").AsString(), longText);

    // Widths up to 32767 travel in both forms; a wider column loads whole but
    // cannot be saved, and a value beyond any width refuses the load.
    const auto codeOf = [](const std::function<void()>& action) -> int {
        try {
            action();
        } catch (const EDBClient& error) {
            return error.ErrorCode;
        }
        return 0;
    };
    for (const int length : {32767, 32768, 65535, 65536}) {
        SCOPED_TRACE(length);
        const std::string text(length, 'y');
        const int loaded = codeOf([&] { table.LoadFromBytes(Packet("<FIELD attrname=\"T\" fieldtype=\"string\"/>", "",
                                                                   "<ROW T=\"" + text + "\"/>")); });
        EXPECT_EQ(loaded, length > 65535 ? dberr::BufferTooSmall : 0);
        if (loaded) continue;
        EXPECT_EQ(table.FieldNamed("T").AsString(), text);
        for (const TDataPacketFormat format : {dfXML, dfBinary}) {
            std::string saved;
            EXPECT_EQ(codeOf([&] { saved = table.SaveToBytes(format); }), length > 32767 ? dberr::BufferTooSmall : 0);
            if (saved.empty()) continue;
            again.LoadFromBytes(saved);
            EXPECT_EQ(again.FieldNamed("T").AsString(), text);
        }
    }
    TClientDataSet created;
    created.FieldDefs().Add("T", ftString, 32768);
    EXPECT_EQ(codeOf([&] { created.CreateEmpty(); }), dberr::BufferTooSmall);
    EXPECT_FALSE(created.Active());
}

TEST(ForeignPacket, UnusableColumnsAndParametersAreRefused) {
    TClientDataSet table;
    const auto codeOf = [&](const std::string& packet) -> int {
        try {
            table.LoadFromBytes(packet);
        } catch (const EDBClient& error) {
            EXPECT_FALSE(table.Active());
            return error.ErrorCode;
        }
        return 0;
    };
    EXPECT_EQ(codeOf(Packet("<FIELD attrname=\"D\" fieldtype=\"r8\"/>", "", "")), dberr::InvalidKeyType);
    EXPECT_EQ(codeOf(Packet("<FIELD attrname=\"T\" fieldtype=\"string\" WIDTH=\"-3\"/>", "", "")),
              dberr::BufferTooSmall);
    EXPECT_EQ(codeOf(Packet("<FIELD attrname=\"K\" fieldtype=\"i4\"><PARAM Name=\"SUBTYPE\" Value=\"1\" Type=\"i4\"/>"
                            "</FIELD>",
                            "", "")),
              dberr::BufferTooSmall);
    EXPECT_EQ(codeOf(Packet("<FIELD attrname=\"K\" fieldtype=\"i4\"/>", " DEFAULT_ORDER=\"x\"", "")),
              dberr::InvalidKeyType);  // no field 0
    EXPECT_EQ(codeOf("<DATAPACKET><METADATA><FIELDS><FIELD attrname=\"K\" fieldtype=\"i4\"/></FIELDS><PARAMS>"
                     "<PARAM Name=\"DEFAULT_ORDER\" Value=\"1\" Type=\"i4\"/></PARAMS></METADATA><ROWDATA/>"
                     "</DATAPACKET>"),
              dberr::BufferTooSmall);  // not a list
    EXPECT_EQ(codeOf(Packet("<FIELD attrname=\"K\" fieldtype=\"i4\"/>", " DEFAULT_ORDER=\"1\" PRIMARY_KEY=\"1\"",
                            "<ROW K=\"1\"/><ROW K=\"1\"/>")),
              dberr::KeyViolation);
    EXPECT_EQ(codeOf(Packet("<FIELD attrname=\"K\" fieldtype=\"i4\"/>", " DEFAULT_ORDER=\"9\"", "")),
              dberr::InvalidKeyType);
}

TEST(ForeignPacket, DefaultOrderAndRowStatesFromAPacket) {
    TClientDataSet table;
    table.LoadFromBytes(Packet("<FIELD attrname=\"N\" fieldtype=\"i4\"/><FIELD attrname=\"S\" fieldtype=\"string\" "
                               "WIDTH=\"5\" SUBTYPE=\"Whatever\"/>",
                               " DEFAULT_ORDER=\"1\"",
                               "<ROW N=\"3\" S=\"c\"/><ROW N=\"1\" S=\"a\"/><ROW RowState=\"2\" N=\"0\" S=\"gone\"/>"
                               "<ROW RowState=\"4\" N=\"2\" S=\"b\"/>"));
    EXPECT_EQ(Column(table, "S"), (std::vector<std::string>{"a", "b", "c"}));
    table.SetTrackChanges(false);
    const std::string written = table.SaveToBytes(dfXML);
    // The key list comes back as read, the unknown subtype as a parameter of its column.
    EXPECT_NE(written.find("SUBTYPE=\"Whatever\""), std::string::npos) << written;
    EXPECT_NE(written.find("DEFAULT_ORDER=\"1\""), std::string::npos) << written;
    EXPECT_EQ(written.find("gone"), std::string::npos);
    EXPECT_EQ(written.find("RowState"), std::string::npos);
    EXPECT_THROW(table.BuildIndex("DEFAULT_ORDER", "S", 0), EDBClient);
}
