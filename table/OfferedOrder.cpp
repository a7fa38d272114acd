#include "table/OfferedOrder.h"

#include <algorithm>
#include <vector>

#include "table/RecordData.h"

namespace {

// The live record each key value names: an array over the values' span where
// that is small (keys handed out one after another), else the pairs sorted by
// value. Of records sharing a value the first stored is named.
class RecordsByKey {
public:
    RecordsByKey(const RecordData& store, int keyField) {
        for (std::uint32_t record = 1; record <= store.SlotCount(); ++record)
            if (store.IsLive(record) && !store.IsNull(record, keyField))
                pairs_.push_back({store.Integer(record, keyField), record});
        if (pairs_.empty()) return;
        const auto [low, high] = std::minmax_element(pairs_.begin(), pairs_.end());
        const std::int64_t span = std::int64_t{high->first} - low->first + 1;
        if (span <= 4 * static_cast<std::int64_t>(pairs_.size()) + 1024) {
            low_ = low->first;
            dense_.assign(static_cast<std::size_t>(span), 0);
            for (auto pair = pairs_.rbegin(); pair != pairs_.rend(); ++pair)
                dense_[static_cast<std::size_t>(pair->first - low_)] = pair->second;
            pairs_ = {};
        } else {
            std::stable_sort(pairs_.begin(), pairs_.end(),
                             [](const auto& a, const auto& b) { return a.first < b.first; });
        }
    }

    // 0 when no live record holds the value.
    std::uint32_t Find(std::int32_t key) const {
        if (!dense_.empty()) {
            const std::int64_t at = std::int64_t{key} - low_;
            return at >= 0 && at < static_cast<std::int64_t>(dense_.size()) ? dense_[static_cast<std::size_t>(at)] : 0;
        }
        const auto found = std::lower_bound(pairs_.begin(), pairs_.end(), key,
                                            [](const auto& pair, std::int32_t value) { return pair.first < value; });
        return found != pairs_.end() && found->first == key ? found->second : 0;
    }

private:
    memory::Vector<std::pair<std::int32_t, std::uint32_t>> pairs_;
    std::int32_t low_ = 0;
    memory::Vector<std::uint32_t> dense_;
};

}  // namespace

std::unique_ptr<KeyRanks> RanksFromOffer(const RecordData& store, const TIndexOrder& offered,
                                         const std::function<int(std::uint32_t, std::uint32_t)>& compare) {
    const int keyField = FindFieldNumber(store.Fields(), offered.KeyField);
    if (keyField == 0 || store.Field(keyField).IsText()) return nullptr;
    const std::size_t live = store.LiveCount();
    // Beyond this many records out of place, merging them costs what ranking saves.
    const std::size_t mostStrays = 64 + live / 32;

    memory::Vector<std::uint32_t> offeredRecords, strays;
    {
        const RecordsByKey byKey(store, keyField);
        std::vector<bool> named(store.SlotCount() + 1, false);
        offeredRecords.reserve(std::min(offered.Keys.size(), live));
        for (const std::int32_t key : offered.Keys) {
            const std::uint32_t record = byKey.Find(key);
            if (record == 0 || named[record]) continue;
            named[record] = true;
            offeredRecords.push_back(record);
        }
        for (std::uint32_t record = 1; record <= store.SlotCount(); ++record)
            if (store.IsLive(record) && !named[record]) strays.push_back(record);
    }
    if (strays.size() > mostStrays) return nullptr;

    // An offered record stays in place when it is not below the last one kept
    // nor above the next one offered; otherwise it becomes a stray. Of each
    // record kept, whether it rises above the one kept before it.
    memory::Vector<std::uint32_t> kept;
    std::vector<bool> keptRises;
    kept.reserve(offeredRecords.size());
    int lastToThis = 0;
    bool lastToThisKnown = false;  // compared while the last one was kept
    for (std::size_t i = 0; i < offeredRecords.size(); ++i) {
        const std::uint32_t record = offeredRecords[i];
        int fromLast = -1;
        if (!kept.empty()) {
            fromLast = lastToThisKnown ? lastToThis : compare(kept.back(), record);
            lastToThisKnown = false;
        }
        if (fromLast <= 0 && i + 1 < offeredRecords.size()) {
            lastToThis = compare(record, offeredRecords[i + 1]);
            lastToThisKnown = lastToThis <= 0;
        }
        if (fromLast > 0 || (i + 1 < offeredRecords.size() && lastToThis > 0)) {
            lastToThisKnown = false;
            strays.push_back(record);
            if (strays.size() > mostStrays) return nullptr;
            continue;
        }
        kept.push_back(record);
        keptRises.push_back(fromLast < 0);
    }

    // The strays in order, each merged in after every kept record not above it.
    // Kept records before that place are known not to be above it, by a
    // comparison or through the stray before it, and the one after it was
    // found above it, so the merged records never descend.
    std::sort(strays.begin(), strays.end(), [&](std::uint32_t a, std::uint32_t b) { return compare(a, b) < 0; });
    memory::Vector<std::uint64_t> ranks(store.SlotCount() + 1, KeyRanks::kLowest);
    std::uint64_t rank = KeyRanks::kLowest;
    std::uint32_t previous = 0;
    // Numbers the records along the merged order; `rises`: above the one before.
    const auto number = [&](std::uint32_t record, bool rises) {
        if (previous == 0 || rises) ++rank;
        ranks[record] = rank;
        previous = record;
    };
    // A kept record rises above a stray merged in before it too: the stray is
    // not below the record kept before, and is below this one.
    std::size_t from = 0;
    const auto keepUpTo = [&](std::size_t end) {
        for (; from < end; ++from) number(kept[from], keptRises[from]);
    };
    for (const std::uint32_t record : strays) {
        const auto above = std::upper_bound(kept.begin() + static_cast<std::ptrdiff_t>(from), kept.end(), record,
                                            [&](std::uint32_t a, std::uint32_t b) { return compare(a, b) < 0; });
        keepUpTo(static_cast<std::size_t>(above - kept.begin()));
        const int order = previous == 0 ? -1 : compare(previous, record);
        if (order > 0) return nullptr;  // comparisons that contradict each other
        number(record, order < 0);
    }
    keepUpTo(kept.size());
    return std::make_unique<KeyRanks>(std::move(ranks));
}
