#pragma once
// A packet handed to the reader in pieces of varying size, as a file arrives:
// the sizes follow a fixed pattern drawn from the packet itself, from one byte
// up, so that every boundary of the reader's window gets its turn.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string_view>

#include "packet/PacketInput.h"

class PiecewiseInput : public PacketInput {
public:
    explicit PiecewiseInput(std::string_view bytes) : bytes_(bytes), state_(static_cast<std::uint32_t>(bytes.size()) | 1u) {}

    std::size_t Read(char* into, std::size_t room) override {
        state_ = state_ * 1664525u + 1013904223u;
        // Mostly small pieces, now and then a large one.
        const std::size_t piece = (state_ >> 28) == 0 ? 4096 : 1 + ((state_ >> 16) % 97);
        const std::size_t size = std::min({room, piece, bytes_.size() - pos_});
        if (size) std::memcpy(into, bytes_.data() + pos_, size);
        pos_ += size;
        return size;
    }

private:
    std::string_view bytes_;
    std::size_t pos_ = 0;
    std::uint32_t state_;
};
