#include "table/HeldPacket.h"

#include "packet/PacketInput.h"

// One byte of room more than expected sees the end without another read,
// unless the input grew.
void HeldPacket::ReadAll(PacketInput& input) {
    while (const std::size_t got = input.Read(data_ + size_, capacity_ - size_)) {
        size_ += got;
        if (size_ == capacity_) {
            data_ = static_cast<char*>(memory::Resize(data_, capacity_, 2 * capacity_));
            capacity_ *= 2;
        }
    }
}
