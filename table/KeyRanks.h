#pragma once
// KeyRanks: every live record's whole index key reduced to one number, so that
// two records' numbers compare exactly as the index's key comparison compares
// the records (nulls, descending fields and the collation included).
//
// The records are ordered field by field: by the first key field's values, then
// each run of records equal so far by the next field, and so on; a text field
// through its collation ranks (CollationRanks), an integer by its value, a null
// below every value and a descending field turned round. A run of a few records
// is ordered by the index's comparators instead. The numbers are then handed out
// in that order, equal keys sharing one; with a single key field the field's
// values serve as the numbers directly. With many records, the second half of
// the first field's runs is ordered on a second thread with collations of its
// own, numbered from above every number the first half can take (so numbers
// may skip). The store must not change while the ranks are used. Numbers lie strictly between kLowest and kHighest, which stand
// for the build's sentinels.
#include <cstdint>
#include <memory>
#include <vector>

#include "memory/LargeBlocks.h"
#include "table/Comparators.h"
#include "table/IndexDescriptor.h"

class RecordData;

class KeyRanks {
public:
    static constexpr std::uint64_t kLowest = 0;
    static constexpr std::uint64_t kHighest = ~std::uint64_t{0};

    // comparators: one per key field of descriptor, as the index holds them.
    // May throw std::bad_alloc.
    KeyRanks(const RecordData& store, const IndexDescriptor& descriptor,
             const std::vector<std::unique_ptr<FLDComparator>>& comparators);
    // Numbers found otherwise (table/OfferedOrder.h), one per record number.
    explicit KeyRanks(memory::Vector<std::uint64_t> ranks) : ranks_(std::move(ranks)) {}

    bool Covers(std::uint32_t recordNumber) const {
        return recordNumber < ranks_.size() && ranks_[recordNumber] != kLowest;
    }
    std::uint64_t Rank(std::uint32_t recordNumber) const { return ranks_[recordNumber]; }

private:
    memory::Vector<std::uint64_t> ranks_;  // per record number; kLowest: not a live record
};
