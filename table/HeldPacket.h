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

#include "memory/LargeBlocks.h"

class PacketInput;

class HeldPacket {
public:
    // `expected`: the input's size as far as it is known.
    explicit HeldPacket(std::size_t expected)
        : data_(static_cast<char*>(memory::Allocate(expected + 1))), capacity_(expected + 1) {}
    ~HeldPacket() { memory::Free(data_, capacity_); }
    HeldPacket(const HeldPacket&) = delete;
    HeldPacket& operator=(const HeldPacket&) = delete;

    // Reads the input to its end; it may turn out longer than expected. Throws
    // std::bad_alloc as the input's own failures are its to report.
    void ReadAll(PacketInput& input);
    std::string_view View() const { return {data_, size_}; }

private:
    char* data_;
    std::size_t capacity_;
    std::size_t size_ = 0;
};
