#pragma once
// The binary form of the data packet: a 24-byte header, the column descriptors
// with their field parameters, the table parameters and the rows, every number
// little-endian.
//
// Header: 0 magic 0x7C3A5E21; 4 u16 1; 6 u16 0; 8 u32 offset of the first column
// (24); 12 u16 column count; 14 u32 row count; 18 u32 property bits (1: begun with
// a column count, 2: offset 22 valid); 22 u16 offset of the first row.
// Column: u8 name length, name, u32 type, u16 attributes, u16 parameter count,
// parameters. Parameter: u8 name length, name, u32 type, value in parameter layout.
// Row: u8 status, (columns + 3) / 4 flag bytes (column j: bit 2*(j%4) of byte
// j/4 null, the next bit unchanged), then the other values in parameter layout.
#include "packet/PacketBuffer.h"
#include "packet/PacketEmitter.h"
#include "packet/PacketStatus.h"

#include <cstddef>
#include <string>
#include <vector>

namespace binarypacket {
inline constexpr std::uint32_t kMagic = 0x7C3A5E21;
inline constexpr std::uint32_t kSwappedMagic = 0xABCD;
inline constexpr std::size_t kHeaderSize = 24;
inline constexpr std::uint32_t kBegunWithCount = 1;
inline constexpr std::uint32_t kRowOffsetValid = 2;
}  // namespace binarypacket

class BinaryPacketWriter final : public PacketEmitter {
public:
    BinaryPacketWriter();

    pkt::Status Begin(std::uint32_t columnCount) override;
    pkt::Status AddColumn(const ColumnDesc& column) override;
    pkt::Status AddFieldParam(std::string_view name, ColumnType type, std::string_view value) override;
    pkt::Status AddTableParam(std::string_view name, ColumnType type, std::string_view value) override;
    void EndParams() override;
    void BeginRow(std::uint8_t status) override;
    pkt::Status PutColumn(std::size_t index, int status, std::string_view value) override;
    void EndRow() override;
    std::string_view Finish() override;
    // The header, at the start, takes the row count last: nothing is settled before.
    std::string_view Settled() const override { return {}; }
    void Release() override {}

private:
    pkt::Status AppendParam(std::size_t countAt, std::string_view name, ColumnType type, std::string_view value);
    void StartTableParams();
    void MarkRowOffset();
    void Raise16(std::size_t at);

    PacketBuffer out_;
    std::vector<ColumnType> types_;
    std::size_t fieldParamCountAt_ = 0;
    std::size_t tableParamCountAt_ = 0;  // 0 until the table parameter count is written
    std::size_t flagsAt_ = 0;
    std::uint32_t rows_ = 0;
};
