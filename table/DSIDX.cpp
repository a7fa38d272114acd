#include "table/DSIDX.h"

#include <algorithm>
#include <new>
#include <utility>

#include "table/Errors.h"
#include "table/RecordStore.h"

namespace {
constexpr std::uint32_t kLowSentinel = 0;
constexpr std::uint32_t kHighSentinel = 0xFFFFFFFFu;
constexpr std::uint32_t kSmallPart = 10;  // parts this small are left to the insertion pass
constexpr std::size_t kGrowth = 50;
constexpr std::size_t kBuildSlack = 10;
}  // namespace

DSIDX::DSIDX(const RecordStore& store, IndexDescriptor descriptor, std::uint32_t id)
    : store_(store), descriptor_(std::move(descriptor)), id_(id), isDefaultOrder_(descriptor_.Name == kDefaultOrderName) {
    entries_.push_back(kLowSentinel);
    MakeComparators();
}

DSIDX::~DSIDX() = default;

void DSIDX::MakeComparators() {
    comparators_.clear();
    for (std::size_t i = 0; i < descriptor_.Fields.size(); ++i)
        comparators_.push_back(FLDComparator::For(store_, descriptor_.Fields[i], descriptor_.Descending[i],
                                                  descriptor_.CaseInsensitive[i]));
}

void DSIDX::Redefine(IndexDescriptor descriptor, bool counts) {
    descriptor.Name = descriptor_.Name;
    descriptor_ = std::move(descriptor);
    redefined_ = counts;
    MakeComparators();
}

std::uint32_t DSIDX::PositionOf(std::uint32_t recordNumber) const {
    for (std::uint32_t position = 1; position < entries_.size(); ++position)
        if (entries_[position] == recordNumber) return position;
    return 0;
}

int DSIDX::CompareRecords(std::uint32_t a, std::uint32_t b) const {
    if (a == kLowSentinel || b == kLowSentinel || a == kHighSentinel || b == kHighSentinel) {
        if (a == b) return 0;
        if (a == kLowSentinel || b == kHighSentinel) return -1;
        return 1;
    }
    std::size_t next = 0;
    if (firstKeyRanks_ && firstKeyRanks_->Covers(a) && firstKeyRanks_->Covers(b)) {
        const std::uint32_t x = firstKeyRanks_->Rank(a), y = firstKeyRanks_->Rank(b);
        if (x != y) return (x < y) != descriptor_.Descending[0] ? -1 : 1;
        next = 1;
    }
    for (; next < comparators_.size(); ++next)
        if (const int result = comparators_[next]->Compare(store_, a, b)) return result;
    return 0;
}

std::uint16_t DSIDX::Reserve(std::size_t capacity) {
    try {
        entries_.reserve(capacity + 2);  // room for the high sentinel while sorting
    } catch (const std::bad_alloc&) {
        return dberr::NoMemory;
    }
    capacity_ = capacity;
    return 0;
}

std::uint16_t DSIDX::Build() {
    // A build compares every record many times; collating the first key's texts
    // once makes those comparisons cheap. Later key fields only decide among
    // equal first keys, so they are left to the comparators.
    if (HasKeys() && store_.Field(descriptor_.Fields[0]).IsText())
        firstKeyRanks_ = std::make_unique<CollationRanks>(store_, descriptor_.Fields[0],
                                                          store_.CollationFor(descriptor_.CaseInsensitive[0]));
    const std::uint16_t code = Fill();
    firstKeyRanks_.reset();
    return code;
}

std::uint16_t DSIDX::Fill() {
    entries_.assign(1, kLowSentinel);
    stamp_ = 0;
    if (const auto code = Reserve(store_.LiveCount() + kBuildSlack)) return code;
    const bool insertOneByOne = isDefaultOrder_ && HasKeys();
    for (std::uint32_t recordNumber = 1; recordNumber <= store_.SlotCount(); ++recordNumber) {
        if (!store_.IsLive(recordNumber)) continue;
        if (insertOneByOne) {
            if (const auto code = InsertKeyed(recordNumber, nullptr)) return code;
        } else {
            entries_.push_back(recordNumber);
            ++stamp_;
        }
    }
    if (insertOneByOne || !HasKeys()) return 0;
    Sort();
    if (Unique())
        for (std::uint32_t position = 1; position < Count(); ++position)
            if (CompareRecords(entries_[position], entries_[position + 1]) == 0) return dberr::KeyViolation;
    return 0;
}

void DSIDX::Sort() {
    const std::uint32_t count = Count();
    if (count <= 1) return;
    entries_.push_back(kHighSentinel);
    if (count > kSmallPart) SortRange(1, count);
    InsertionPass(count);
    entries_.pop_back();
}

// Median-of-three quicksort that leaves parts of ten entries or fewer unsorted
// and loops on the larger part instead of recursing into it.
void DSIDX::SortRange(std::uint32_t lo, std::uint32_t hi) {
    auto& e = entries_;
    while (true) {
        const std::uint32_t mid = lo + (hi - lo) / 2;
        if (Greater(e[lo], e[hi])) std::swap(e[lo], e[hi]);
        if (Greater(e[mid], e[lo])) {
            std::swap(e[lo], e[mid]);
            if (Greater(e[lo], e[hi])) std::swap(e[lo], e[hi]);
        }
        const std::uint32_t pivot = e[lo];
        std::uint32_t i = lo;
        std::uint32_t j = hi + 1;
        while (true) {
            do ++i; while (Less(e[i], pivot));
            do --j; while (Less(pivot, e[j]));
            if (i >= j) break;
            std::swap(e[i], e[j]);
        }
        std::swap(e[lo], e[j]);
        const std::uint32_t left = j - lo;
        const std::uint32_t right = hi - j;
        if (right >= left) {
            if (left > kSmallPart) {
                SortRange(lo, j - 1);
                lo = j + 1;
            } else if (right > kSmallPart) {
                lo = j + 1;
            } else {
                return;
            }
        } else {
            if (right > kSmallPart) {
                SortRange(j + 1, hi);
                hi = j - 1;
            } else if (left > kSmallPart) {
                hi = j - 1;
            } else {
                return;
            }
        }
    }
}

void DSIDX::InsertionPass(std::uint32_t count) {
    auto& e = entries_;
    for (std::uint32_t i = 1; i < count; ++i) {
        if (!Greater(e[i], e[i + 1])) continue;
        const std::uint32_t moving = e[i + 1];
        std::uint32_t k = i;
        while (Greater(e[k], moving)) {
            e[k + 1] = e[k];
            --k;
        }
        e[k + 1] = moving;
    }
}

std::uint32_t DSIDX::InsertionPlace(std::uint32_t recordNumber) const {
    std::uint32_t low = 1;
    std::uint32_t high = Count() + 1;
    while (low < high) {
        const std::uint32_t middle = low + (high - low) / 2;
        if (CompareRecords(entries_[middle], recordNumber) <= 0)
            low = middle + 1;
        else
            high = middle;
    }
    return low;
}

std::uint16_t DSIDX::InsertAt(std::uint32_t position, std::uint32_t recordNumber) {
    if (Count() + 1 >= capacity_)
        if (const auto code = Reserve(capacity_ + kGrowth)) return code;
    try {
        entries_.insert(entries_.begin() + position, recordNumber);
    } catch (const std::bad_alloc&) {
        return dberr::NoMemory;
    }
    ++stamp_;
    return 0;
}

void DSIDX::RemoveAt(std::uint32_t position) {
    entries_.erase(entries_.begin() + position);
    ++stamp_;
}

std::uint16_t DSIDX::InsertKeyed(std::uint32_t recordNumber, std::uint32_t* placedAt) {
    const std::uint32_t place = InsertionPlace(recordNumber);
    if (Unique() && place > 1 && CompareRecords(entries_[place - 1], recordNumber) == 0) return dberr::KeyViolation;
    if (const auto code = InsertAt(place, recordNumber)) return code;
    if (placedAt) *placedAt = place;
    return 0;
}

std::uint16_t DSIDX::Insert(std::uint32_t recordNumber, std::uint32_t cursorPosition, std::uint32_t* placedAt) {
    if (HasKeys()) return InsertKeyed(recordNumber, placedAt);
    const std::uint32_t place = (cursorPosition >= 1 && cursorPosition <= Count()) ? cursorPosition : Count() + 1;
    if (const auto code = InsertAt(place, recordNumber)) return code;
    if (placedAt) *placedAt = place;
    return 0;
}

bool DSIDX::Remove(std::uint32_t recordNumber) {
    const std::uint32_t position = PositionOf(recordNumber);
    if (position == 0) return false;
    RemoveAt(position);
    return true;
}

std::uint16_t DSIDX::Replace(std::uint32_t recordNumber, std::uint32_t candidate, Replacement& replacement) {
    replacement = {};
    if (!HasKeys()) return 0;
    const std::uint32_t position = PositionOf(recordNumber);
    if (position == 0 || CompareRecords(recordNumber, candidate) == 0) return 0;
    RemoveAt(position);
    std::uint32_t place = 0;
    if (const auto code = InsertKeyed(candidate, &place)) {
        // Putting the entry back cannot need memory: the array just shrank by one.
        InsertAt(position, recordNumber);
        return code;
    }
    replacement = {true, position, place};
    return 0;
}

void DSIDX::CommitReplacement(const Replacement& replacement, std::uint32_t recordNumber) {
    if (replacement.Moved) entries_[replacement.NewPosition] = recordNumber;
}

void DSIDX::UndoReplacement(const Replacement& replacement, std::uint32_t recordNumber) {
    if (!replacement.Moved) return;
    RemoveAt(replacement.NewPosition);
    InsertAt(replacement.OldPosition, recordNumber);
}
