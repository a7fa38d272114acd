#include "table/CollationRanks.h"

#include <algorithm>
#include <cstring>
#include <functional>
#include <memory>
#include <string>
#include <string_view>

#include "table/Collation.h"
#include "table/RecordData.h"
#include "table/SideBySide.h"

namespace {

// The distinct texts of a column, numbered in the order they are first met: an
// open-addressing table of number + 1 (0: empty) with each text's hash beside
// it, so that a lookup compares texts only when their hashes agree.
class DistinctTexts {
public:
    explicit DistinctTexts(std::size_t expected) {
        std::size_t capacity = 16;
        while (capacity < 2 * expected) capacity *= 2;
        slots_.assign(capacity, Slot{});
    }

    // The text's number, and whether it was new.
    std::pair<std::uint32_t, bool> Add(std::string_view text) {
        const std::size_t hash = std::hash<std::string_view>{}(text);
        const std::uint32_t tag = static_cast<std::uint32_t>(hash >> 32);
        for (std::size_t at = hash & (slots_.size() - 1);; at = (at + 1) & (slots_.size() - 1)) {
            Slot& slot = slots_[at];
            if (slot.Number == 0) {
                if (2 * (texts_.size() + 1) > slots_.size()) {
                    Grow();
                    return Add(text);
                }
                texts_.push_back(text);
                slot = {tag, static_cast<std::uint32_t>(texts_.size())};
                return {slot.Number - 1, true};
            }
            if (slot.Tag == tag && texts_[slot.Number - 1] == text) return {slot.Number - 1, false};
        }
    }
    // The texts by number.
    const memory::Vector<std::string_view>& Texts() const { return texts_; }

private:
    struct Slot {
        std::uint32_t Tag = 0;
        std::uint32_t Number = 0;
    };
    void Grow() {
        const memory::Vector<std::string_view> texts = std::move(texts_);
        texts_.clear();
        slots_.assign(2 * slots_.size(), Slot{});
        for (const std::string_view text : texts) Add(text);
    }

    memory::Vector<Slot> slots_;
    memory::Vector<std::string_view> texts_;
};

// Below this many distinct texts a second thread costs more than it saves.
constexpr std::size_t kTextsForTwoThreads = 4096;

// The sort keys of a run of distinct texts, numbered from First, and their
// numbers in key order. Keys are zero-terminated and compare byte by byte as
// the texts collate.
struct KeyedTexts {
    std::uint32_t First = 0;
    memory::Vector<char> Bytes;
    memory::Vector<std::size_t> Start;
    memory::Vector<std::uint32_t> Order;

    void Make(const Collation& collation, std::span<const std::string_view> texts) {
        Start.reserve(texts.size());
        for (const std::string_view text : texts) {
            Start.push_back(Bytes.size());
            collation.AppendSortKey(text, Bytes);
        }
        Order.resize(texts.size());
        for (std::uint32_t i = 0; i < Order.size(); ++i) Order[i] = First + i;
        std::sort(Order.begin(), Order.end(),
                  [&](std::uint32_t x, std::uint32_t y) { return std::strcmp(Key(x), Key(y)) < 0; });
    }
    const char* Key(std::uint32_t number) const { return Bytes.data() + Start[number - First]; }
};

}  // namespace

memory::Vector<std::uint32_t> CollationRanks(const RecordData& store, int fieldNo, const Collation& collation,
                                             std::span<const std::uint32_t> records) {
    memory::Vector<std::uint32_t> ranks(records.size(), kNoRank);
    // Distinct texts first: titles repeat, and each distinct one is collated once.
    DistinctTexts distinct(records.size());
    for (std::size_t i = 0; i < records.size(); ++i)
        if (!store.IsNull(records[i], fieldNo)) ranks[i] = distinct.Add(store.Text(records[i], fieldNo)).first;
    const std::span<const std::string_view> texts(distinct.Texts());
    const auto half = static_cast<std::uint32_t>(texts.size() >= kTextsForTwoThreads ? texts.size() / 2 : texts.size());
    KeyedTexts low, high;
    high.First = half;
    if (half == texts.size()) {
        low.Make(collation, texts);
    } else {
        const std::unique_ptr<Collation> own = collation.Clone();
        RunSideBySide([&] { low.Make(collation, texts.first(half)); }, [&] { high.Make(*own, texts.subspan(half)); });
    }
    const auto key = [&](std::uint32_t number) { return number < half ? low.Key(number) : high.Key(number); };
    memory::Vector<std::uint32_t> order(texts.size());
    std::merge(low.Order.begin(), low.Order.end(), high.Order.begin(), high.Order.end(), order.begin(),
               [&](std::uint32_t x, std::uint32_t y) { return std::strcmp(key(x), key(y)) < 0; });
    memory::Vector<std::uint32_t> rankOf(order.size());
    std::uint32_t rank = 0;
    for (std::size_t i = 0; i < order.size(); ++i) {
        if (i > 0 && std::strcmp(key(order[i - 1]), key(order[i])) != 0) ++rank;
        rankOf[order[i]] = rank;
    }
    for (std::uint32_t& entry : ranks)
        if (entry != kNoRank) entry = rankOf[entry];
    return ranks;
}
