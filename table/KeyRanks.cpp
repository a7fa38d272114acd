#include "table/KeyRanks.h"

#include <algorithm>

#include "table/CollationRanks.h"
#include "table/RecordStore.h"

namespace {

// Ranks of the first key field: 1 for a null, values from 2 up, in key order.
// An integer keeps its order as an unsigned number once its sign bit is flipped.
void RankFirstField(const RecordStore& store, const IndexDescriptor& descriptor, std::vector<std::uint64_t>& ranks) {
    const int fieldNo = descriptor.Fields[0];
    std::unique_ptr<CollationRanks> texts;
    if (store.Field(fieldNo).IsText())
        texts = std::make_unique<CollationRanks>(store, fieldNo, store.CollationFor(descriptor.CaseInsensitive[0]));
    for (std::uint32_t recordNumber = 1; recordNumber <= store.SlotCount(); ++recordNumber) {
        if (!store.IsLive(recordNumber)) continue;
        std::uint64_t rank = 1;
        if (!store.IsNull(recordNumber, fieldNo))
            rank = 2 + (texts ? texts->Rank(recordNumber)
                              : static_cast<std::uint32_t>(store.Integer(recordNumber, fieldNo)) ^ 0x80000000u);
        // Turned round within the same band, so that no rank meets a sentinel.
        if (descriptor.Descending[0]) rank = (std::uint64_t{1} << 34) - rank;
        ranks[recordNumber] = rank;
    }
}

}  // namespace

KeyRanks::KeyRanks(const RecordStore& store, const IndexDescriptor& descriptor,
                   const std::vector<std::unique_ptr<FLDComparator>>& comparators)
    : ranks_(store.SlotCount() + 1, kLowest) {
    if (comparators.empty()) return;
    RankFirstField(store, descriptor, ranks_);
    if (comparators.size() == 1) return;

    // Further key fields only decide among records whose first fields rank
    // equal, so only those few are compared by the comparators.
    std::vector<std::uint32_t> order;
    order.reserve(store.LiveCount());
    for (std::uint32_t recordNumber = 1; recordNumber < ranks_.size(); ++recordNumber)
        if (ranks_[recordNumber] != kLowest) order.push_back(recordNumber);
    std::sort(order.begin(), order.end(), [&](std::uint32_t a, std::uint32_t b) { return ranks_[a] < ranks_[b]; });
    const auto compareRest = [&](std::uint32_t a, std::uint32_t b) {
        for (std::size_t k = 1; k < comparators.size(); ++k)
            if (const int result = comparators[k]->Compare(store, a, b)) return result;
        return 0;
    };
    std::vector<std::uint64_t> dense(order.size());
    std::uint64_t rank = kLowest;
    for (std::size_t begin = 0; begin < order.size();) {
        std::size_t end = begin + 1;
        while (end < order.size() && ranks_[order[end]] == ranks_[order[begin]]) ++end;
        if (end - begin > 1)
            std::sort(order.begin() + static_cast<std::ptrdiff_t>(begin), order.begin() + static_cast<std::ptrdiff_t>(end),
                      [&](std::uint32_t a, std::uint32_t b) { return compareRest(a, b) < 0; });
        for (std::size_t i = begin; i < end; ++i)
            dense[i] = (i == begin || compareRest(order[i - 1], order[i]) != 0) ? ++rank : rank;
        begin = end;
    }
    for (std::size_t i = 0; i < order.size(); ++i) ranks_[order[i]] = dense[i];
}
