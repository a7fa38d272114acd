#pragma once
// TDATAPACKET_WRITE: builds a data packet in one pass, strictly in call order.
//
// Calling order: SetXmlFlags, BeginPacket, per column AddColumn followed by its
// field parameters (AddParam context 0), the table parameters (AddParam context
// 1) ending with the end-of-parameters mark, per row PutValue for the status and
// then once per column, and FinishPacket. XmlFlags 0 gives the binary form, any
// flag 1 or 2 the XML document. Every operation returns 0 or a pkt:: status; after
// a failure the packet is unusable and should be discarded.
#include "packet/DataPacket.h"
#include "packet/PacketStatus.h"

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

class PacketEmitter;
class PacketOutput;

class TDATAPACKET_WRITE : public DSDATAPACKET {
public:
    TDATAPACKET_WRITE();
    ~TDATAPACKET_WRITE();
    TDATAPACKET_WRITE(const TDATAPACKET_WRITE&) = delete;
    TDATAPACKET_WRITE& operator=(const TDATAPACKET_WRITE&) = delete;

    // Must precede BeginPacket.
    pkt::Status SetXmlFlags(std::uint32_t flags);
    // Must precede BeginPacket. The packet then goes to the output in pieces as
    // far as it is final (in the XML form, from the first row on), and
    // FinishPacket hands over only the rest, which belongs after those pieces.
    // The output must outlive the writer; what it throws passes through.
    pkt::Status SetOutput(PacketOutput& output);
    // The engine passes version 3; above 3 is refused.
    pkt::Status BeginPacket(std::uint32_t version, std::uint32_t columnCount);
    pkt::Status AddColumn(const ColumnDesc& column);
    // context 0: a field parameter of the column just added; 1: a table parameter.
    // Value bytes as in memory: fixed values little-endian; a varying value starts
    // with its length prefix (size from bits 0-15 of the type); an array starts with
    // a 32-bit element count. length counts all of these bytes. Context 1 with an
    // empty name, no value and length 0 is the end-of-parameters mark.
    pkt::Status AddParam(int context, std::string_view name, ColumnType type,
                         const void* value, std::uint32_t length);
    // Per row: PutValue(0, 1, &statusByte) first, then once per column in column
    // order: PutValue(0, length, bytes) for a value (text without a terminating
    // zero, at least one byte: an empty text is one zero byte; varying values
    // without a length prefix; arrays with their 32-bit count; fixed values
    // little-endian), PutValue(1, 0, nullptr) for null.
    pkt::Status PutValue(int status, std::int32_t length, const void* value);
    // For rows written on another thread: once the parameters can end, a writer
    // that takes rows only (PutValue), in this writer's form and columns, and
    // keeps them; null when this writer has no output, is failed, or writes a
    // form whose rows cannot be written apart (the binary one).
    std::unique_ptr<TDATAPACKET_WRITE> RowWriter();
    // Sends this writer's rows so far, then those of `rows`, a RowWriter of this
    // writer with no row open, to the output; rows written after follow them.
    pkt::Status AppendRows(TDATAPACKET_WRITE& rows);
    // Closes the open elements and hands over the whole byte block.
    pkt::Status FinishPacket(std::string& packet);
    // The same without a copy: the bytes stay with the writer, valid until it is
    // destroyed. The fastest way to a file.
    pkt::Status FinishPacket(std::string_view& packet);

private:
    enum class Phase { Created, Columns, TableParams, Rows, Finished };

    template <class Step>
    pkt::Status Guarded(Step step);
    void EndParams();
    pkt::Status CheckType(ColumnType type) const;

    std::unique_ptr<PacketEmitter> emitter_;
    PacketOutput* output_ = nullptr;
    std::vector<ColumnType> columnTypes_;
    std::uint32_t announcedColumns_ = 0;
    Phase phase_ = Phase::Created;
    bool rowOpen_ = false;
    std::size_t nextColumn_ = 0;
    pkt::Status failure_ = pkt::Ok;
};
