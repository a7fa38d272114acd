#pragma once
// The encoding half of the packet writer: one implementation per packet form.
// TDATAPACKET_WRITE checks the call order and every value's layout before it
// calls these, so an emitter only encodes. An emitter may throw std::bad_alloc.
#include "packet/PacketStatus.h"
#include "packet/PacketTypes.h"

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

class PacketEmitter {
public:
    virtual ~PacketEmitter() = default;

    virtual pkt::Status Begin(std::uint32_t columnCount) = 0;
    virtual pkt::Status AddColumn(const ColumnDesc& column) = 0;
    // `value` in parameter layout, complete for its type.
    virtual pkt::Status AddFieldParam(std::string_view name, ColumnType type, std::string_view value) = 0;
    virtual pkt::Status AddTableParam(std::string_view name, ColumnType type, std::string_view value) = 0;
    // Closes the metadata; called once, before the first row.
    virtual void EndParams() = 0;
    virtual void BeginRow(std::uint8_t status) = 0;
    // `value` in row layout, complete for the column's type; ignored unless status is 0.
    // status: 0 a value, 1 null, 2 unchanged.
    virtual pkt::Status PutColumn(std::size_t index, int status, std::string_view value) = 0;
    virtual void EndRow() = 0;
    // The finished packet, or what is left of it after Release; the bytes stay
    // with the emitter.
    virtual std::string_view Finish() = 0;
    // The bytes at the start of the packet that are final and not yet released:
    // nothing written later changes them.
    virtual std::string_view Settled() const = 0;
    // Forgets the settled bytes, once they have been handed on.
    virtual void Release() = 0;
    // An emitter for rows written apart, after the parameters have ended: it
    // writes rows only, in this one's form and columns, and they are all
    // settled; they belong after this one's rows. Null for a form whose rows
    // cannot be written apart (a header that counts them).
    virtual std::unique_ptr<PacketEmitter> RowsApart() const { return nullptr; }
};
