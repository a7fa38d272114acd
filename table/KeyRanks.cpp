#include "table/KeyRanks.h"

#include <algorithm>

#include "table/CollationRanks.h"
#include "table/Collation.h"
#include "table/RecordData.h"
#include "table/SideBySide.h"

namespace {

// Runs this short are ordered by the comparators: for them that is cheaper
// than collating every text.
constexpr std::size_t kShortRun = 12;

using Records = memory::Vector<std::uint32_t>;
using Keyed = memory::Vector<std::pair<std::uint64_t, std::uint32_t>>;

// Below this many records a second thread costs more than it saves.
constexpr std::size_t kRecordsForTwoThreads = 8192;

// The comparators and collations of one thread's ranking.
struct Comparison {
    const std::vector<std::unique_ptr<FLDComparator>>& Comparators;
    std::vector<const Collation*> Collations;  // per key field; none for an integer field
};

class Ranker {
public:
    Ranker(const RecordData& store, const IndexDescriptor& descriptor, const Comparison& comparison,
           memory::Vector<std::uint64_t>& ranks)
        : store_(store), descriptor_(descriptor), comparison_(comparison), ranks_(ranks) {}

    // The records, equal in the key fields before `field`, are put in key order
    // and numbered.
    void Order(Records::iterator begin, Records::iterator end, std::size_t field) {
        const auto count = static_cast<std::size_t>(end - begin);
        const std::size_t fields = comparison_.Comparators.size();
        if (fields == 1) {
            // One key field: its values themselves are the numbers.
            for (const auto& [key, recordNumber] : FieldKeys(begin, end, 0)) ranks_[recordNumber] = key;
            return;
        }
        if (field == fields || count == 1) return Number(begin, end, [](std::uint32_t, std::uint32_t) { return false; });
        if (count <= kShortRun) {
            const auto less = [&](std::uint32_t a, std::uint32_t b) { return CompareFrom(field, a, b) < 0; };
            std::sort(begin, end, less);
            return Number(begin, end, less);
        }
        Keyed keyed = FieldKeys(begin, end, field);
        std::sort(keyed.begin(), keyed.end());
        for (std::size_t i = 0; i < count; ++i) begin[static_cast<std::ptrdiff_t>(i)] = keyed[i].second;
        // Runs of equal values are ordered by the next field, each on its own.
        const auto orderRuns = [&](Ranker& ranker, std::size_t from, std::size_t to) {
            for (std::size_t run = from; run < to;) {
                std::size_t next = run + 1;
                while (next < to && keyed[next].first == keyed[run].first) ++next;
                ranker.Order(begin + static_cast<std::ptrdiff_t>(run), begin + static_cast<std::ptrdiff_t>(next),
                             field + 1);
                run = next;
            }
        };
        std::size_t split = count;
        if (field == 0 && count >= kRecordsForTwoThreads)
            for (split = count / 2; split < count && keyed[split].first == keyed[split - 1].first;) ++split;
        if (split == count) return orderRuns(*this, 0, count);
        // The second half on a thread of its own, with collations of its own; its
        // numbers start above every number the first half can give.
        std::vector<std::unique_ptr<Collation>> own;
        std::vector<std::unique_ptr<FLDComparator>> comparators;
        Comparison second{comparators, {}};
        for (std::size_t i = 0; i < fields; ++i) {
            const int fieldNo = descriptor_.Fields[i];
            const bool descending = descriptor_.Descending[i];
            if (const Collation* collation = comparison_.Collations[i]) {
                own.push_back(collation->Clone());
                second.Collations.push_back(own.back().get());
                comparators.push_back(FLDComparator::For(store_, fieldNo, descending, *own.back()));
            } else {
                second.Collations.push_back(nullptr);
                comparators.push_back(FLDComparator::For(store_, fieldNo, descending, descriptor_.CaseInsensitive[i]));
            }
        }
        Ranker secondRanker(store_, descriptor_, second, ranks_);
        secondRanker.next_ = next_ + split;
        RunSideBySide([&] { orderRuns(*this, 0, split); }, [&] { orderRuns(secondRanker, split, count); });
        next_ = secondRanker.next_;
    }

private:
    int CompareFrom(std::size_t field, std::uint32_t a, std::uint32_t b) const {
        for (; field < comparison_.Comparators.size(); ++field)
            if (const int result = comparison_.Comparators[field]->Compare(store_, a, b)) return result;
        return 0;
    }

    // Hands out numbers in order; a record for which `before(previous, record)`
    // does not hold shares the previous record's number.
    template <class Before>
    void Number(Records::iterator begin, Records::iterator end, Before before) {
        for (auto at = begin; at != end; ++at) {
            if (at == begin || before(at[-1], *at)) ++next_;
            ranks_[*at] = next_;
        }
    }

    // One field's value of each record as a number in key order: 1 for a null,
    // values from 2 up; a descending field turned round within the same band.
    Keyed FieldKeys(Records::iterator begin, Records::iterator end, std::size_t field) const {
        const int fieldNo = descriptor_.Fields[field];
        const std::span<const std::uint32_t> records(&*begin, static_cast<std::size_t>(end - begin));
        memory::Vector<std::uint32_t> texts;
        if (const Collation* collation = comparison_.Collations[field])
            texts = CollationRanks(store_, fieldNo, *collation, records);
        Keyed keyed(records.size());
        for (std::size_t i = 0; i < records.size(); ++i) {
            const std::uint32_t recordNumber = records[i];
            std::uint64_t key = 1;
            if (!store_.IsNull(recordNumber, fieldNo))
                key = 2 + (texts.empty() ? static_cast<std::uint32_t>(store_.Integer(recordNumber, fieldNo)) ^ 0x80000000u
                                         : texts[i]);
            if (descriptor_.Descending[field]) key = (std::uint64_t{1} << 34) - key;
            keyed[i] = {key, recordNumber};
        }
        return keyed;
    }

    const RecordData& store_;
    const IndexDescriptor& descriptor_;
    const Comparison& comparison_;
    memory::Vector<std::uint64_t>& ranks_;
    std::uint64_t next_ = KeyRanks::kLowest;
};

}  // namespace

KeyRanks::KeyRanks(const RecordData& store, const IndexDescriptor& descriptor,
                   const std::vector<std::unique_ptr<FLDComparator>>& comparators)
    : ranks_(store.SlotCount() + 1, kLowest) {
    if (comparators.empty()) return;
    Records records;
    records.reserve(store.LiveCount());
    for (std::uint32_t recordNumber = 1; recordNumber <= store.SlotCount(); ++recordNumber)
        if (store.IsLive(recordNumber)) records.push_back(recordNumber);
    if (records.empty()) return;
    Comparison comparison{comparators, {}};
    for (std::size_t i = 0; i < descriptor.Fields.size(); ++i)
        comparison.Collations.push_back(store.Field(descriptor.Fields[i]).IsText()
                                            ? &store.CollationFor(descriptor.CaseInsensitive[i])
                                            : nullptr);
    Ranker(store, descriptor, comparison, ranks_).Order(records.begin(), records.end(), 0);
}
