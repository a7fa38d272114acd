#pragma once
// Test support: a whole packet as plain data, written through TDATAPACKET_WRITE
// and read back through TDATAPACKET_READ the way the table engine drives them.
#include "packet/DataPacketReader.h"
#include "packet/DataPacketWriter.h"

#include <cstdint>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

namespace packettest {

struct ParamData {
    std::string Name;
    ColumnType Type = 0;
    std::string Value;  // parameter layout
    bool operator==(const ParamData&) const = default;
};

struct ColumnData {
    std::string Name;
    ColumnType Type = 0;
    std::uint16_t Attributes = 0;
    std::vector<ParamData> Params;
    bool operator==(const ColumnData&) const = default;
};

struct RowData {
    std::uint8_t Status = 0;
    std::vector<std::optional<std::string>> Values;  // row layout; nullopt = null
    bool operator==(const RowData&) const = default;
};

struct PacketData {
    std::vector<ColumnData> Columns;
    std::vector<ParamData> TableParams;
    std::vector<RowData> Rows;
    bool operator==(const PacketData&) const = default;
};

// Readable failure messages.
void PrintTo(const ParamData& param, std::ostream* os);
void PrintTo(const ColumnData& column, std::ostream* os);
void PrintTo(const RowData& row, std::ostream* os);

// Parameter values in parameter layout.
std::string I2(std::int16_t value);
std::string I4(std::int32_t value);
std::string Str1(std::string_view text);  // 1-byte length prefix

// Writes `packet` with the flags; the status of the first failing call, or 0.
std::uint16_t Write(const PacketData& packet, std::uint32_t flags, std::string& out);
std::string Written(const PacketData& packet, std::uint32_t flags);

// Reads a whole block; the status of the first failing call, or 0.
std::uint16_t Read(std::string_view block, PacketData& packet);
PacketData ReadBack(std::string_view block);

// The catalogue's record and its packet as the table engine sends it.
struct Film {
    std::int32_t K = 0;
    std::optional<std::string> S1, S2;
    std::optional<std::int32_t> S3;
    std::optional<std::string> S4, S5;
    std::optional<std::int32_t> S6;
    std::optional<std::string> S7;
};
PacketData Catalog(const std::vector<Film>& films, std::int32_t nextKey, bool keyReadOnly = false);

// The two films of the example catalogue ("Tichý přístav", "Dlouhá cesta").
std::vector<Film> ExampleFilms();

}  // namespace packettest
