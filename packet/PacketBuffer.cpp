#include "packet/PacketBuffer.h"

#include <new>
#include <utility>

#include "memory/LargeBlocks.h"

PacketBuffer::PacketBuffer(std::size_t capacity) { Grow(capacity ? capacity : 1); }

PacketBuffer::~PacketBuffer() { memory::Free(data_, capacity_); }

PacketBuffer::PacketBuffer(PacketBuffer&& other) noexcept
    : data_(std::exchange(other.data_, nullptr)),
      size_(std::exchange(other.size_, 0)),
      capacity_(std::exchange(other.capacity_, 0)) {}

PacketBuffer& PacketBuffer::operator=(PacketBuffer&& other) noexcept {
    if (this != &other) {
        memory::Free(data_, capacity_);
        data_ = std::exchange(other.data_, nullptr);
        size_ = std::exchange(other.size_, 0);
        capacity_ = std::exchange(other.capacity_, 0);
    }
    return *this;
}

void PacketBuffer::Grow(std::size_t needed) {
    std::size_t capacity = capacity_ ? capacity_ : 1;
    while (capacity < needed) {
        if (capacity > static_cast<std::size_t>(-1) / 2) throw std::bad_alloc();
        capacity *= 2;
    }
    data_ = static_cast<char*>(memory::Resize(data_, capacity_, capacity));
    capacity_ = capacity;
}

void PacketBuffer::append(std::size_t count, char byte) {
    if (count == 0) return;
    Reserve(size_ + count);
    std::memset(data_ + size_, byte, count);
    size_ += count;
}

void PacketBuffer::insert(std::size_t at, std::string_view bytes) {
    Reserve(size_ + bytes.size());
    char* base = data_;
    std::memmove(base + at + bytes.size(), base + at, size_ - at);
    std::memcpy(base + at, bytes.data(), bytes.size());
    size_ += bytes.size();
}
