#pragma once
// PacketOutput: where a packet written in pieces goes, such as a file, so that a
// large packet need not be held in memory as a whole.
#include <string_view>

class PacketOutput {
public:
    virtual ~PacketOutput() = default;
    // Takes the next bytes of the packet. A failure to write is thrown, and the
    // packet writer lets it pass to its caller.
    virtual void Write(std::string_view bytes) = 0;
};
