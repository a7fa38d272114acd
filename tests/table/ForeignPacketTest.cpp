// Packets the program did not write itself: a load gives the table they hold or
// fails with the reader's code, and never reads out of bounds.
#include <gtest/gtest.h>

#include <functional>
#include <limits>
#include <random>
#include <sstream>

#include "TableFixtures.h"
#include "fuzz/PiecewiseInput.h"
#include "packet/DataPacketWriter.h"
#include "packet/PacketOutput.h"
#include "table/DSIDX.h"
#include "table/LoadTable.h"
#include "table/RecordStore.h"
#include "table/StreamTable.h"

namespace {

std::string Catalog(TDataPacketFormat format) {
    TClientDataSet table;
    CreateCatalog(table);
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
        const std::string whole = Catalog(format);
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
                               "<ROW RowState=\"4\" N=\"2\" S=\"b\"/><ROW RowState=\"258\" N=\"4\" S=\"d\"/>"
                               "<ROW RowState=\"1\" N=\"5\" S=\"e\"/><ROW RowState=\"32\" N=\"6\" S=\"f\"/>"));
    // Only the deleted mark hides a row; a state beyond a byte is unreadable and reads as 0.
    EXPECT_EQ(Column(table, "S"), (std::vector<std::string>{"a", "b", "c", "d", "e", "f"}));
    table.SetTrackChanges(false);
    const std::string written = table.SaveToBytes(dfXML);
    // The key list comes back as read, the unknown subtype as a parameter of its column.
    EXPECT_NE(written.find("SUBTYPE=\"Whatever\""), std::string::npos) << written;
    EXPECT_NE(written.find("DEFAULT_ORDER=\"1\""), std::string::npos) << written;
    EXPECT_EQ(written.find("gone"), std::string::npos);
    EXPECT_NE(written.find("S=\"f\""), std::string::npos) << "every row the table shows is saved";
    EXPECT_EQ(written.find("RowState"), std::string::npos);
    EXPECT_THROW(table.BuildIndex("DEFAULT_ORDER", "S", 0), EDBClient);
}

namespace {

// Everything a load gives: its code, then the fields, every record in record
// order with its status and values, the counts and every index's order.
// Fields marked in `hidden` show as "?" (a load that left them unread).
std::string Described(std::uint16_t code, const RecordStore* store, const std::vector<bool>& hidden = {}) {
    std::ostringstream out;
    out << "code " << code << '\n';
    if (!store) return out.str();
    for (const FieldLayout& field : store->Fields()) out << field.Name << ' ' << field.DataType << ' ' << field.Size << '\n';
    for (std::uint32_t record = 1; record <= store->SlotCount(); ++record) {
        out << record << ' ' << int{store->Status(record)};
        for (int field = 1; field <= store->FieldCount(); ++field) {
            if (static_cast<std::size_t>(field) <= hidden.size() && hidden[field - 1]) out << " ?";
            else if (store->IsNull(record, field)) out << " -";
            else if (store->Field(field).IsText()) out << " \"" << store->Text(record, field) << '"';
            else out << ' ' << store->Integer(record, field);
        }
        out << '\n';
    }
    out << "live " << store->LiveCount() << " changes " << store->ChangeCount() << '\n';
    for (const auto& index : store->Indexes()) {
        out << "index " << index->Name() << ':';
        for (std::uint32_t position = 1; position <= index->Count(); ++position) out << ' ' << index->RecordAt(position);
        out << '\n';
    }
    return out.str();
}

// A random packet of `rows` rows over two text columns without "WIDTH", one
// with, and two integers; now and then with long texts, unknown or malformed
// attributes, blanks around "=", row states, comments and "<ROW" where no row
// starts.
// Rows open with `opening`: "< ROW" the general element reader alone reads.
std::string RandomRowsPacket(std::mt19937& random, int rows, bool tagged, std::string_view opening = "<ROW") {
    const auto chance = [&](int percent) { return static_cast<int>(random() % 100) < percent; };
    const auto text = [&](std::size_t length) {
        static const char* const kPieces[] = {"a", "Z", " ", "&amp;", "&#232;", "&#x158;", "\xe8", "<ROW ", "&lt;", "0"};
        std::string value;
        while (value.size() < length) value += kPieces[random() % std::size(kPieces)];
        return value;
    };
    const auto length = [&] {
        return chance(3) ? 256 + random() % 900 : random() % 40;
    };
    const auto equals = [&] { return chance(5) ? " =\t\"" : "=\""; };
    std::string packet = "<?xml version=\"1.0\" standalone=\"yes\"?><DATAPACKET Version=\"2.0\"><METADATA><FIELDS>"
                         "<FIELD attrname=\"K\" fieldtype=\"i4\" SUBTYPE=\"Autoinc\"/><FIELD attrname=\"T\" "
                         "fieldtype=\"string\"/><FIELD attrname=\"W\" fieldtype=\"string\" WIDTH=\"12\"/><FIELD "
                         "attrname=\"N\" fieldtype=\"i4\"/>";
    packet += tagged ? "<FIELD tagname=\"ROWNOTE\" fieldtype=\"string\"/>" : "<FIELD attrname=\"U\" fieldtype=\"string\"/>";
    if (chance(50)) packet += "</FIELDS><PARAMS DEFAULT_ORDER=\"" + std::string(chance(50) ? "2" : "3") + "\" PRIMARY_KEY=\"1\"/>";
    else packet += "</FIELDS><PARAMS/>";
    packet += "</METADATA><ROWDATA>";
    for (int row = 0; row < rows; ++row) {
        if (chance(2)) packet += "<!-- <ROW K=\"0\"/> -->";
        packet += chance(20) ? "\n  " : "";
        packet += opening;
        if (chance(10)) packet += " RowState=\"" + std::to_string(random() % 10) + "\"";
        packet += " K=\"" + (chance(1) ? std::string("x") : std::to_string(row + 1)) + "\"";
        if (!chance(10)) packet += " T" + std::string(equals()) + text(length()) + "\"";
        if (!chance(10)) packet += " W" + std::string(equals()) + text(random() % 20) + "\"";
        if (chance(5)) packet += " Q=\"1\"";
        packet += " N=\"" + std::to_string(random() % 50) + "\"";
        if (tagged) {
            packet += "><ROWNOTE>" + text(length()) + "</ROWNOTE></ROW>";
        } else {
            if (!chance(10)) packet += " U=\"" + text(length()) + "\"";
            packet += "/>";
        }
    }
    packet += "</ROWDATA></DATAPACKET>";
    return packet;
}

// What a save of the store sends to its output, with its rows written on two
// threads from `twoThreadsFrom` records on.
std::string Saved(const RecordStore& store, std::uint32_t twoThreadsFrom) {
    struct Sink : PacketOutput {
        std::string Bytes;
        void Write(std::string_view piece) override { Bytes += piece; }
    } sink;
    TDATAPACKET_WRITE writer;
    EXPECT_EQ(writer.SetXmlFlags(XmlFlagsForSaveFormat(1)) | writer.SetOutput(sink), 0);
    const std::uint16_t code = StreamTable(store, writer, twoThreadsFrom);
    std::string_view rest;
    if (code == 0) {
        EXPECT_EQ(writer.FinishPacket(rest), 0);
    }
    return "code " + std::to_string(code) + '\n' + sink.Bytes + std::string(rest);
}

}  // namespace

// The rows of a large packet are read on two threads; whatever the packet holds,
// the load gives exactly what reading row after row gives, and a save writing
// the rows on two threads the same bytes as on one.
TEST(ForeignPacket, RowsReadOnTwoThreadsLoadAsReadOneByOne) {
    std::mt19937 random(20261208);
    const std::string huge(65536, 'h');
    for (int round = 0; round < 400; ++round) {
        // Now and then a packet large enough for two threads when read from a file.
        const bool large = round % 100 == 0;
        const int largeRows = static_cast<int>(12000 * (kTwoThreadsFrom >> 20));
        const int count = large ? largeRows : 2 + static_cast<int>(random() % 120);
        const std::mt19937 before = random;
        std::string packet = RandomRowsPacket(random, count, round % 5 == 4);
        const std::size_t rows = packet.find("<ROWDATA>") + 9;
        const auto somewhere = [&] { return rows + random() % (packet.size() - rows); };
        const auto rowNear = [&](std::size_t at) { return packet.find("<ROW", at); };
        switch (round % 8) {
            case 1: packet.resize(somewhere()); break;
            case 2: packet[somewhere()] = static_cast<char>(random() % 256); break;
            case 3: {
                const std::size_t at = rowNear(rows + (packet.size() - rows) / 2 - random() % 60);
                if (at != std::string::npos) packet.insert(at, "<!-- <ROW K=\"1\"/> --><?x <ROW?>");
                break;
            }
            case 4: {
                const std::size_t at = rowNear(rows + (packet.size() - rows) / 2 + random() % 200);
                if (at != std::string::npos) packet.insert(at, "<ROW T=\"" + huge + "\"/>");
                break;
            }
            case 5: {
                const std::size_t at = rowNear(somewhere());
                if (at != std::string::npos) packet.insert(at, "<ROW T=\"" + std::string(300 + random() % 3000, 't') + "\"/>");
                break;
            }
            case 6: packet.insert(rows - 9, "<X/>"); break;  // a stray element before ROWDATA
            case 7: packet[random() % rows] = static_cast<char>(random() % 256); break;
            default: break;
        }
        SCOPED_TRACE("round " + std::to_string(round));
        // Read through a moving window, the packet is never split: the reference.
        PiecewiseInput pieces(packet);
        std::unique_ptr<RecordStore> oneByOne, wholeOneThread, twoThreads;
        const std::uint16_t oneByOneCode = LoadTable(pieces, 0, oneByOne);
        const std::string expected = Described(oneByOneCode, oneByOne.get());
        // Saved with the rows on two threads, it is the same packet.
        if (oneByOne) {
            ASSERT_EQ(Saved(*oneByOne, 1), Saved(*oneByOne, std::numeric_limits<std::uint32_t>::max()));
        }
        const std::uint16_t wholeCode = LoadTable(packet, wholeOneThread, std::numeric_limits<std::size_t>::max());
        ASSERT_EQ(Described(wholeCode, wholeOneThread.get()), expected);
        if (round % 8 == 0) {  // rows as written read as the general element reader reads them
            std::mt19937 again = before;
            std::unique_ptr<RecordStore> general;
            const std::uint16_t generalCode = LoadTable(RandomRowsPacket(again, count, round % 5 == 4, "< ROW"), general);
            ASSERT_EQ(Described(generalCode, general.get()), expected);
        }
        // Loaded with only some fields, it holds what a whole load holds of them.
        FieldsToRead only;
        for (const char* name : {"K", "W", "N", "U"})
            if (round % 3 == 0 && random() % 2 == 0) only.emplace_back(name);
        const std::uint16_t twoThreadsCode = LoadTable(packet, twoThreads, 1, only);
        std::vector<bool> unread;
        for (int field = 1; twoThreads && field <= twoThreads->FieldCount(); ++field)
            unread.push_back(twoThreads->Field(field).Unread);
        ASSERT_EQ(Described(twoThreadsCode, twoThreads.get(), unread), Described(oneByOneCode, oneByOne.get(), unread));
        // "W" has a width: it is read only when asked for or a key.
        if (twoThreads && !only.empty()) {
            const bool key = packet.find("DEFAULT_ORDER=\"3\"") != std::string::npos;
            EXPECT_EQ(unread[2], !key && std::find(only.begin(), only.end(), "W") == only.end());
        }
        // Read whole into a block the store keeps (a large one into a block
        // that must grow: the size given is too small).
        PiecewiseInput input(packet);
        std::unique_ptr<RecordStore> fromInput;
        const std::uint16_t fromInputCode = LoadTable(input, large ? kTwoThreadsFrom : packet.size(), fromInput);
        ASSERT_EQ(Described(fromInputCode, fromInput.get()), expected);
    }
}
