#include "PacketModel.h"

#include "fuzz/PiecewiseInput.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <memory>

namespace {

using namespace packettest;

std::uint32_t U32At(const std::string& bytes, std::size_t at) {
    std::uint32_t value = 0;
    for (int i = 3; i >= 0; --i) value = value << 8 | static_cast<unsigned char>(bytes[at + i]);
    return value;
}

std::uint16_t U16At(const std::string& bytes, std::size_t at) {
    return static_cast<std::uint16_t>(static_cast<unsigned char>(bytes[at]) | static_cast<unsigned char>(bytes[at + 1]) << 8);
}

std::uint16_t StatusOf(std::string_view block) {
    PacketData packet;
    return Read(block, packet);
}

TEST(BinaryPacket, HeaderColumnsAndRowsFollowTheLayout) {
    PacketData packet;
    packet.Columns.push_back({"AB", coltype::Int32, caReadOnly, {}});
    packet.Columns.push_back({"T", coltype::String1, 0, {}});
    packet.Rows.push_back({4, {I4(7), "xy"}});
    packet.Rows.push_back({0, {std::nullopt, std::nullopt}});
    const std::string out = Written(packet, 0);

    const std::string expected = std::string("\x21\x5E\x3A\x7C", 4) + I2(1) + I2(0) + I4(24) + I2(2) + I4(2) + I4(3) +
                                 I2(47) +
                                 // columns: name, type, attributes, no parameters
                                 "\x02" "AB" + I4(0x10004) + I2(2) + I2(0) + "\x01" "T" + I4(0x490001) + I2(0) + I2(0) +
                                 I2(0) +  // no table parameters
                                 "\x04" + std::string(1, '\0') + I4(7) + "\x02" "xy" +
                                 // every value null: the status and the flag byte only
                                 std::string(1, '\0') + "\x05";
    EXPECT_EQ(out, expected);
    EXPECT_EQ(ReadBack(out), packet);
}

TEST(BinaryPacket, ParametersKeepTheirCountsAndLayout) {
    PacketData packet = Catalog(ExampleFilms(), 3);
    packet.TableParams.push_back({"MYKEY", coltype::String1 | coltype::Roundtrip, Str1("v")});
    const std::string out = Written(packet, 0);
    EXPECT_EQ(U32At(out, 14), 2u) << "row count";
    EXPECT_EQ(U16At(out, 12), 8u) << "column count";
    // The first column: "K", i4, no attributes, one parameter SUBTYPE = "Autoinc".
    EXPECT_EQ(out.substr(24, 1 + 1 + 4 + 2 + 2), std::string("\x01" "K") + I4(0x10004) + I2(0) + I2(1));
    EXPECT_EQ(out.substr(34, 1 + 7 + 4 + 8), std::string("\x07" "SUBTYPE") + I4(0x490001) + Str1("Autoinc"));
    const PacketData back = ReadBack(out);
    EXPECT_EQ(back, packet);
    EXPECT_EQ(Written(back, 0), out);
}

TEST(BinaryPacket, EveryFormRoundTripsToTheSameBytes) {
    for (const std::uint32_t flags : {0u, 5u, 13u}) {
        const std::string first = Written(Catalog(ExampleFilms(), 3, true), flags);
        EXPECT_EQ(Written(ReadBack(first), flags), first) << flags;
    }
    // Across forms the content survives too.
    const std::string binary = Written(Catalog(ExampleFilms(), 3), 0);
    EXPECT_EQ(Written(ReadBack(binary), 5), Written(Catalog(ExampleFilms(), 3), 5));
}

TEST(BinaryPacket, MagicWithHighVersionsOrSwappedBytesIsNotABinaryPacket) {
    std::string out = Written(Catalog({}, 1), 0);
    EXPECT_EQ(StatusOf(out), 0);
    std::string high = out;
    high[4] = 4;
    EXPECT_EQ(StatusOf(high), pkt::NotAPacket);
    std::string swapped = out;
    swapped.replace(0, 4, I4(0xABCD));
    EXPECT_EQ(StatusOf(swapped), pkt::NotAPacket);
}

TEST(BinaryPacket, HostileCountsAndLengthsAreRefused) {
    PacketData packet;
    packet.Columns.push_back({"T", coltype::String1, 0, {}});
    packet.TableParams.push_back({"A", coltype::IntArray, I4(1) + I4(5)});
    packet.Rows.push_back({0, {"xy"}});
    const std::string out = Written(packet, 0);
    const std::size_t column = 24, param = column + 1 + 1 + 4 + 2 + 2 + 2, value = param + 1 + 1 + 4;
    ASSERT_EQ(out.substr(value, 8), I4(1) + I4(5));

    auto patched = [&](std::size_t at, const std::string& bytes) {
        std::string copy = out;
        copy.replace(at, bytes.size(), bytes);
        return copy;
    };
    EXPECT_EQ(StatusOf(patched(14, I4(0xFFFFFFFF))), pkt::NotAPacket) << "more rows than bytes";
    EXPECT_EQ(StatusOf(patched(8, I4(0x7FFFFFFF))), pkt::NotAPacket) << "first column beyond the end";
    EXPECT_EQ(StatusOf(patched(12, I2(0xFFFF))), pkt::NotAPacket) << "more columns than bytes";
    EXPECT_EQ(StatusOf(patched(column, "\xFF")), pkt::NotAPacket) << "name longer than the block";
    EXPECT_EQ(StatusOf(patched(column + 8, I2(0x7FFF))), pkt::NotAPacket) << "more parameters than bytes";
    EXPECT_EQ(StatusOf(patched(value, I4(0x40000001))), pkt::NotAPacket) << "array count times element size";
    EXPECT_EQ(StatusOf(patched(value, I4(0xFFFFFFFF))), pkt::NotAPacket);
    EXPECT_EQ(StatusOf(patched(out.size() - 3, "\xFF")), pkt::NotAPacket) << "value length beyond the end";
    EXPECT_EQ(StatusOf(patched(column + 2, I4(0x130004))), pkt::InvalidKeyType);
}

TEST(BinaryPacket, ColumnNamesLongerThan31CharactersAreRefused) {
    PacketData packet;
    packet.Columns.push_back({std::string(31, 'N'), coltype::Int32, 0, {}});
    std::string out = Written(packet, 0);
    EXPECT_EQ(ReadBack(out).Columns.at(0).Name, std::string(31, 'N'));
    out[24] = 32;
    out.insert(25, "N");
    EXPECT_EQ(StatusOf(out), pkt::NotAPacket);
}

TEST(BinaryPacket, ValuesTooLongForTheirPrefixAreRefused) {
    PacketData packet;
    packet.Columns.push_back({"T", coltype::String1, 0, {}});
    packet.Rows.push_back({0, {std::string(256, 'x')}});
    std::string out;
    EXPECT_EQ(Write(packet, 0, out), pkt::NotAllowed);
    packet.Rows[0].Values[0] = std::string(255, 'x');
    EXPECT_EQ(Write(packet, 0, out), 0);
}

// Where each row of a packet ends, as the reader's offset tells it.
std::vector<std::size_t> RowEnds(std::string_view whole) {
    TDATAPACKET_READ reader;
    EXPECT_EQ(reader.Start(whole), 0);
    std::vector<std::size_t> ends;
    std::uint8_t status;
    std::vector<TDATAPACKET_READ::ValueView> values;
    while (reader.NextRow(status, values) == 0) ends.push_back(reader.Offset());
    return ends;
}

// Every prefix of a valid packet, in a heap block of exactly its length, reads
// fully or fails with a code; nothing is read outside the block. Before it
// fails it hands out exactly the rows that lie whole inside the prefix.
TEST(Truncation, EveryPrefixReadsOrFailsCleanly) {
    PacketData packet = Catalog(ExampleFilms(), 3);
    packet.Columns[1].Params.push_back({"MYKEY", coltype::String1, Str1("a&b")});
    packet.TableParams.push_back({"ORDER", coltype::IntArray, I4(2) + I4(1) + I4(2)});
    for (const std::uint32_t flags : {0u, 5u, 13u}) {
        const std::string whole = Written(packet, flags);
        const std::vector<std::size_t> ends = RowEnds(whole);
        if (flags == 0) {
            // Status byte, two flag bytes, then the values, texts behind a 1-byte length.
            std::size_t first = U16At(whole, 22) + 3u;
            for (std::size_t i = 0; i < packet.Columns.size(); ++i)
                if (const auto& value = packet.Rows[0].Values[i])
                    first += value->size() + (coltype::IsVarying(packet.Columns[i].Type) ? 1 : 0);
            EXPECT_EQ(ends, (std::vector<std::size_t>{first, whole.size()}));
        } else {
            const std::size_t second = whole.find("/><ROW ") + 2;
            EXPECT_EQ(ends, (std::vector<std::size_t>{second, whole.find("</ROWDATA>")}));
        }
        for (std::size_t length = 0; length <= whole.size(); ++length) {
            const auto block = std::make_unique<char[]>(length);
            std::memcpy(block.get(), whole.data(), length);
            PacketData read;
            const std::uint16_t status = Read(std::string_view(block.get(), length), read);
            const auto complete = static_cast<std::size_t>(std::upper_bound(ends.begin(), ends.end(), length) - ends.begin());
            EXPECT_EQ(read.Rows, std::vector<RowData>(packet.Rows.begin(), packet.Rows.begin() + complete)) << length;
            if (length == whole.size()) {
                EXPECT_EQ(status, 0);
            } else if (flags == 0) {
                EXPECT_NE(status, 0) << "a cut binary packet must fail at " << length;
            }
        }
    }
}

}  // namespace

namespace {

using namespace packettest;

// Damaged packets (bytes overwritten with values that matter to the parsers)
// fail with one of the reader's codes or read as a packet whose every row has a
// value for every column and which is written and read back with the same
// column names and types and as many rows; never outside their block.
TEST(Truncation, DamagedPacketsReadOrFailCleanly) {
    PacketData packet = Catalog(ExampleFilms(), 3);
    packet.TableParams.push_back({"ORDER", coltype::IntArray, I4(2) + I4(1) + I4(2)});
    const char interesting[] = {'<', '>', '/', '"', '=', ' ', '&', '#', ';', '\0', '\x7F', '\xFF', '\xC3', 'x', '1'};
    int readable = 0, notPackets = 0;
    std::uint32_t seed = 12345;
    auto next = [&] {
        seed = seed * 1103515245 + 12345;
        return seed >> 8;
    };
    for (const std::uint32_t flags : {0u, 5u, 13u}) {
        const std::string whole = Written(packet, flags);
        for (int round = 0; round < 1500; ++round) {
            std::string damaged = whole;
            for (int hits = 1 + next() % 3; hits > 0; --hits)
                damaged[next() % damaged.size()] = interesting[next() % sizeof interesting];
            const std::size_t length = damaged.size() - next() % 8;
            const auto block = std::make_unique<char[]>(length);
            std::memcpy(block.get(), damaged.data(), length);
            PacketData read;
            const std::uint16_t status = Read(std::string_view(block.get(), length), read);
            ASSERT_TRUE(status == 0 || status == pkt::NotAPacket || status == pkt::InvalidKeyType ||
                        status == pkt::BufferTooSmall || status == pkt::NegativeLength)
                << std::hex << status << " in round " << round;
            notPackets += status == pkt::NotAPacket;
            if (status != 0) continue;
            ++readable;
            for (const RowData& row : read.Rows) ASSERT_EQ(row.Values.size(), read.Columns.size()) << round;
            std::string again;
            ASSERT_EQ(Write(read, flags, again), 0) << round;
            const PacketData back = ReadBack(again);
            ASSERT_EQ(back.Columns.size(), read.Columns.size()) << round;
            for (std::size_t c = 0; c < read.Columns.size(); ++c)
                ASSERT_EQ(back.Columns[c].Name + ":" + std::to_string(back.Columns[c].Type),
                          read.Columns[c].Name + ":" + std::to_string(read.Columns[c].Type)) << round;
            ASSERT_EQ(back.Rows.size(), read.Rows.size()) << round;
        }
    }
    EXPECT_GT(readable, 0) << "some damage leaves a readable packet";
    EXPECT_GT(notPackets, 0) << "some damage makes it unreadable";
}

}  // namespace

namespace {

using namespace packettest;

TEST(LargePacket, ManyRowsRoundTripInEveryFormAndThroughTheView) {
    std::vector<Film> films;
    for (int k = 1; k <= 20000; ++k)
        films.push_back({k, "Film " + std::to_string(k), "\x8A\xE8" "ern\xFD " + std::to_string(k % 97), k % 500,
                         "EN", k % 3 ? std::optional<std::string>("CZ") : std::nullopt, 1 + k % 4,
                         k % 5 ? std::nullopt : std::optional<std::string>("note & \"quote\"\r\n")});
    const PacketData packet = Catalog(films, 20001);
    for (const std::uint32_t flags : {0u, 5u, 13u}) {
        const std::string first = Written(packet, flags);
        EXPECT_EQ(Written(ReadBack(first), flags), first) << flags;
        // Read in pieces through a moving window, the offset still counts from the packet's start.
        PiecewiseInput input(first);
        TDATAPACKET_READ reader;
        ASSERT_EQ(reader.Start(input), 0);
        std::uint8_t status;
        std::vector<TDATAPACKET_READ::ValueView> values;
        std::size_t lastRowEnd = 0;
        while (reader.NextRow(status, values) == 0) lastRowEnd = reader.Offset();
        EXPECT_EQ(lastRowEnd, flags ? first.find("</ROWDATA>") : first.size()) << flags;

        TDATAPACKET_WRITE writer;
        ASSERT_EQ(writer.SetXmlFlags(flags), 0);
        ASSERT_EQ(writer.BeginPacket(3, 0), 0);
        std::string_view view;
        ASSERT_EQ(writer.FinishPacket(view), 0);
        std::string copy;
        EXPECT_EQ(writer.FinishPacket(copy), pkt::NotAllowed) << "a packet is finished once";
        EXPECT_FALSE(view.empty());
    }
}

}  // namespace
