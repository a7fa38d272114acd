#include "packet/PacketBuffer.h"

#include <new>

PacketBuffer::PacketBuffer(std::size_t capacity) { Grow(capacity ? capacity : 1); }

void PacketBuffer::Grow(std::size_t needed) {
    std::size_t capacity = capacity_ ? capacity_ : 1;
    while (capacity < needed) {
        if (capacity > static_cast<std::size_t>(-1) / 2) throw std::bad_alloc();
        capacity *= 2;
    }
    char* grown = static_cast<char*>(std::realloc(data_.get(), capacity));
    if (!grown) throw std::bad_alloc();
    data_.release();
    data_.reset(grown);
    capacity_ = capacity;
}

void PacketBuffer::append(std::size_t count, char byte) {
    if (count == 0) return;
    Reserve(size_ + count);
    std::memset(data_.get() + size_, byte, count);
    size_ += count;
}

void PacketBuffer::insert(std::size_t at, std::string_view bytes) {
    Reserve(size_ + bytes.size());
    char* base = data_.get();
    std::memmove(base + at + bytes.size(), base + at, size_ - at);
    std::memcpy(base + at, bytes.data(), bytes.size());
    size_ += bytes.size();
}
