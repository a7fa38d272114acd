#pragma once
// TDATAPACKET_READ: a pull parser over one whole packet held in memory.
//
// Start decides the form (binary or XML) and reads up to the first column. Then
// NextColumn hands out the columns; after each column NextParam hands out that
// column's field parameters and then pkt::EndOfData; after NextColumn returned
// pkt::EndOfData, NextParam hands out the table parameters; then NextRow hands
// out the rows. Skipping ahead is allowed: a call passes over whatever of the
// earlier steps was not asked for. The reader never reads outside the block,
// whatever it holds.
#include "packet/DataPacket.h"
#include "packet/PacketReadValues.h"
#include "packet/PacketStatus.h"

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

class PacketInput;
class PacketSource;

class TDATAPACKET_READ : public DSDATAPACKET {
public:
    TDATAPACKET_READ();
    ~TDATAPACKET_READ();
    TDATAPACKET_READ(const TDATAPACKET_READ&) = delete;
    TDATAPACKET_READ& operator=(const TDATAPACKET_READ&) = delete;

    // The block must outlive the reader. An empty block gives pkt::NotAllowed.
    pkt::Status Start(std::string_view block);
    // The same for a packet that arrives in pieces; the input must outlive the
    // reader. The XML form is read as far as each request needs, holding only a
    // window of it; the binary form is read whole first. What the input throws
    // passes through every call. An empty input gives pkt::NotAllowed.
    pkt::Status Start(PacketInput& input);

    pkt::Status NextColumn(ColumnDesc& column);

    // A parameter: its name, type word and value (PacketReadValues.h).
    using Param = PacketParam;
    pkt::Status NextParam(Param& param);

    // One value per column, in PutValue's layout: fixed values little-endian,
    // text as its bytes (decoded; no length prefix, no terminating zero; an empty
    // text may come as no bytes or as one zero byte), arrays with their count.
    struct Value {
        bool Null = true;
        std::string Bytes;
    };
    pkt::Status NextRow(std::uint8_t& status, std::vector<Value>& values);

    // The same without copies: each view points into the block or into the
    // reader's scratch space and stays valid until the next call to NextRow.
    using ValueView = PacketValueView;
    pkt::Status NextRow(std::uint8_t& status, std::vector<ValueView>& values);

    // How far the packet has been read, in bytes from its start: everything
    // before this offset has been handed out by a call that succeeded. A call
    // that fails may leave it anywhere after that.
    std::size_t Offset() const;

    // Reading the rows on two threads. For an XML packet held whole, once the
    // table parameters have been read and at least `minimum` bytes are left: a
    // second reader that reads the rows from `cut` on, near the middle of what
    // is left, in a state of its own. Its rows are the rows this reader would
    // read from there only if this reader, reading row after row without
    // error, comes to stand at exactly `cut` (Offset() == cut): the cut comes
    // from a plain search, which may find a "<ROW" inside a comment or a value.
    // Null where the packet gives no cut; this reader then reads on as before.
    // Finding the cut reads on to the first row: a fault on the way is
    // returned (the code the next NextRow would give) and no second reader made.
    pkt::Status SplitRows(std::size_t minimum, std::size_t& cut, std::unique_ptr<TDATAPACKET_READ>& second);

    // Leaves the values of the columns marked true unconverted from here on
    // (and in a second reader split off later): they may come out null. Their
    // rows are read as before, with every fault: converting a value never fails.
    void LeaveUnread(const std::vector<bool>& columns);
    // The columns read so far.
    const std::vector<ColumnDesc>& Columns() const;

private:
    explicit TDATAPACKET_READ(std::unique_ptr<PacketSource> source);
    pkt::Status StartSource(std::string_view block, PacketInput* input);

    std::unique_ptr<PacketSource> source_;
    std::string whole_;  // a binary packet read from an input
    std::vector<ValueView> rowViews_;
};
