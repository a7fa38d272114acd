#include "table/CollationRanks.h"

#include <algorithm>
#include <cstring>
#include <string>
#include <string_view>
#include <unordered_map>

#include "table/Collation.h"
#include "table/RecordStore.h"

CollationRanks::CollationRanks(const RecordStore& store, int fieldNo, const Collation& collation)
    : ranks_(store.SlotCount() + 1, kNone) {
    // Distinct texts first: titles repeat, and each distinct one is collated once.
    std::unordered_map<std::string_view, std::uint32_t> distinctIndex;
    std::vector<std::uint32_t> distinctOf(store.SlotCount() + 1, kNone);
    std::string keys;
    std::vector<std::size_t> keyStart;
    for (std::uint32_t recordNumber = 1; recordNumber <= store.SlotCount(); ++recordNumber) {
        if (!store.IsLive(recordNumber) || store.IsNull(recordNumber, fieldNo)) continue;
        const std::string_view text = store.Text(recordNumber, fieldNo);
        const auto [at, added] = distinctIndex.try_emplace(text, static_cast<std::uint32_t>(keyStart.size()));
        if (added) {
            keyStart.push_back(keys.size());
            collation.AppendSortKey(text, keys);
        }
        distinctOf[recordNumber] = at->second;
    }
    // Sort keys are zero-terminated and compare byte-wise as the texts collate.
    const auto key = [&](std::uint32_t distinct) { return keys.c_str() + keyStart[distinct]; };
    std::vector<std::uint32_t> order(keyStart.size());
    for (std::uint32_t i = 0; i < order.size(); ++i) order[i] = i;
    std::sort(order.begin(), order.end(),
              [&](std::uint32_t x, std::uint32_t y) { return std::strcmp(key(x), key(y)) < 0; });
    std::vector<std::uint32_t> rankOf(keyStart.size());
    std::uint32_t rank = 0;
    for (std::size_t i = 0; i < order.size(); ++i) {
        if (i > 0 && std::strcmp(key(order[i - 1]), key(order[i])) != 0) ++rank;
        rankOf[order[i]] = rank;
    }
    for (std::uint32_t recordNumber = 1; recordNumber < distinctOf.size(); ++recordNumber)
        if (distinctOf[recordNumber] != kNone) ranks_[recordNumber] = rankOf[distinctOf[recordNumber]];
}
