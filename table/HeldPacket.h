#pragma once
// HeldPacket: a packet read whole from its input into one large block.
//
// A store loaded from it keeps it (RecordData::HoldPacket): every text that
// stands in the packet exactly as the store holds it (no character reference,
// no byte that a code page would change) is then read in place instead of
// being copied, and the rows can be read on two threads. The bytes never
// change once read.
#include <cstddef>
#include <string_view>

#include "packet/PacketBuffer.h"

class PacketInput;

class HeldPacket {
public:
    // `expected`: the input's size as far as it is known.
    explicit HeldPacket(std::size_t expected) : bytes_(expected + 1), expected_(expected) {}

    // Reads the input to its end; it may turn out longer than expected. A
    // failure to grow throws std::bad_alloc; the input's own failures pass on.
    void ReadAll(PacketInput& input);
    std::string_view View() const { return bytes_.view(); }

private:
    PacketBuffer bytes_;
    std::size_t expected_;
};
