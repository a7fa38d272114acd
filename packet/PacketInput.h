#pragma once
// PacketInput: where a packet read in pieces comes from, such as a file that is
// not held in memory as a whole.
#include <cstddef>

class PacketInput {
public:
    virtual ~PacketInput() = default;
    // Copies up to `room` of the next bytes to `into` and says how many; 0 only
    // at the end. A failure to read is thrown, and the packet reader lets it
    // pass to its caller.
    virtual std::size_t Read(char* into, std::size_t room) = 0;
};
