#include "table/HeldPacket.h"

#include "packet/PacketInput.h"

// One byte of room more than expected sees the end without another read,
// unless the input grew; then the room doubles.
void HeldPacket::ReadAll(PacketInput& input) {
    std::size_t room = expected_ + 1;
    while (true) {
        const std::size_t before = bytes_.size();
        const std::size_t got = input.Read(bytes_.AppendRoom(room), room);
        bytes_.TruncateTo(before + got);
        if (got == 0) return;
        room = got < room ? room - got : bytes_.size();
    }
}
