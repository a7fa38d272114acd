#pragma once
// The one growing buffer a packet is written into.
//
// It doubles as it grows, its memory taken as a large block (memory/LargeBlocks)
// once it is big enough. The member names follow std::string so that text
// helpers read the same for either. Growth failure throws std::bad_alloc.
#include <cstddef>
#include <cstring>
#include <string_view>

class PacketBuffer {
public:
    explicit PacketBuffer(std::size_t capacity = 32768);
    ~PacketBuffer();
    PacketBuffer(PacketBuffer&& other) noexcept;
    PacketBuffer& operator=(PacketBuffer&& other) noexcept;

    std::size_t size() const { return size_; }
    bool empty() const { return size_ == 0; }
    char* data() { return data_; }
    const char* data() const { return data_; }
    char& operator[](std::size_t at) { return data_[at]; }
    std::string_view view() const { return {data_, size_}; }

    void append(const char* bytes, std::size_t count) {
        if (count == 0) return;
        Reserve(size_ + count);
        std::memcpy(data_ + size_, bytes, count);
        size_ += count;
    }
    void append(std::string_view bytes) { append(bytes.data(), bytes.size()); }
    void append(std::size_t count, char byte);
    void push_back(char byte) {
        if (size_ == capacity_) Reserve(size_ + 1);
        data_[size_++] = byte;
    }
    PacketBuffer& operator+=(std::string_view bytes) {
        append(bytes);
        return *this;
    }
    PacketBuffer& operator+=(char byte) {
        push_back(byte);
        return *this;
    }
    void insert(std::size_t at, std::string_view bytes);
    void clear() { size_ = 0; }
    // Room for this many bytes in all, made at once instead of by doubling.
    void reserve(std::size_t capacity) { Reserve(capacity); }

    // Room for `count` more bytes at the end, to be filled in place; the size
    // counts them at once, and TruncateTo gives back what was not filled.
    char* AppendRoom(std::size_t count) {
        Reserve(size_ + count);
        char* const room = data_ + size_;
        size_ += count;
        return room;
    }
    void TruncateTo(std::size_t size) {
        if (size < size_) size_ = size;
    }

private:
    void Reserve(std::size_t needed) {
        if (needed > capacity_) Grow(needed);
    }
    void Grow(std::size_t needed);

    char* data_ = nullptr;
    std::size_t size_ = 0;
    std::size_t capacity_ = 0;
};
