#include "PacketModel.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>

#include "packet/PacketInput.h"
#include "packet/PacketOutput.h"
#include "tests/common/CatalogLayout.h"

namespace packettest {

namespace {

void PrintBytes(const std::string& bytes, std::ostream* os) {
    static const char kHex[] = "0123456789ABCDEF";
    *os << '"';
    for (const char c : bytes) {
        const auto b = static_cast<unsigned char>(c);
        if (b >= 32 && b < 127 && b != '\\') *os << c;
        else *os << "\\x" << kHex[b >> 4] << kHex[b & 15];
    }
    *os << '"';
}

}  // namespace

void PrintTo(const ParamData& param, std::ostream* os) {
    *os << param.Name << ":0x" << std::hex << param.Type << std::dec << "=";
    PrintBytes(param.Value, os);
}

void PrintTo(const ColumnData& column, std::ostream* os) {
    *os << column.Name << ":0x" << std::hex << column.Type << std::dec << " attributes " << column.Attributes;
    for (const ParamData& param : column.Params) {
        *os << ' ';
        PrintTo(param, os);
    }
}

void PrintTo(const RowData& row, std::ostream* os) {
    *os << "status " << int{row.Status};
    for (const auto& value : row.Values) {
        *os << ' ';
        if (value) PrintBytes(*value, os);
        else *os << "null";
    }
}

std::string I2(std::int16_t value) {
    const auto bits = static_cast<std::uint16_t>(value);
    return {static_cast<char>(bits & 0xFF), static_cast<char>(bits >> 8)};
}

std::string I4(std::int32_t value) {
    const auto bits = static_cast<std::uint32_t>(value);
    std::string bytes;
    for (int i = 0; i < 4; ++i) bytes.push_back(static_cast<char>((bits >> (8 * i)) & 0xFF));
    return bytes;
}

std::string Str1(std::string_view text) { return static_cast<char>(text.size()) + std::string(text); }

namespace {

// Collects what a writer hands on in pieces.
class CollectingOutput : public PacketOutput {
public:
    void Write(std::string_view bytes) override {
        Bytes.append(bytes);
        ++Pieces;
    }
    std::string Bytes;
    int Pieces = 0;
};

// Writes the packet; with an output, the bytes it took come first in `out`.
std::uint16_t WriteTo(const PacketData& packet, std::uint32_t flags, CollectingOutput* output, std::string& out) {
    TDATAPACKET_WRITE writer;
    std::uint16_t status = writer.SetXmlFlags(flags);
    if (!status && output) status = writer.SetOutput(*output);
    if (!status) status = writer.BeginPacket(3, static_cast<std::uint32_t>(packet.Columns.size()));
    for (const ColumnData& column : packet.Columns) {
        ColumnDesc desc;
        if (!desc.SetName(column.Name)) return pkt::NotAllowed;
        desc.Type = column.Type;
        desc.Attributes = column.Attributes;
        if (!status) status = writer.AddColumn(desc);
        for (const ParamData& param : column.Params)
            if (!status) status = writer.AddParam(0, param.Name, param.Type, param.Value.data(),
                                                  static_cast<std::uint32_t>(param.Value.size()));
    }
    for (const ParamData& param : packet.TableParams)
        if (!status) status = writer.AddParam(1, param.Name, param.Type, param.Value.data(),
                                              static_cast<std::uint32_t>(param.Value.size()));
    if (!status) status = writer.AddParam(1, "", 0, nullptr, 0);
    for (const RowData& row : packet.Rows) {
        if (!status) status = writer.PutValue(0, 1, &row.Status);
        for (const auto& value : row.Values) {
            if (status) break;
            status = value ? writer.PutValue(0, static_cast<std::int32_t>(value->size()), value->data())
                           : writer.PutValue(1, 0, nullptr);
        }
    }
    std::string_view rest;
    if (!status) status = writer.FinishPacket(rest);
    out = (output ? output->Bytes : std::string()) + std::string(rest);
    return status;
}

}  // namespace

std::uint16_t Write(const PacketData& packet, std::uint32_t flags, std::string& out) {
    const std::uint16_t status = WriteTo(packet, flags, nullptr, out);
    // A packet handed on in pieces while it is written is the same packet.
    CollectingOutput output;
    std::string inPieces;
    EXPECT_EQ(WriteTo(packet, flags, &output, inPieces), status);
    if (!status) {
        EXPECT_EQ(inPieces, out);
    }
    return status;
}

std::string Written(const PacketData& packet, std::uint32_t flags) {
    std::string out;
    EXPECT_EQ(Write(packet, flags, out), 0);
    return out;
}

namespace {

// A packet handed over a few bytes at a time, as a file is read.
class PiecewiseInput : public PacketInput {
public:
    PiecewiseInput(std::string_view bytes, std::size_t piece) : rest_(bytes), piece_(piece) {}
    std::size_t Read(char* into, std::size_t room) override {
        const std::size_t count = std::min({room, piece_, rest_.size()});
        std::memcpy(into, rest_.data(), count);
        rest_.remove_prefix(count);
        return count;
    }

private:
    std::string_view rest_;
    std::size_t piece_;
};

std::uint16_t ReadStarted(TDATAPACKET_READ& reader, std::uint16_t started, PacketData& packet) {
    if (started) return started;
    std::uint16_t status;
    ColumnDesc desc;
    TDATAPACKET_READ::Param param;
    while ((status = reader.NextColumn(desc)) == 0) {
        ColumnData& column = packet.Columns.emplace_back();
        column.Name = desc.NameView();
        column.Type = desc.Type;
        column.Attributes = desc.Attributes;
        while ((status = reader.NextParam(param)) == 0) column.Params.push_back({param.Name, param.Type, param.Value});
        if (status != pkt::EndOfData) return status;
    }
    if (status != pkt::EndOfData) return status;
    while ((status = reader.NextParam(param)) == 0) packet.TableParams.push_back({param.Name, param.Type, param.Value});
    if (status != pkt::EndOfData) return status;
    std::uint8_t rowStatus;
    std::vector<TDATAPACKET_READ::Value> values;
    while ((status = reader.NextRow(rowStatus, values)) == 0) {
        RowData& row = packet.Rows.emplace_back();
        row.Status = rowStatus;
        for (const auto& value : values) row.Values.push_back(value.Null ? std::nullopt : std::optional(value.Bytes));
    }
    return status == pkt::EndOfData ? 0 : status;
}

}  // namespace

std::uint16_t Read(std::string_view block, PacketData& packet) {
    TDATAPACKET_READ reader;
    const std::uint16_t status = ReadStarted(reader, reader.Start(block), packet);
    // A packet read in pieces, wherever they are cut, reads exactly as the whole.
    const std::size_t smallest = block.size() <= 65536 ? 1 : 4093;
    for (const std::size_t piece : {smallest, std::size_t{7}, std::size_t{4096}}) {
        PiecewiseInput input(block, piece);
        TDATAPACKET_READ pieces;
        PacketData inPieces;
        EXPECT_EQ(ReadStarted(pieces, pieces.Start(input), inPieces), status) << "pieces of " << piece << " bytes";
        EXPECT_EQ(inPieces, packet) << "pieces of " << piece << " bytes";
    }
    return status;
}

PacketData ReadBack(std::string_view block) {
    PacketData packet;
    EXPECT_EQ(Read(block, packet), 0);
    return packet;
}

PacketData Catalog(const std::vector<Film>& films, std::int32_t nextKey, bool keyReadOnly) {
    PacketData packet;
    packet.Columns.push_back({"K", coltype::Int32, static_cast<std::uint16_t>(keyReadOnly ? caReadOnly : 0),
                              {{"SUBTYPE", coltype::String1, Str1("Autoinc")}}});
    for (const catalog_layout::FilmField& field : catalog_layout::kFilmFields) {
        if (field.IsText())
            packet.Columns.push_back({field.Name, coltype::String1, 0,
                                      {{"WIDTH", coltype::Int16, I2(static_cast<std::int16_t>(field.Width))}}});
        else
            packet.Columns.push_back({field.Name, coltype::Int32, 0, {}});
    }
    packet.TableParams.push_back({"AUTOINCVALUE", coltype::Int32, I4(nextKey)});
    // The engine sends an empty text as one zero byte.
    auto str = [](const std::optional<std::string>& s) {
        return s ? std::optional(s->empty() ? std::string(1, '\0') : *s) : std::nullopt;
    };
    auto num = [](const std::optional<std::int32_t>& n) { return n ? std::optional(I4(*n)) : std::nullopt; };
    for (const Film& film : films)
        packet.Rows.push_back({0, {I4(film.K), str(film.S1), str(film.S2), num(film.S3), str(film.S4), str(film.S5),
                                   num(film.S6), str(film.S7)}});
    return packet;
}

std::vector<Film> ExampleFilms() {
    return {
        {1, "Quiet Harbour", "Tich\xFD p\xF8\xEDstav", 12, "EN", "CZ", 1, "Director's cut & extras"},
        {2, "The Long Road", "Dlouh\xE1 cesta", 12, "CZ", std::nullopt, 2, std::nullopt},
    };
}

}  // namespace packettest
