#include "cli/CzechRanks.h"

#include <algorithm>
#include <cstring>
#include <numeric>

#include "table/Collation.h"

namespace {

constexpr std::uint32_t kCzechLocaleId = 0x0405;

}  // namespace

std::vector<std::uint32_t> CzechRanks(const std::vector<std::string>& texts) {
    const Collation collation(kCzechLocaleId, false);
    // Each key ends with the collator's zero byte and holds no other, so keys
    // compare as C strings.
    memory::Vector<char> keys;
    std::vector<std::size_t> keyAt(texts.size());
    for (std::size_t i = 0; i < texts.size(); ++i) {
        keyAt[i] = keys.size();
        collation.AppendSortKey(texts[i], keys);
    }
    const auto key = [&](std::size_t i) { return keys.data() + keyAt[i]; };
    std::vector<std::size_t> order(texts.size());
    std::iota(order.begin(), order.end(), std::size_t{0});
    std::sort(order.begin(), order.end(), [&](std::size_t a, std::size_t b) { return std::strcmp(key(a), key(b)) < 0; });
    std::vector<std::uint32_t> ranks(texts.size());
    std::uint32_t rank = 0;
    for (std::size_t at = 0; at < order.size(); ++at) {
        if (at > 0 && std::strcmp(key(order[at - 1]), key(order[at])) != 0) ++rank;
        ranks[order[at]] = rank;
    }
    return ranks;
}
