#include "app/core/Global.h"

#include <algorithm>
#include <array>
#include <string>

#include "text/Cp1250.h"

namespace {

// The ranking alphabet: 34 symbols, the digits, then each letter as a capital
// followed by its small form. A character's rank is its first position here (from
// 1); the ampersand appears twice and keeps rank 19. Everything else ranks 0.
const char* const kSortAlphabet =
    ";,:.?!+-*=/|\\<>§_\"&@#$%^&~`'(){}[]"
    "0123456789"
    "AaÁáBbCcČčDdĎďEeÉéĚěFfGgHhIiÍíJjKkLlMmNnŇňOoÓóPpQqRrŘřSsŠšTtŤťUuÚúŮůVvWwXxYyÝýZzŽž";

// kSortAlphabet position by position with the diacritics removed.
const char* const kFoldedAlphabet =
    ";,:.?!+-*=/|\\<>§_\"&@#$%^&~`'(){}[]"
    "0123456789"
    "AaAaBbCcCcDdDdEeEeEeFfGgHhIiIiJjKkLlMmNnNnOoOoPpQqRrRrSsSsTtTtUuUuUuVvWwXxYyYyZzZz";

const char* const kCzechLower = "aábcčdďeéěfghiíjklmnňoópqrřsštťuúůvwxyýzž";
const char* const kCzechUpper = "AÁBCČDĎEÉĚFGHIÍJKLMNŇOÓPQRŘSŠTŤUÚŮVWXYÝZŽ";

// The four tables reduced to one byte map, built once: the rank of a byte after
// folding (alphabet substitution, then the small-to-capital step). Looking bytes
// up this way gives exactly the results of searching the tables.
struct FoldingTables {
    std::array<int, 256> foldedRank{};

    FoldingTables() {
        const std::string sortAlphabet = cp1250::FromUtf8(kSortAlphabet);
        const std::string foldedAlphabet = cp1250::FromUtf8(kFoldedAlphabet);
        const std::string lower = cp1250::FromUtf8(kCzechLower);
        const std::string upper = cp1250::FromUtf8(kCzechUpper);
        for (int b = 0; b < 256; ++b) {
            char c = static_cast<char>(b);
            if (const auto at = sortAlphabet.find(c); at != std::string::npos) c = foldedAlphabet[at];
            if (const auto at = lower.find(c); at != std::string::npos) c = upper[at];
            const auto position = sortAlphabet.find(c);
            foldedRank[b] = position == std::string::npos ? 0 : static_cast<int>(position) + 1;
        }
    }

    int FoldedRank(char c) const { return foldedRank[static_cast<unsigned char>(c)]; }
};

const FoldingTables& Tables() {
    static const FoldingTables tables;
    return tables;
}

}  // namespace

std::int32_t CzechCompare(std::string_view a, std::string_view b) {
    if (a.empty()) return -1;
    if (b.empty()) return 1;
    const FoldingTables& tables = Tables();
    const std::size_t shorter = std::min(a.size(), b.size());
    // The last position of the shorter text is compared even when all before it
    // were equal, so the loop stops one short of it.
    std::size_t i = 0;
    while (i + 1 < shorter && tables.FoldedRank(a[i]) == tables.FoldedRank(b[i])) ++i;
    const int rankA = tables.FoldedRank(a[i]);
    const int rankB = tables.FoldedRank(b[i]);
    if (rankA != rankB) return rankA < rankB ? -1 : 1;
    if (a.size() == b.size()) return 0;
    return a.size() < b.size() ? -1 : 1;
}
