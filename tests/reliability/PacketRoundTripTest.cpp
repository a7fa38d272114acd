// Packets that load must save into packets that load again with the same
// records: otherwise the first save of a catalogue would make it unreadable.
// The cases are the ones the fuzzers found.
#include <gtest/gtest.h>

#include <string>

#include "table/ClientDataSet.h"

using namespace std::string_literals;

namespace {

const std::string kFields =
    "<METADATA><FIELDS><FIELD attrname=\"K\" fieldtype=\"i4\"/><FIELD attrname=\"S1\" fieldtype=\"string\" "
    "WIDTH=\"20\"/></FIELDS>";

std::string Packet(const std::string& params, const std::string& fields = kFields) {
    return "<DATAPACKET Version=\"2.0\">" + fields + params +
           "</METADATA><ROWDATA><ROW K=\"1\" S1=\"a\"/><ROW K=\"2\" S1=\"b\"/></ROWDATA></DATAPACKET>";
}

std::uint16_t LoadCode(const std::string& packet) {
    TClientDataSet table;
    try {
        table.LoadFromBytes(packet);
    } catch (const EDBClient& failure) {
        return failure.ErrorCode;
    }
    return 0;
}

// Loads, saves in each form and loads again; the records must come back.
void ExpectRoundTrip(const std::string& packet) {
    TClientDataSet table;
    table.LoadFromBytes(packet);
    for (const TDataPacketFormat format : {dfBinary, dfXML, dfXMLUTF8}) {
        SCOPED_TRACE(format);
        TClientDataSet again;
        ASSERT_NO_THROW(again.LoadFromBytes(table.SaveToBytes(format)));
        ASSERT_EQ(again.CountRecords(), 2);
        again.Last();
        EXPECT_EQ(again.Fields(again.FieldCount() - 1).AsString(), "b");  // S1 is the last column
    }
}

}  // namespace

TEST(PacketRoundTrip, ParameterNamesEndAtAZeroByte) {
    // Written back without its zero bytes, "PRIMARY_K\0EY" would come back as a
    // key list that is not one, and the catalogue would no longer load.
    const std::string packet = Packet("<PARAMS PRIMARY_K\0\0EY=\"1 1\"/>"s);
    ExpectRoundTrip(packet);
    ExpectRoundTrip(Packet("<PARAMS><PARAM Name=\"PRIMARY_K&#0;EY\" Value=\"1 1\"/></PARAMS>"));
}

TEST(PacketRoundTrip, BinaryParameterNamesEndAtAZeroByteToo) {
    TClientDataSet table;
    table.LoadFromBytes(Packet("<PARAMS PRIMARY_KXEY=\"1 1\" ABC=\"x\"/>"));
    std::string binary = table.SaveToBytes(dfBinary);
    binary.replace(binary.find("PRIMARY_KXEY"), 12, "PRIMARY_K\0EY"s);
    ExpectRoundTrip(binary);
    binary.replace(binary.find("ABC"), 3, "\0\0\0"s);
    EXPECT_EQ(LoadCode(binary), dberr::NotAPacket);
}

TEST(PacketRoundTrip, NamelessParametersAreNoParameters) {
    // An attribute without a name is passed over; a PARAM element without one is refused.
    ExpectRoundTrip(Packet("<PARAMS =\"1\" LCID=\"0\"/>"));
    ExpectRoundTrip(Packet("<PARAMS \0=\"1\" X=\"2\"/>"s));
    const std::string fieldParam = "<METADATA><FIELDS><FIELD attrname=\"K\" fieldtype=\"i4\" =\"x\"/>"
                                   "<FIELD attrname=\"S1\" fieldtype=\"string\" WIDTH=\"20\"/></FIELDS>";
    ExpectRoundTrip(Packet("<PARAMS/>", fieldParam));
    EXPECT_EQ(LoadCode(Packet("<PARAMS><PARAM Name=\"\" Value=\"1\"/></PARAMS>")), dberr::NotAPacket);
    EXPECT_EQ(LoadCode(Packet("<PARAMS><PARAM Name=\"&#0;\" Value=\"1\"/></PARAMS>")), dberr::NotAPacket);
}

TEST(PacketRoundTrip, TwoColumnsOfOneNameAreRefused) {
    // The rows of the XML form could not tell them apart.
    const std::string twice = "<METADATA><FIELDS><FIELD attrname=\"K\" fieldtype=\"i4\"/>"
                              "<FIELD attrname=\"S1\" fieldtype=\"i4\"/>"
                              "<FIELD attrname=\"S1\" fieldtype=\"string\" WIDTH=\"20\"/></FIELDS>";
    EXPECT_EQ(LoadCode(Packet("<PARAMS/>", twice)), dberr::NotAPacket);
    // Names differing in case are different names in the file.
    const std::string cases = "<METADATA><FIELDS><FIELD attrname=\"K\" fieldtype=\"i4\"/>"
                              "<FIELD attrname=\"s1\" fieldtype=\"i4\"/>"
                              "<FIELD attrname=\"S1\" fieldtype=\"string\" WIDTH=\"20\"/></FIELDS>";
    ExpectRoundTrip(Packet("<PARAMS/>", cases));
}

TEST(PacketRoundTrip, ParametersComeBackAsTheyWereRead) {
    // Meaning by being there, values unreadable in their name's type, types the writer cannot name.
    const std::string fields = "<METADATA><FIELDS><FIELD attrname=\"K\" fieldtype=\"i4\"/><FIELD attrname=\"S1\" "
                               "fieldtype=\"string\" WIDTH=\"20\" DECIMALS=\"2\" CALCULATED=\"1\" READONLY=\"no\"/></FIELDS>";
    const std::string packet =
        Packet("<PARAMS DATASET_DELTA=\"1\" READONLY=\"yes\" UPDATEMODE=\"x\" LCID=\"abc\"><PARAM Name=\"W\" "
               "Value=\"-9\" Type=\"i8\"/><PARAM Name=\"R\" Value=\"1.5\" Type=\"r10\"/></PARAMS>",
               fields);
    TClientDataSet table;
    table.LoadFromBytes(packet);
    const std::string saved = table.SaveToBytes(dfXML);
    for (const char* kept : {"DECIMALS=\"2\" WIDTH=\"20\" CALCULATED=\"1\" READONLY=\"no\"/>", "DATASET_DELTA=\"1\" READONLY=\"yes\" "
                             "UPDATEMODE=\"x\" LCID=\"abc\"><PARAM Name=\"W\" Value=\"-9\"/><PARAM Name=\"R\" Value=\"1.5\"/>"})
        EXPECT_NE(saved.find(kept), std::string::npos) << kept << " in " << saved;
    for (const TDataPacketFormat format : {dfBinary, dfXML}) {
        TClientDataSet again;
        again.LoadFromBytes(table.SaveToBytes(format));
        EXPECT_EQ(again.SaveToBytes(dfXML), saved) << format;
    }
    // A binary packet's parameter of such a type is refused when read, not at every later save.
    std::string binary = table.SaveToBytes(dfBinary);
    binary.replace(binary.find("\x01W") + 2, 4 + 1 + 2, "\x08\x00\x01\x00" "\xF7\xFF\xFF\xFF\xFF\xFF\xFF\xFF"s);
    EXPECT_EQ(LoadCode(binary), dberr::NoTypeName);
}
