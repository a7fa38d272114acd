#pragma once
// Memory for the engine's large arrays: the record store's columns, the text
// arenas, the indexes and the arrays an index build sorts.
//
// A fresh page of memory costs the program a page fault on first touch, and on
// a virtual machine a fault costs as much as copying tens of kilobytes. A block
// of at least kHugeThreshold bytes is therefore mapped on its own, starting at a
// 2 MiB boundary and marked for transparent huge pages, so that the system
// fills it 2 MiB at a time; smaller blocks come from malloc. Where the system
// gives no huge pages the large block behaves as malloc's own mapping would.
//
// A large block's mapping is rounded up to whole huge pages when its last one
// would be at least half used, else to whole small pages: at most half a huge
// page is ever mapped beyond what was asked for, and a block of half a huge page
// or more takes at most 255 small pages.
//
// Under AddressSanitizer every block comes from malloc, so that overruns of the
// large ones are still caught.
#include <cstddef>
#include <new>
#include <vector>

namespace memory {

inline constexpr std::size_t kHugePage = std::size_t{2} << 20;
inline constexpr std::size_t kHugeThreshold = kHugePage / 2;
#if defined(__SANITIZE_ADDRESS__)
inline constexpr bool kMapLargeBlocks = false;
#else
inline constexpr bool kMapLargeBlocks = true;
#endif

// A block of `bytes` bytes (at least 1), aligned for any type; throws std::bad_alloc.
void* Allocate(std::size_t bytes);
// Gives back a block from Allocate or Resize, with the size it was asked with.
void Free(void* block, std::size_t bytes) noexcept;
// The block made `bytes` long, its first min(old, bytes) bytes kept; it may
// move. Throws std::bad_alloc and then leaves the block as it was.
void* Resize(void* block, std::size_t oldBytes, std::size_t bytes);

// An allocator for standard containers over Allocate and Free.
template <class T>
struct Allocator {
    using value_type = T;
    Allocator() = default;
    template <class U>
    Allocator(const Allocator<U>&) noexcept {}
    T* allocate(std::size_t count) {
        if (count > static_cast<std::size_t>(-1) / sizeof(T)) throw std::bad_array_new_length();
        return static_cast<T*>(Allocate(count * sizeof(T)));
    }
    void deallocate(T* block, std::size_t count) noexcept { Free(block, count * sizeof(T)); }
    template <class U>
    bool operator==(const Allocator<U>&) const noexcept { return true; }
};

// A vector whose storage comes from Allocate.
template <class T>
using Vector = std::vector<T, Allocator<T>>;

}  // namespace memory
