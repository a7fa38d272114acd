#include "memory/LargeBlocks.h"

#include <sys/mman.h>

#include <cstdint>
#include <cstdlib>
#include <cstring>

namespace memory {
namespace {

constexpr std::size_t kSmallPage = 4096;

bool IsLarge(std::size_t bytes) { return kMapLargeBlocks && bytes >= kHugeThreshold; }

std::size_t RoundUp(std::size_t bytes, std::size_t unit) { return (bytes + unit - 1) / unit * unit; }

// How long the mapping of a large block is (see the header).
std::size_t MappedLength(std::size_t bytes) {
    return bytes % kHugePage >= kHugePage / 2 ? RoundUp(bytes, kHugePage) : RoundUp(bytes, kSmallPage);
}

void* MapLarge(std::size_t bytes) {
    const std::size_t length = MappedLength(bytes);
    // Map a huge page more than needed and cut the ends off, so that the block
    // starts at a huge page's boundary.
    const std::size_t reserved = length + kHugePage;
    void* mapped = mmap(nullptr, reserved, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (mapped == MAP_FAILED) throw std::bad_alloc();
    const auto start = reinterpret_cast<std::uintptr_t>(mapped);
    const std::uintptr_t aligned = RoundUp(start, kHugePage);
    if (aligned > start) munmap(mapped, aligned - start);
    const std::uintptr_t end = start + reserved;
    if (end > aligned + length) munmap(reinterpret_cast<void*>(aligned + length), end - aligned - length);
    // Without huge pages the block still works, page by page.
    madvise(reinterpret_cast<void*>(aligned), length, MADV_HUGEPAGE);
    return reinterpret_cast<void*>(aligned);
}

}  // namespace

void* Allocate(std::size_t bytes) {
    if (bytes == 0) bytes = 1;
    if (IsLarge(bytes)) return MapLarge(bytes);
    void* block = std::malloc(bytes);
    if (!block) throw std::bad_alloc();
    return block;
}

void Free(void* block, std::size_t bytes) noexcept {
    if (!block) return;
    if (bytes == 0) bytes = 1;
    if (IsLarge(bytes))
        munmap(block, MappedLength(bytes));
    else
        std::free(block);
}

void* Resize(void* block, std::size_t oldBytes, std::size_t bytes) {
    if (bytes == 0) bytes = 1;
    if (!block) return Allocate(bytes);
    if (oldBytes == 0) oldBytes = 1;
    if (!IsLarge(oldBytes) && !IsLarge(bytes)) {
        void* grown = std::realloc(block, bytes);
        if (!grown) throw std::bad_alloc();
        return grown;
    }
    if (IsLarge(oldBytes) && IsLarge(bytes) && MappedLength(oldBytes) == MappedLength(bytes)) return block;
    void* moved = Allocate(bytes);
#ifdef MREMAP_FIXED
    // A large block that grows has its pages moved to the start of the new
    // mapping instead of copied: no byte is copied and no kept page faults again.
    if (IsLarge(oldBytes) && IsLarge(bytes) && MappedLength(bytes) > MappedLength(oldBytes) &&
        mremap(block, MappedLength(oldBytes), MappedLength(oldBytes), MREMAP_MAYMOVE | MREMAP_FIXED, moved) != MAP_FAILED)
        return moved;
#endif
    std::memcpy(moved, block, oldBytes < bytes ? oldBytes : bytes);
    Free(block, oldBytes);
    return moved;
}

}  // namespace memory
