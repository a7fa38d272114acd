#include "memory/LargeBlocks.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <random>
#include <vector>

namespace {

// Random resizes across the large-block threshold, against a plain byte
// vector: the kept bytes survive every move, every byte of a block is usable,
// and the large blocks start at a huge page's boundary.
TEST(LargeBlocks, ResizesKeepTheirBytesAcrossTheThreshold) {
    std::mt19937 random(7);
    const std::size_t sizes[] = {1, 4095, memory::kHugeThreshold - 1, memory::kHugeThreshold,
                                 memory::kHugePage + 1, memory::kHugePage + memory::kHugePage / 2, 3 * memory::kHugePage};
    std::vector<unsigned char> model;
    std::size_t size = 1;
    auto* block = static_cast<unsigned char*>(memory::Allocate(size));
    block[0] = 0;
    model.assign(size, 0);
    for (int step = 0; step < 60; ++step) {
        const std::size_t next = sizes[random() % std::size(sizes)] + random() % 64;
        block = static_cast<unsigned char*>(memory::Resize(block, size, next));
        model.resize(next, 0);
        for (std::size_t i = size; i < next; ++i) block[i] = 0;
        size = next;
        ASSERT_EQ(std::memcmp(block, model.data(), std::min(size, model.size())), 0) << "step " << step;
        if (size >= memory::kHugeThreshold && memory::kMapLargeBlocks) {
            EXPECT_EQ(reinterpret_cast<std::uintptr_t>(block) % memory::kHugePage, 0u);
        }
        for (int i = 0; i < 100; ++i) {
            const std::size_t at = i == 0 ? size - 1 : random() % size;
            block[at] = model[at] = static_cast<unsigned char>(random());
        }
    }
    memory::Free(block, size);

    memory::Vector<std::uint64_t> numbers(memory::kHugePage / 8 * 3, 5);
    numbers.push_back(6);
    EXPECT_EQ(numbers.front() + numbers.back(), 11u);
}

}  // namespace
