#pragma once
// The index build's sort. The order in which it leaves records with equal keys
// is observable, so it follows fixed steps: a median-of-three quicksort that
// leaves parts of ten entries or fewer as they are and loops on the larger part
// instead of recursing into it, then one insertion pass over the whole array.
// It is not stable.
//
// Sorts e[1] to e[count]; e[0] must compare lower and e[count + 1] higher than
// every entry. greater(a, b) tells whether a's key is greater than b's. Entries
// is a vector of any allocator.
#include <cstdint>
#include <utility>

namespace buildsort {

inline constexpr std::uint32_t kSmallPart = 10;

template <class Entries, class Greater>
void SortRange(Entries& e, std::uint32_t lo, std::uint32_t hi, const Greater& greater) {
    while (true) {
        const std::uint32_t mid = lo + (hi - lo) / 2;
        if (greater(e[lo], e[hi])) std::swap(e[lo], e[hi]);
        if (greater(e[mid], e[lo])) {
            std::swap(e[lo], e[mid]);
            if (greater(e[lo], e[hi])) std::swap(e[lo], e[hi]);
        }
        const auto pivot = e[lo];
        std::uint32_t i = lo;
        std::uint32_t j = hi + 1;
        while (true) {
            do ++i; while (greater(pivot, e[i]));
            do --j; while (greater(e[j], pivot));
            if (i >= j) break;
            std::swap(e[i], e[j]);
        }
        std::swap(e[lo], e[j]);
        const std::uint32_t left = j - lo;
        const std::uint32_t right = hi - j;
        if (right >= left) {
            if (left > kSmallPart) {
                SortRange(e, lo, j - 1, greater);
                lo = j + 1;
            } else if (right > kSmallPart) {
                lo = j + 1;
            } else {
                return;
            }
        } else {
            if (right > kSmallPart) {
                SortRange(e, j + 1, hi, greater);
                hi = j - 1;
            } else if (left > kSmallPart) {
                hi = j - 1;
            } else {
                return;
            }
        }
    }
}

template <class Entries, class Greater>
void InsertionPass(Entries& e, std::uint32_t count, const Greater& greater) {
    for (std::uint32_t i = 1; i < count; ++i) {
        if (!greater(e[i], e[i + 1])) continue;
        const auto moving = e[i + 1];
        std::uint32_t k = i;
        while (greater(e[k], moving)) {
            e[k + 1] = e[k];
            --k;
        }
        e[k + 1] = moving;
    }
}

}  // namespace buildsort

template <class Entries, class Greater>
void BuildSort(Entries& e, std::uint32_t count, const Greater& greater) {
    if (count <= 1) return;
    if (count > buildsort::kSmallPart) buildsort::SortRange(e, 1, count, greater);
    buildsort::InsertionPass(e, count, greater);
}
