#include "PacketModel.h"
#include "packet/PacketOutput.h"
#include "tests/common/CatalogDocuments.h"

#include <gtest/gtest.h>

#include <cstring>

namespace {

using namespace packettest;
using namespace catalog_documents;

constexpr std::uint32_t kXml = 5;       // SaveFormat 1
constexpr std::uint32_t kXmlUtf8 = 13;  // SaveFormat 2

// A packet with one column "A" of the given type and one table parameter.
PacketData WithTableParam(std::string name, ColumnType type, std::string value) {
    PacketData packet;
    packet.Columns.push_back({"A", coltype::Int32, 0, {}});
    packet.TableParams.push_back({std::move(name), type, std::move(value)});
    return packet;
}

// The text between "<PARAMS" and "</METADATA>".
std::string ParamsElement(const std::string& packet) {
    const auto start = packet.find("<PARAMS");
    return packet.substr(start, packet.find("</METADATA>") - start);
}

std::string ValueTextOf(ColumnType type, std::string value, std::uint32_t flags = kXml) {
    const std::string params = ParamsElement(Written(WithTableParam("V", type, std::move(value)), flags));
    const auto start = params.find("Value=\"") + 7;
    return params.substr(start, params.find('"', start) - start);
}

// One row of one string column "T".
std::string RowOfText(const std::string& text, std::uint32_t flags = kXml) {
    PacketData packet;
    packet.Columns.push_back({"T", coltype::String1, 0, {}});
    packet.Rows.push_back({0, {text}});
    const std::string out = Written(packet, flags);
    const auto start = out.find("<ROWDATA>") + 9;
    return out.substr(start, out.find("</ROWDATA>") - start);
}

TEST(XmlWriter, EmptyCatalogIsWrittenByteForByte) {
    EXPECT_EQ(Written(Catalog({}, 1), kXml), EmptyCatalog());
}

TEST(XmlWriter, TwoFilmCatalogIsWrittenByteForByte) {
    EXPECT_EQ(Written(Catalog(ExampleFilms(), 3), kXml), TwoRecordCatalog(false));
    // Saved again after a load, the key column carries the read-only bit.
    EXPECT_EQ(Written(Catalog(ExampleFilms(), 3, true), kXml), TwoRecordCatalog(true));
}

TEST(XmlWriter, SaveFormatsSelectTheFlags) {
    EXPECT_EQ(XmlFlagsForSaveFormat(0), 0u);
    EXPECT_EQ(XmlFlagsForSaveFormat(1), 5u);
    EXPECT_EQ(XmlFlagsForSaveFormat(2), 13u);
}

TEST(XmlWriter, Utf8FormHasItsHeaderAndWritesHighBytesAsTwoBytes) {
    const std::string out = Written(Catalog({}, 1), kXmlUtf8);
    EXPECT_EQ(out.substr(0, 57), "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>  ");
    EXPECT_EQ(RowOfText("\xE8", kXmlUtf8), "<ROW T=\"\xC3\xA8\"/>");
}

TEST(XmlWriter, TextIsEscapedAndCzechLettersBecomeReferences) {
    EXPECT_EQ(RowOfText("\xC8" "ern\xFD k\xF9\xF2"), "<ROW T=\"&#200;ern&#253; k&#249;&#242;\"/>");
    EXPECT_EQ(RowOfText("a<b>c\"d'e&f"), "<ROW T=\"a&lt;b&gt;c&quot;d&apos;e&amp;f\"/>");
    EXPECT_EQ(RowOfText("x\\y\r\n\tz"), "<ROW T=\"x&#092;y&#013;&#010;&#009;z\"/>");
    EXPECT_EQ(RowOfText(std::string("a\0b", 3)), "<ROW T=\"ab\"/>");
    EXPECT_EQ(RowOfText(std::string(1, '\0')), "<ROW T=\"\"/>");
    // An ampersand followed by byte 1 stays an ampersand: the text reads back unchanged.
    EXPECT_EQ(RowOfText("&\x01" "232;"), "<ROW T=\"&amp;\x01" "232;\"/>");
    // Every byte but zero reads back as it was, in either form, at any place.
    std::string everyByte;
    for (int c = 1; c < 256; ++c) everyByte += static_cast<char>(c);
    for (const std::uint32_t flags : {kXml, kXmlUtf8}) {
        PacketData packet;
        packet.Columns.push_back({"T", coltype::String1, 0, {}});
        packet.Rows.push_back({0, {everyByte}});
        packet.Rows.push_back({0, {std::string(everyByte.rbegin(), everyByte.rend())}});
        EXPECT_EQ(ReadBack(Written(packet, flags)).Rows, packet.Rows) << flags;
    }
}

TEST(XmlWriter, NullsWriteNoAttributeAndRowStatusIsWrittenWhenSet) {
    PacketData packet;
    packet.Columns.push_back({"A", coltype::Int32, 0, {}});
    packet.Columns.push_back({"B", coltype::String1, 0, {}});
    packet.Rows.push_back({4, {std::nullopt, std::string(1, '\0')}});
    packet.Rows.push_back({0, {std::nullopt, std::nullopt}});
    const std::string out = Written(packet, kXml);
    EXPECT_NE(out.find("<ROWDATA><ROW RowState=\"4\" B=\"\"/><ROW/></ROWDATA>"), std::string::npos) << out;
}

TEST(XmlWriter, ValueTextsFollowTheirTypes) {
    EXPECT_EQ(ValueTextOf(coltype::Int8, "\xFB"), "-5");
    EXPECT_EQ(ValueTextOf(coltype::Int16, I2(-300)), "-300");
    EXPECT_EQ(ValueTextOf(coltype::UInt32, I4(-1)), "4294967295");
    EXPECT_EQ(ValueTextOf(coltype::Int32, I4(-2147483647 - 1)), "-2147483648");
    EXPECT_EQ(ValueTextOf(0x30001, "\x01"), "TRUE");
    EXPECT_EQ(ValueTextOf(coltype::Boolean16, I2(0)), "FALSE");
    const auto f8 = [](double d) {
        std::string bytes(8, '\0');
        std::memcpy(bytes.data(), &d, 8);
        return bytes;
    };
    EXPECT_EQ(ValueTextOf(coltype::Float64, f8(0.1)), "0.1");
    EXPECT_EQ(ValueTextOf(coltype::Float64, f8(1.0 / 3)), "0.3333333333333333");
    EXPECT_EQ(ValueTextOf(coltype::Float64, f8(-2.5e20)), "-2.5e+20");
    // 739 282 days after 1 January of year 1 is 1 February 2025.
    EXPECT_EQ(ValueTextOf(coltype::Date, I4(739283)), "20250201");
    EXPECT_EQ(ValueTextOf(coltype::Time, I4(((13 * 60 + 5) * 60 + 7) * 1000 + 250)), "13:05:07250");
    EXPECT_EQ(ValueTextOf(coltype::DateTime, f8(739283.0 * 86400000)), "20250201");
    EXPECT_EQ(ValueTextOf(coltype::DateTime, f8(739283.0 * 86400000 + 3600000)), "20250201T01:00:00000");
    std::string stamp = I2(2024) + I2(2) + I2(29) + I2(23) + I2(59) + I2(58) + I4(7);
    EXPECT_EQ(ValueTextOf(coltype::SqlTimeStamp, stamp), "20240229T23:59:58007");
    stamp = I2(2024) + I2(2) + I2(29) + I2(0) + I2(0) + I2(0) + I4(0);
    EXPECT_EQ(ValueTextOf(coltype::SqlTimeStamp, stamp), "20240229");
    // BCD: 4 digits, 2 of them after the point, negative: -12.50.
    EXPECT_EQ(ValueTextOf(0x50006, std::string("\x04\x82\x12\x50\x00\x00", 6)), "-12.5");
    EXPECT_EQ(ValueTextOf(0x50006, std::string("\x03\x02\x00\x50\x00\x00", 6)), "0.05");
    EXPECT_EQ(ValueTextOf(coltype::Bytes1, "\x05" "abcde"), "YWJjZGU=");
    EXPECT_EQ(ValueTextOf(coltype::IntArray, I4(3) + I4(1) + I4(-2) + I4(30000)), "1 -2 30000");
    // 16-bit elements are written as signed, whatever the array's own type.
    EXPECT_EQ(ValueTextOf(0x820002, I4(2) + I2(1) + I2(static_cast<std::int16_t>(0x8002))), "1 -32766");
    EXPECT_EQ(ValueTextOf(coltype::WideString1, std::string("\x08" "A\0\x0D\x01<\0\xAC\x20", 9)), "A&#269;&lt;&#8364;");
    EXPECT_EQ(ValueTextOf(coltype::WideString1, std::string("\x04\x0D\x01\xAC\x20", 5), kXmlUtf8),
              "\xC4\x8D\xE2\x82\xAC");
}

TEST(XmlWriter, UnknownParametersBecomeParamElementsAndLaterKnownOnesStayAttributes) {
    PacketData packet;
    packet.Columns.push_back({"A", coltype::Int32, 0,
                              {{"MYFIELDKEY", coltype::String1, Str1("x")}, {"WIDTH", coltype::Int16, I2(5)}}});
    packet.TableParams = {{"MYKEY", coltype::String1, Str1("v")},
                          {"MYNUMBER", coltype::Int32 | coltype::Roundtrip, I4(7)},
                          {"AUTOINCVALUE", coltype::Int32, I4(3)},
                          {"LCID", coltype::Int16, I2(5)}};
    const std::string out = Written(packet, kXml);
    EXPECT_NE(out.find("<FIELD attrname=\"A\" fieldtype=\"i4\"  WIDTH=\"5\">"
                       "<PARAM Name=\"MYFIELDKEY\" Value=\"x\"/></FIELD></FIELDS>"),
              std::string::npos)
        << out;
    EXPECT_EQ(ParamsElement(out),
              "<PARAMS  AUTOINCVALUE=\"3\"  LCID=\"5\"><PARAM Name=\"MYKEY\" Value=\"v\"/>"
              "<PARAM Name=\"MYNUMBER\" Value=\"7\" Type=\"i4\" Roundtrip=\"True\"/></PARAMS>");
}

TEST(XmlWriter, ColumnsWithoutParametersGiveAnEmptyParamsElement) {
    PacketData packet;
    packet.Columns.push_back({"A", coltype::Int32, caHidden | caRequired | caReadOnly | caLink, {}});
    packet.Columns.push_back({"B", 0xB0010, 0, {}});
    const std::string out = Written(packet, kXml);
    EXPECT_NE(out.find("<FIELD attrname=\"A\" fieldtype=\"i4\" readonly=\"true\" required=\"true\" hidden=\"true\" "
                       "linkfield=\"true\"/><FIELD attrname=\"B\" fieldtype=\"bin.hex\" WIDTH=\"16\"/>"
                       "</FIELDS><PARAMS/></METADATA>"),
              std::string::npos)
        << out;
}

TEST(XmlWriter, ColumnNamesWithSpecialCharactersKeepTheirOwnNameInFieldname) {
    PacketData packet;
    packet.Columns.push_back({"My name (1)?", coltype::Int32, 0, {}});
    packet.Rows.push_back({0, {I4(5)}});
    const std::string out = Written(packet, kXml);
    EXPECT_NE(out.find("<FIELD fieldname=\"My name (1)?\" attrname=\"My_name__1__\" fieldtype=\"i4\"/>"),
              std::string::npos);
    EXPECT_NE(out.find("<ROW My_name__1__=\"5\"/>"), std::string::npos);
    EXPECT_EQ(ReadBack(out).Columns[0].Name, "My name (1)?");
}

TEST(XmlWriter, WithoutTheMetadataFlagOnlyRowsAreWritten) {
    EXPECT_EQ(Written(Catalog({ExampleFilms()[1]}, 3), 1),
              kHeader + "<DATAPACKET Version=\"2.0\"><ROWDATA>"
                        "<ROW K=\"2\" S1=\"The Long Road\" S2=\"Dlouh&#225; cesta\" S3=\"12\" S4=\"CZ\" S6=\"2\"/>"
                        "</ROWDATA></DATAPACKET>");
}

TEST(XmlWriter, RefusedRequestsReportTheirCodes) {
    PacketData packet;
    std::string out;
    packet.Columns.push_back({"RowState", coltype::Int32, 0, {}});
    EXPECT_EQ(Write(packet, kXml, out), pkt::NotAllowed);
    packet.Columns[0] = {"A", coltype::Int64, 0, {}};
    EXPECT_EQ(Write(packet, kXml, out), pkt::NoTypeName);
    EXPECT_EQ(Write(packet, 0, out), 0) << "the binary form has no type names to miss";
    packet.Columns[0] = {"A", coltype::Float80, 0, {}};
    EXPECT_EQ(Write(packet, kXml, out), pkt::NoTypeName);
    packet.Columns[0] = {"A", 0x130004, 0, {}};
    EXPECT_EQ(Write(packet, kXml, out), pkt::NotAllowed);
    packet.Columns[0] = {"A", 0x10C0002, 0, {}};
    EXPECT_EQ(Write(packet, kXml, out), pkt::NoTypeName);
    EXPECT_EQ(Write(WithTableParam("X", coltype::Int64, I4(0) + I4(0)), kXml, out), pkt::NoTypeName);
    EXPECT_EQ(Write(WithTableParam("X", coltype::Int32, "12"), kXml, out), pkt::BufferTooSmall);
    EXPECT_EQ(Write(WithTableParam("X", coltype::String1, "\x09" "abc"), kXml, out), pkt::BufferTooSmall);

    TDATAPACKET_WRITE writer;
    EXPECT_EQ(writer.BeginPacket(4, 1), pkt::NotAPacket);

    TDATAPACKET_WRITE second;
    ColumnDesc column;
    column.SetName("A");
    column.Type = coltype::Int32;
    ASSERT_EQ(second.SetXmlFlags(kXml), 0);
    ASSERT_EQ(second.BeginPacket(3, 1), 0);
    ASSERT_EQ(second.AddColumn(column), 0);
    EXPECT_EQ(second.AddColumn(column), pkt::NotAllowed) << "more columns than announced";
    EXPECT_EQ(second.PutValue(0, 1, "\0"), pkt::NotAllowed) << "a failed writer stays failed";

    TDATAPACKET_WRITE third;
    const std::uint8_t status = 0;
    ASSERT_EQ(third.SetXmlFlags(kXml), 0);
    ASSERT_EQ(third.BeginPacket(3, 1), 0);
    ASSERT_EQ(third.AddColumn(column), 0);
    ASSERT_EQ(third.PutValue(0, 1, &status), 0);
    EXPECT_EQ(third.PutValue(0, -1, "abcd"), pkt::NegativeLength);

    TDATAPACKET_WRITE fourth;
    const std::string one = I4(1);
    ASSERT_EQ(fourth.SetXmlFlags(kXml), 0);
    ASSERT_EQ(fourth.BeginPacket(3, 1), 0);
    ASSERT_EQ(fourth.AddColumn(column), 0);
    ASSERT_EQ(fourth.PutValue(0, 1, &status), 0);
    ASSERT_EQ(fourth.PutValue(0, 4, one.data()), 0);
    EXPECT_EQ(fourth.AddParam(1, "AUTOINCVALUE", coltype::Int32, one.data(), 4), pkt::NotAllowed);
}

TEST(XmlWriter, LargePacketsGoToTheOutputInPiecesFromTheFirstRowOn) {
    PacketData packet = Catalog(ExampleFilms(), 3);
    while (packet.Rows.size() < 6000) packet.Rows.push_back(packet.Rows[packet.Rows.size() % 2]);
    const std::string whole = Written(packet, kXml);  // also compares the pieces with the whole
    ASSERT_GT(whole.size(), 512u * 1024);

    struct Pieces : PacketOutput {
        std::vector<std::string> Got;
        void Write(std::string_view bytes) override { Got.emplace_back(bytes); }
    } output;
    TDATAPACKET_WRITE writer;
    ASSERT_EQ(writer.SetOutput(output), 0);
    ASSERT_EQ(writer.SetXmlFlags(kXml), 0);
    ASSERT_EQ(writer.BeginPacket(3, 1), 0);
    ColumnDesc column;
    column.SetName("A");
    column.Type = coltype::String1;
    ASSERT_EQ(writer.AddColumn(column), 0);
    const std::string value(100, 'v');
    for (int row = 0; row < 8000; ++row) {
        const std::uint8_t status = 0;
        ASSERT_EQ(writer.PutValue(0, 1, &status), 0);
        ASSERT_EQ(writer.PutValue(0, static_cast<std::int32_t>(value.size()), value.data()), 0);
    }
    std::string_view rest;
    ASSERT_EQ(writer.FinishPacket(rest), 0);
    ASSERT_GE(output.Got.size(), 2u);
    EXPECT_NE(output.Got[0].find("</METADATA><ROWDATA><ROW A=\""), std::string::npos) << "the metadata goes first, whole";
    EXPECT_EQ(rest.substr(rest.size() - 23), "</ROWDATA></DATAPACKET>");
}

}  // namespace
