#pragma once
// The decoding half of the packet reader: one implementation per packet form,
// behind TDATAPACKET_READ. A source reads only inside its block and may throw
// std::bad_alloc.
#include "packet/PacketReadValues.h"
#include "packet/PacketStatus.h"
#include "packet/PacketTypes.h"

#include <cstddef>
#include <cstdint>
#include <vector>

class PacketSource {
public:
    virtual ~PacketSource() = default;

    virtual pkt::Status NextColumn(ColumnDesc& column) = 0;
    virtual pkt::Status NextParam(PacketParam& param) = 0;
    // Views into the block or into the source's scratch space, valid until the next call.
    virtual pkt::Status NextRow(std::uint8_t& status, std::vector<PacketValueView>& values) = 0;
    // See TDATAPACKET_READ::Offset.
    virtual std::size_t Offset() const = 0;
    // See TDATAPACKET_READ::LeaveUnread; a source may ignore it.
    virtual void LeaveUnread(const std::vector<bool>& columns) { static_cast<void>(columns); }

    const std::vector<ColumnDesc>& Columns() const { return columns_; }

protected:
    std::vector<ColumnDesc> columns_;
};
