#pragma once
// The binary form of the data packet (layout in BinaryPacketWriter.h), read on
// demand. Every count and length is checked against the bytes that are left.
#include "packet/PacketSource.h"
#include "packet/PacketStatus.h"

#include <string_view>
#include <vector>

class BinaryPacketReader final : public PacketSource {
public:
    explicit BinaryPacketReader(std::string_view block);

    // Reads the header; the block is known to start with the magic value.
    pkt::Status Start();

    pkt::Status NextColumn(ColumnDesc& column) override;
    pkt::Status NextParam(PacketParam& param) override;
    pkt::Status NextRow(std::uint8_t& status, std::vector<PacketValueView>& values) override;
    std::size_t Offset() const override { return pos_; }

private:
    enum class Stage { Columns, FieldParams, TableParams, Rows, Done };

    bool Take(std::size_t count, std::string_view& bytes);
    template <class T>
    bool TakeNumber(T& value);
    pkt::Status ReadParam(PacketParam& param);

    std::string_view block_;
    std::size_t pos_ = 0;
    Stage stage_ = Stage::Columns;
    std::size_t columnCount_ = 0;
    std::uint32_t rowCount_ = 0;
    std::uint32_t rowsRead_ = 0;
    std::uint16_t paramsLeft_ = 0;
    bool tableParamsCounted_ = false;
    std::vector<ColumnType> types_;
};
