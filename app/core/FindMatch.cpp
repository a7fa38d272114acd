#include "app/core/FindMatch.h"

#include <algorithm>

#include "layout/CatalogLayout.h"
#include "text/Cp1250.h"

namespace {

// cp1250::ToUpper for every byte, looked up once.
const std::array<unsigned char, 256>& UpperTable() {
    static const std::array<unsigned char, 256> table = [] {
        std::array<unsigned char, 256> upper{};
        for (int b = 0; b < 256; ++b) upper[b] = cp1250::ToUpper(static_cast<unsigned char>(b));
        return upper;
    }();
    return table;
}

}  // namespace

CriterionSearch::CriterionSearch(std::string_view criterion) {
    const auto& upper = UpperTable();
    upper_.reserve(criterion.size());
    for (const char c : criterion) upper_ += static_cast<char>(upper[static_cast<unsigned char>(c)]);
    // A window whose last byte does not occur before the criterion's last
    // position can move on by the criterion's whole length; a skip never passes
    // over a place where the criterion could end.
    const std::size_t most = std::min<std::size_t>(upper_.size(), 255);
    std::array<std::uint8_t, 256> byUpper;
    byUpper.fill(static_cast<std::uint8_t>(most));
    for (std::size_t i = 0; i + 1 < upper_.size(); ++i)
        byUpper[static_cast<unsigned char>(upper_[i])] =
            static_cast<std::uint8_t>(std::min<std::size_t>(upper_.size() - 1 - i, most));
    for (int b = 0; b < 256; ++b) shift_[b] = byUpper[upper[b]];
}

bool CriterionSearch::MatchesAt(std::string_view text, std::size_t end) const {
    const auto& upper = UpperTable();
    const std::size_t start = end + 1 - upper_.size();
    for (std::size_t k = upper_.size(); k-- > 0;)
        if (upper[static_cast<unsigned char>(text[start + k])] != static_cast<unsigned char>(upper_[k])) return false;
    return true;
}

bool CriterionSearch::FoundIn(std::string_view text) const {
    const std::size_t length = upper_.size();
    if (length == 0) return true;
    if (length > text.size()) return false;
    if (length == 1) {
        // Every window is a candidate: a plain scan keeps the processor busy
        // instead of waiting on each skip.
        const auto& upper = UpperTable();
        const auto wanted = static_cast<unsigned char>(upper_[0]);
        for (const char c : text)
            if (upper[static_cast<unsigned char>(c)] == wanted) return true;
        return false;
    }
    for (std::size_t end = length - 1; end < text.size(); end += shift_[static_cast<unsigned char>(text[end])])
        if (MatchesAt(text, end)) return true;
    return false;
}

bool TextMatches(std::string_view fieldText, std::string_view criterion) {
    return CriterionSearch(criterion).FoundIn(fieldText);
}

RecordMatcher::RecordMatcher(TClientDataSet& table, const FindCriteria& criteria) {
    for (const auto& [name, criterion] : {std::pair{FilmFieldName(kEnglishTitle), &criteria.S1}, {FilmFieldName(kCzechTitle), &criteria.S2},
                                        {FilmFieldName(kNote), &criteria.S7}})
        if (!criterion->empty())
            searches_.push_back({&table.FieldNamed(name), CriterionSearch(*criterion)});
    std::stable_sort(searches_.begin(), searches_.end(), [](const FieldSearch& a, const FieldSearch& b) {
        return a.Search.Length() > b.Search.Length();
    });
}
