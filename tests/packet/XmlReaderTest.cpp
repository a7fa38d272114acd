#include "PacketModel.h"
#include "packet/XmlTokenizer.h"

#include <gtest/gtest.h>

#include <cstring>

namespace {

using namespace packettest;

const std::string kHeader = "<?xml version=\"1.0\" standalone=\"yes\"?>  ";
const std::string kUtf8Header = "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>";

// A document with one string column S1 and one integer column S3.
std::string Document(const std::string& rows, const std::string& header = kHeader) {
    return header + "<DATAPACKET Version=\"2.0\"><METADATA><FIELDS>"
                    "<FIELD attrname=\"S1\" fieldtype=\"string\" WIDTH=\"50\"/><FIELD attrname=\"S3\" fieldtype=\"i4\"/>"
                    "</FIELDS><PARAMS AUTOINCVALUE=\"3\"/></METADATA><ROWDATA>" +
           rows + "</ROWDATA></DATAPACKET>";
}

// The first row's value of S1 read from `attribute` text.
std::optional<std::string> S1Of(const std::string& attribute, const std::string& header = kHeader) {
    const PacketData packet = ReadBack(Document("<ROW S1=\"" + attribute + "\"/>", header));
    return packet.Rows.empty() ? std::nullopt : packet.Rows[0].Values[0];
}

std::optional<std::string> S3Of(const std::string& attribute) {
    return ReadBack(Document("<ROW S3=\"" + attribute + "\"/>")).Rows.at(0).Values[1];
}

std::uint16_t StatusOf(std::string_view document) {
    PacketData packet;
    return Read(document, packet);
}

std::string FieldsDocument(const std::string& fields, const std::string& params = "<PARAMS/>") {
    return "<DATAPACKET><METADATA><FIELDS>" + fields + "</FIELDS>" + params + "</METADATA><ROWDATA/></DATAPACKET>";
}

TEST(XmlReader, CatalogReadsBackToItsColumnsParametersAndRows) {
    const PacketData packet = ReadBack(Written(Catalog(ExampleFilms(), 3), 5));
    ASSERT_EQ(packet.Columns.size(), 8u);
    EXPECT_EQ(packet.Columns[0], (ColumnData{"K", coltype::Int32, 0, {{"SUBTYPE", coltype::String1, Str1("Autoinc")}}}));
    EXPECT_EQ(packet.Columns[7], (ColumnData{"S7", coltype::String1, 0, {{"WIDTH", coltype::Int16, I2(100)}}}));
    EXPECT_EQ(packet.TableParams, (std::vector<ParamData>{{"AUTOINCVALUE", coltype::Int32, I4(3)}}));
    ASSERT_EQ(packet.Rows.size(), 2u);
    EXPECT_EQ(packet.Rows[0].Values[2], "Tich\xFD p\xF8\xEDstav");
    EXPECT_EQ(packet.Rows[0].Values[7], "Director's cut & extras");
    EXPECT_EQ(packet.Rows[1].Values[3], I4(12));
    EXPECT_EQ(packet.Rows[1].Values[5], std::nullopt);
}

TEST(XmlReader, EntitiesAndNumericReferencesDecode) {
    EXPECT_EQ(S1Of("&lt;&gt;&amp;&apos;&quot;"), "<>&'\"");
    EXPECT_EQ(S1Of("a&lxyb"), "a<b") << "only the letter after & decides; four characters go";
    EXPECT_EQ(S1Of("a&zz &"), "a&zz &");
    EXPECT_EQ(S1Of("&#232;&#x0E8;&#xe8;&#65"), "\xE8\xE8\xE8" "A");
    EXPECT_EQ(S1Of("&#X41;"), "&#X41;") << "only a lowercase x makes a hex reference";
    EXPECT_EQ(S1Of("&#200;ern&#253; k&#249;&#242;"), "\xC8" "ern\xFD k\xF9\xF2");
    EXPECT_EQ(S1Of("&#013;&#010;&#009;&#092;"), "\r\n\t\\");
}

// Values are scanned and copied sixteen bytes at a time: a reference or a UTF-8
// letter is decoded wherever it falls in a value of any length.
TEST(XmlReader, ReferencesDecodeAtEveryPlaceOfAValue) {
    for (std::size_t length = 1; length <= 40; ++length) {
        for (std::size_t at = 0; at < length; ++at) {
            std::string expected(length, 'a');
            expected[at] = '&';
            EXPECT_EQ(S1Of(std::string(at, 'a') + "&amp;" + std::string(length - at - 1, 'a') + "&#232;"),
                      expected + "\xE8");
            expected[at] = '\xE9';
            EXPECT_EQ(S1Of(std::string(at, 'a') + "\xC3\xA9" + std::string(length - at - 1, 'a'), kUtf8Header), expected);
        }
    }
}

TEST(XmlReader, CodePointsAbove255BecomeTheirWindows1250Letter) {
    EXPECT_EQ(S1Of("&#269;"), "\xE8");
    EXPECT_EQ(S1Of("&#x10D;&#352;&#8364;"), "\xE8\x8A\x80");
    EXPECT_EQ(S1Of("&#12354;"), "?");
    EXPECT_EQ(S1Of("\xC4\x8D", kUtf8Header), "\xE8");
    EXPECT_EQ(S1Of("\xE6\x97\xA5", kUtf8Header), "?");
}

TEST(XmlReader, Utf8HeaderSwitchesUtf8Decoding) {
    EXPECT_EQ(S1Of("caf\xC3\xA9", kUtf8Header), "caf\xE9");
    EXPECT_EQ(S1Of("caf\xC3\xA9", "<?xml version=\"1.0\" encoding=\"utf-8\"?>"), "caf\xE9");
    // Blanks around "=" are XML, and a file written so by another tool would lose every letter.
    EXPECT_EQ(S1Of("caf\xC3\xA9", "<?xml version = \"1.0\" encoding= \"UTF-8\"?>"), "caf\xE9");
    EXPECT_EQ(S1Of("caf\xC3\xA9"), "caf\xC3\xA9");
    EXPECT_EQ(S1Of("\xC3"), "\xC3") << "a lead byte at the end of a value without the switch";
    EXPECT_EQ(S1Of("x\xC3", kUtf8Header), "x?") << "a cut sequence keeps to the value";
}

TEST(XmlReader, IntegersReadUpToTheFirstNonDigit) {
    EXPECT_EQ(S3Of("12abc"), I4(12));
    EXPECT_EQ(S3Of(" -7"), I4(-7));
    EXPECT_EQ(S3Of("-"), std::nullopt);
    EXPECT_EQ(S3Of("x"), std::nullopt);
    EXPECT_EQ(S3Of("x12"), std::nullopt);
    EXPECT_EQ(S3Of(""), std::nullopt);
    EXPECT_EQ(S3Of("- 5"), I4(0)) << "a digit comes before any letter, but none follows the sign";
    // Beyond 32 bits a number is unreadable (null), never its low bits.
    EXPECT_EQ(S3Of("007"), I4(7));
    EXPECT_EQ(S3Of("999999999"), I4(999999999));
    EXPECT_EQ(S3Of("0000000042"), I4(42));
    EXPECT_EQ(S3Of("2147483647"), I4(2147483647));
    EXPECT_EQ(S3Of("-2147483648"), I4(-2147483647 - 1));
    for (const char* beyond : {"2147483648", "4294967296", "99999999999", "99999999999999999999999", "-2147483649"})
        EXPECT_EQ(S3Of(beyond), std::nullopt) << beyond;
}

TEST(XmlReader, AbsentAttributesAreNullAndEmptyOnesAreEmptyText) {
    const PacketData packet = ReadBack(Document("<ROW S3=\"1\"/><ROW S1=\"\"/><ROW s1=\"x\" Other=\"y\" S3=\"2\"/>"));
    ASSERT_EQ(packet.Rows.size(), 3u);
    EXPECT_EQ(packet.Rows[0].Values[0], std::nullopt);
    EXPECT_EQ(packet.Rows[1].Values[0], "");
    EXPECT_EQ(packet.Rows[1].Values[1], std::nullopt);
    EXPECT_EQ(packet.Rows[2].Values[0], std::nullopt) << "s1 is not S1";
    EXPECT_EQ(packet.Rows[2].Values[1], I4(2));
}

TEST(XmlReader, AttributeOrderAndRowStatusDoNotMatter) {
    const PacketData packet = ReadBack(Document("<ROW S3=\"5\" RowState=\"4\" S1=\"a\"/><ROWX S1=\"b\"/>"));
    ASSERT_EQ(packet.Rows.size(), 2u);
    EXPECT_EQ(packet.Rows[0], (RowData{4, {"a", I4(5)}}));
    EXPECT_EQ(packet.Rows[1], (RowData{0, {"b", std::nullopt}}));
}

// A row reads as the general element reader reads it, whatever the columns'
// names: also one with "=" in it, or ending in a blank.
TEST(XmlReader, RowsReadAlikeWhateverTheColumnsNames) {
    const auto packet = [](const std::string& row) {
        return "<?xml version=\"1.0\"?><DATAPACKET Version=\"2.0\"><METADATA><FIELDS><FIELD attrname=\"a=b\" "
               "fieldtype=\"string\"/><FIELD attrname=\"c \" fieldtype=\"string\"/></FIELDS><PARAMS/></METADATA>"
               "<ROWDATA>" + row + "</ROWDATA></DATAPACKET>";
    };
    for (const std::string attributes : {" a=b=\"x\" c =\"y\"", " c =\"y\"", " a=\"x\""})
        EXPECT_EQ(ReadBack(packet("<ROW" + attributes + "/>")).Rows, ReadBack(packet("< ROW" + attributes + "/>")).Rows)
            << attributes;
}

TEST(XmlReader, BlanksCommentsAndInstructionsBetweenElementsAreSkipped) {
    const std::string document =
        "\r\n<?xml version=\"1.0\"?>\n<!-- catalogue -->\n<DATAPACKET Version=\"2.0\">\n  <METADATA>\n"
        "    <FIELDS>\n      <FIELD attrname=\"S1\" fieldtype=\"string\"/>\n    </FIELDS>\n"
        "    <?engine skip?>\n    <PARAMS/>\n  </METADATA>\n  <ROWDATA>\n    <ROW S1=\"a\" />\n"
        "    <!-- a note -->\n    <ROW\n/>\n  </ROWDATA>\n</DATAPACKET>\n";
    const PacketData packet = ReadBack(document);
    ASSERT_EQ(packet.Rows.size(), 2u);
    EXPECT_EQ(packet.Rows[0].Values[0], "a");
}

TEST(XmlReader, HeaderAndDataPacketElementAreOptional) {
    const PacketData packet =
        ReadBack("<METADATA><FIELDS><FIELD attrname=\"A\" fieldtype=\"i2\"/></FIELDS></METADATA>"
                 "<ROWDATA><ROW A=\"3\"/></ROWDATA>");
    EXPECT_EQ(packet.Columns, (std::vector<ColumnData>{{"A", coltype::Int16, 0, {}}}));
    EXPECT_EQ(packet.Rows, (std::vector<RowData>{{0, {I2(3)}}}));
}

TEST(XmlReader, EmptyRowDataGivesNoRows) {
    EXPECT_TRUE(ReadBack(FieldsDocument("<FIELD attrname=\"A\" fieldtype=\"i4\"/>")).Rows.empty());
    EXPECT_TRUE(ReadBack(Document("")).Rows.empty());
}

TEST(XmlReader, MalformedDocumentsAreNotPackets) {
    EXPECT_EQ(StatusOf("\xEF\xBB\xBF" + Document("")), pkt::NotAPacket) << "byte-order mark";
    EXPECT_EQ(StatusOf("DATAPACKET"), pkt::NotAPacket);
    EXPECT_EQ(StatusOf("<DATAPACKET><ROWDATA/></DATAPACKET>"), pkt::NotAPacket) << "no metadata";
    EXPECT_EQ(StatusOf("<METADATA><PARAMS/></METADATA>"), pkt::NotAPacket) << "no fields";
    EXPECT_EQ(StatusOf("<METADATA><FIELDS/></METADATA>"), pkt::NotAPacket) << "no rows";
    EXPECT_EQ(StatusOf("<METADATA><FIELDS/></METADATA><ROWS/>"), pkt::NotAPacket);
    EXPECT_EQ(StatusOf(Document("<RECORD S1=\"a\"/>")), pkt::NotAPacket);
    EXPECT_EQ(StatusOf(Document("<ROW S1=\"a>b\" S3=\"5\"/>")), pkt::NotAPacket) << "a raw > ends the tag";
    EXPECT_EQ(StatusOf(FieldsDocument("<FIELD attrname=\"A>B\" fieldtype=\"i4\"/>")), pkt::NotAPacket);
    EXPECT_EQ(StatusOf(Document("<ROW S1=\"a\"></RO>")), pkt::NotAPacket) << "unmatched end tag";
    EXPECT_EQ(StatusOf("<METADATA><FIELDS></FIELD></METADATA>"), pkt::NotAPacket);
    EXPECT_EQ(StatusOf(FieldsDocument("<FIELD fieldtype=\"i4\"/>")), pkt::NotAPacket) << "no attrname or tagname";
    EXPECT_EQ(StatusOf(FieldsDocument("<FIELD\tattrname=\"A\" fieldtype=\"i4\"/>")), pkt::NotAPacket);
    EXPECT_EQ(StatusOf(FieldsDocument("<FIELD attrname=\"A\" fieldtype=\"i4\"/>", "<PARAMS\t/>")), 0)
        << "a blank other than space may stand before the end of the tag";
    EXPECT_EQ(StatusOf(FieldsDocument("<FIELD attrname=\"A\" fieldtype=\"i4\"/>",
                                      "<PARAMS><PARAM Value=\"1\"/></PARAMS>")),
              pkt::NotAPacket);
    EXPECT_EQ(StatusOf(FieldsDocument("<FIELD attrname=\"A\" fieldtype=\"i4\"/>",
                                      "<PARAMS><PARAM Name=\"X\"/></PARAMS>")),
              pkt::NotAPacket);
    EXPECT_EQ(StatusOf(FieldsDocument("<FIELD attrname=\"A\" fieldtype=\"i4\">text</FIELDS>")), pkt::NotAPacket);
}

TEST(XmlReader, FieldTypesAreReadByName) {
    EXPECT_EQ(StatusOf(FieldsDocument("<FIELD attrname=\"A\" fieldtype=\"int64\"/>")), pkt::InvalidKeyType);
    EXPECT_EQ(StatusOf(FieldsDocument("<FIELD attrname=\"A\" fieldtype=\"text\"/>")), pkt::InvalidKeyType);
    EXPECT_EQ(StatusOf(FieldsDocument("<FIELD attrname=\"A\"/>")), pkt::InvalidKeyType);
    const std::pair<const char*, ColumnType> names[] = {
        {"i4", 0x10004},      {"INT", 0x10004},       {"i", 0x10004},     {"i4extra", 0x10004}, {"ui", 0x20004},
        {"ui1", 0x20001},     {"i8", 0x10008},        {"r8", 0x40008},    {"boolean", 0x30002}, {"bin.hex", 0x4B0001},
        {"date", 0x60004},    {"time", 0x70004},      {"dateTime", 0x80008}, {"SQLdateTime", 0x110010},
        {"fixed", 0x50020},   {"fixedFMT", 0x120020}, {"string", 0x490001}, {"String.Uni", 0x4A0001},
        {"IntArray", 0x810004}, {"uintarray", 0x820004}, {"nested", 0x50E0000}, {"struct", 0x10C0000}, {"x", 0}};
    for (const auto& [name, type] : names) EXPECT_EQ(ColumnTypeFromName(name), type) << name;
}

TEST(XmlReader, FieldAttributesSetFlagsNamesAndParameters) {
    const PacketData packet = ReadBack(FieldsDocument(
        "<FIELD WIDTH=\"7\" fieldname=\"Own name\" attrname=\"Own_name\" readonly=\"TRUE\" hidden=\"yes\" "
        "required=\"true\" linkfield=\"true\" fieldtype=\"string\" SUBTYPE=\"Text\" MYATTR=\"x\">"
        "<PARAM Name=\"P\" Value=\"1 2\" Type=\"IntArray\" Roundtrip=\"\"/></FIELD>"));
    ASSERT_EQ(packet.Columns.size(), 1u);
    const ColumnData& column = packet.Columns[0];
    EXPECT_EQ(column.Name, "Own name");
    EXPECT_EQ(column.Attributes, caReadOnly | caRequired | caLink);
    EXPECT_EQ(column.Params, (std::vector<ParamData>{{"WIDTH", coltype::Int16, I2(7)},
                                                     {"SUBTYPE", coltype::String1, Str1("Text")},
                                                     {"MYATTR", coltype::String1, Str1("x")},
                                                     {"P", coltype::IntArray | coltype::Roundtrip, I4(2) + I4(1) + I4(2)}}));
}

TEST(XmlReader, ColumnNamesLongerThan31CharactersAreRefused) {
    const std::string name31(31, 'N');
    EXPECT_EQ(ReadBack(FieldsDocument("<FIELD attrname=\"" + name31 + "\" fieldtype=\"i4\"/>")).Columns[0].Name, name31);
    EXPECT_EQ(StatusOf(FieldsDocument("<FIELD attrname=\"" + name31 + "N\" fieldtype=\"i4\"/>")), pkt::NotAPacket);
}

TEST(XmlReader, UnknownTableParametersComeBackAsParamElements) {
    const std::string document =
        FieldsDocument("<FIELD attrname=\"A\" fieldtype=\"i4\"/>",
                       "<PARAMS MYKEY=\"abc\" LCID=\"1029\"><PARAM Name=\"N\" Value=\"9\" Type=\"weird\"/></PARAMS>");
    const PacketData packet = ReadBack(document);
    EXPECT_EQ(packet.TableParams, (std::vector<ParamData>{{"MYKEY", coltype::String1, Str1("abc")},
                                                          {"LCID", coltype::Int16, I2(1029)},
                                                          {"N", coltype::String1, Str1("9")}}));
    const std::string again = Written(packet, 5);
    EXPECT_NE(again.find("<PARAMS  LCID=\"1029\"><PARAM Name=\"MYKEY\" Value=\"abc\"/><PARAM Name=\"N\" Value=\"9\"/>"
                         "</PARAMS>"),
              std::string::npos)
        << again;
}

TEST(XmlReader, LongAttributeTextGetsAWiderLengthPrefix) {
    const std::string text(300, 'x');
    const PacketData packet = ReadBack(FieldsDocument("<FIELD attrname=\"A\" fieldtype=\"i4\"/>",
                                                      "<PARAMS NOTE=\"" + text + "\"/>"));
    EXPECT_EQ(packet.TableParams.at(0).Type, coltype::String2);
    EXPECT_EQ(packet.TableParams.at(0).Value, I2(300) + text);
}

TEST(XmlReader, ElementsLargerThanTheReadingWindowReadWhole) {
    // ReadBack also reads the document in pieces; these elements outgrow the
    // window such a read starts with.
    const std::string longText(700000, 'a');
    const std::string comment = "<!--" + std::string(300000, '-') + "-->";
    const PacketData packet = ReadBack(Document("<ROW S1=\"" + longText + "\"/>" + comment + "<ROW S3=\"7\"/>"));
    ASSERT_EQ(packet.Rows.size(), 2u);
    EXPECT_EQ(packet.Rows[0].Values[0], longText);
    EXPECT_EQ(packet.Rows[1].Values[1], I4(7));
}

TEST(XmlReader, TaggedColumnsTakeTheirValuesFromChildElements) {
    const std::string fields = "<FIELD attrname=\"A\" fieldtype=\"i4\"/><FIELD tagname=\"N\" fieldtype=\"string\"/>";
    const std::string head = "<METADATA><FIELDS>" + fields + "</FIELDS></METADATA><ROWDATA>";
    const PacketData packet =
        ReadBack(head + "<ROW A=\"1\"><N dt:dt=\"string\">a &amp; b</N></ROW><ROW A=\"2\"/><ROW><N/></ROW></ROWDATA>");
    EXPECT_EQ(packet.Rows, (std::vector<RowData>{{0, {I4(1), "a & b"}}, {0, {I4(2), std::nullopt}},
                                                 {0, {std::nullopt, ""}}}));
    EXPECT_EQ(StatusOf(head + "<ROW A=\"1\"><M>x</M></ROW></ROWDATA>"), pkt::NotAPacket);
    EXPECT_EQ(StatusOf(head + "<ROW A=\"1\"><N>x</ROW></ROWDATA>"), pkt::NotAPacket);
}

TEST(XmlReader, EveryValueTypeSurvivesARoundTrip) {
    PacketData packet;
    packet.Columns.push_back({"A", coltype::Int32, 0, {}});
    const std::string f8 = [] {
        std::string bytes(8, '\0');
        const double d = 739283.0 * 86400000 + 45296789;
        std::memcpy(bytes.data(), &d, 8);
        return bytes;
    }();
    packet.TableParams = {
        {"I1", coltype::Int8 | coltype::Roundtrip, "\x85"},
        {"I2", coltype::Int16, I2(-2)},
        {"U4", coltype::UInt32, I4(-5)},
        {"B", coltype::Boolean16, I2(1)},
        {"R", coltype::Float64, f8},
        {"D", coltype::Date, I4(739283)},
        {"T", coltype::Time, I4(45296789)},
        {"DT", coltype::DateTime, f8},
        {"SQ", coltype::SqlTimeStamp, I2(1999) + I2(12) + I2(31) + I2(23) + I2(59) + I2(59) + I4(999)},
        {"BCD", 0x50020, std::string("\x04\x83\x12\x34", 4) + std::string(28, '\0')},
        {"S", coltype::String1, Str1("\xE8<\"&>\\'")},
        {"W", coltype::WideString1, std::string("\x06" "a\0\x0D\x01\xAC\x20", 7)},
        {"BIN", coltype::Bytes1, std::string("\x04\x00\xFF\x10\x80", 5)},
        {"IA", coltype::IntArray, I4(3) + I4(-1) + I4(0) + I4(7)},
    };
    for (const std::uint32_t flags : {5u, 13u}) {
        const PacketData back = ReadBack(Written(packet, flags));
        EXPECT_EQ(back.TableParams, packet.TableParams) << flags;
    }
}

TEST(XmlReader, UnreadableNumbersInParametersAreMarkedNull) {
    for (const std::string unreadable : {"x", "4294967296"}) {
        TDATAPACKET_READ reader;
        const std::string document =
            FieldsDocument("<FIELD attrname=\"A\" fieldtype=\"i4\"/>", "<PARAMS AUTOINCVALUE=\"" + unreadable + "\"/>");
        ASSERT_EQ(reader.Start(document), 0);
        ColumnDesc column;
        ASSERT_EQ(reader.NextColumn(column), 0);
        ASSERT_EQ(reader.NextColumn(column), pkt::EndOfData);
        TDATAPACKET_READ::Param param;
        ASSERT_EQ(reader.NextParam(param), 0);
        EXPECT_TRUE(param.Null) << unreadable;
        EXPECT_EQ(param.Value, Str1(unreadable)) << "kept as its text, to be written back as it was";
    }
}

TEST(XmlReader, StepsNotAskedForArePassedOver) {
    TDATAPACKET_READ reader;
    const std::string document = Written(Catalog(ExampleFilms(), 3), 5);
    ASSERT_EQ(reader.Start(document), 0);
    EXPECT_FALSE(reader.IsUtf8());
    std::uint8_t status;
    std::vector<TDATAPACKET_READ::ValueView> values;
    ASSERT_EQ(reader.NextRow(status, values), 0);
    EXPECT_EQ(reader.Columns().size(), 8u);
    EXPECT_EQ(values[1].Bytes, "Quiet Harbour");
    ASSERT_EQ(reader.NextRow(status, values), 0);
    EXPECT_TRUE(values[7].Null);
    EXPECT_EQ(reader.NextRow(status, values), pkt::EndOfData);
    EXPECT_EQ(reader.NextRow(status, values), pkt::EndOfData);
    TDATAPACKET_READ empty;
    EXPECT_EQ(empty.Start(""), pkt::NotAllowed);
}

TEST(XmlTokenizer, AtMost63ElementsMayBeOpen) {
    auto nested = [](int depth) {
        std::string text;
        for (int i = 0; i < depth; ++i) text += "<E>";
        return text;
    };
    for (const int depth : {63, 64}) {
        const std::string text = nested(depth);
        XmlTokenizer tokens(text);
        XmlElement element;
        std::uint16_t status = 0;
        for (int i = 0; i < depth && !status; ++i) status = tokens.Next(element);
        EXPECT_EQ(status, depth == 63 ? 0 : pkt::NotAPacket) << depth;
    }
}

TEST(XmlTokenizer, AttributeListsEndAtTheFirstMalformedAttribute) {
    const std::string text = "<E a = \"1\" b c=\"3\" d=4 e=\"5\"/><F x='1' y=\"2\"/><G z=\"open/>";
    XmlTokenizer tokens(text);
    XmlElement element;
    ASSERT_EQ(tokens.Next(element), 0);
    ASSERT_EQ(tokens.Attributes().size(), 2u);
    EXPECT_EQ(tokens.Attributes()[0].Value, "1");
    EXPECT_EQ(tokens.Attributes()[1].Name, "b c") << "the name runs to the next =";
    EXPECT_EQ(tokens.Find("e"), nullptr);
    ASSERT_EQ(tokens.Next(element), 0);
    EXPECT_TRUE(tokens.Attributes().empty()) << "single quotes are not recognised";
    ASSERT_EQ(tokens.Next(element), 0);
    EXPECT_EQ(element.Kind, XmlKind::Empty);
    EXPECT_TRUE(tokens.Attributes().empty());
}

}  // namespace
