#pragma once
// The match rule of the find: a film matches when each of its English title,
// Czech title and note contains the corresponding criterion. An empty criterion
// matches anything; otherwise the criterion, upper-cased by the Windows-1250
// letter tables (diacritics kept, so C and Č stay different), must occur as a
// contiguous run in the upper-cased field text. Blanks are part of a criterion.
#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "table/ClientDataSet.h"

// The three criteria, Windows-1250 text exactly as typed.
struct FindCriteria {
    std::string S1, S2, S7;
};

// One criterion made ready for searching many texts: upper-cased once, with the
// shift table of a Horspool search, which compares the upper-cased text from the
// end of each window and skips ahead by what the window's last byte allows. The
// table is indexed by the text's own bytes, so that a skip waits on one lookup.
class CriterionSearch {
public:
    explicit CriterionSearch(std::string_view criterion);
    // True when the criterion occurs in the text under the rule above.
    bool FoundIn(std::string_view text) const;
    std::size_t Length() const { return upper_.size(); }

private:
    // The text's window ending at this byte holds the criterion.
    bool MatchesAt(std::string_view text, std::size_t end) const;

    std::string upper_;
    std::array<std::uint8_t, 256> shift_{};  // skips are capped, a longer skip is taken in steps
};

// True when the criterion occurs in the text under the rule above.
bool TextMatches(std::string_view fieldText, std::string_view criterion);

// The three criteria made ready for a walk over one open table: the fields are
// looked up once, and the non-empty criteria are tried longest first, since the
// longest is the likeliest to fail and so to decide a record by one field. The
// table must stay open while it is used.
class RecordMatcher {
public:
    RecordMatcher(TClientDataSet& table, const FindCriteria& criteria);
    // True when the film whose values valueOf(field) gives satisfies all three criteria.
    template <class ValueOf>
    bool Matches(const ValueOf& valueOf) const {
        for (const FieldSearch& search : searches_)
            if (!search.Search.FoundIn(valueOf(*search.Field))) return false;
        return true;
    }
    // The same for the table's current record.
    bool CurrentRecordMatches() const {
        return Matches([](const TField& field) { return field.AsStringView(); });
    }

private:
    struct FieldSearch {
        const TField* Field;
        CriterionSearch Search;
    };
    std::vector<FieldSearch> searches_;
};
