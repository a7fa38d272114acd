#include "app/core/FindMatch.h"

#include <array>

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

// Text upper-cased into room of its own; short texts (every catalogue field)
// need no allocation, so that a find over many records stays quick.
class UpperText {
public:
    explicit UpperText(std::string_view text) {
        char* out = inline_.data();
        if (text.size() > inline_.size()) {
            long_.resize(text.size());
            out = long_.data();
        }
        const auto& upper = UpperTable();
        for (std::size_t i = 0; i < text.size(); ++i) out[i] = static_cast<char>(upper[static_cast<unsigned char>(text[i])]);
        view_ = {out, text.size()};
    }
    UpperText(const UpperText&) = delete;
    UpperText& operator=(const UpperText&) = delete;
    std::string_view View() const { return view_; }

private:
    std::array<char, 128> inline_;
    std::string long_;
    std::string_view view_;
};

}  // namespace

bool TextMatches(std::string_view fieldText, std::string_view criterion) {
    if (criterion.empty()) return true;
    if (criterion.size() > fieldText.size()) return false;
    // The field is upper-cased only as far as the search looks at it: most
    // searches decide within a few letters.
    const auto& upper = UpperTable();
    const auto at = [&](std::size_t i) { return upper[static_cast<unsigned char>(fieldText[i])]; };
    const UpperText wanted(criterion);
    const std::string_view w = wanted.View();
    const auto first = static_cast<unsigned char>(w[0]);
    for (std::size_t i = 0; i + w.size() <= fieldText.size(); ++i) {
        if (at(i) != first) continue;
        std::size_t k = 1;
        while (k < w.size() && at(i + k) == static_cast<unsigned char>(w[k])) ++k;
        if (k == w.size()) return true;
    }
    return false;
}

bool CurrentRecordMatches(TClientDataSet& table, const FindCriteria& criteria) {
    const auto matches = [&table](std::string_view field, const std::string& criterion) {
        return criterion.empty() || TextMatches(table.FieldNamed(field).AsStringView(), criterion);
    };
    return matches("S1", criteria.S1) && matches("S2", criteria.S2) && matches("S7", criteria.S7);
}
