#pragma once
// The match rule of the find: a film matches when each of its English title,
// Czech title and note contains the corresponding criterion. An empty criterion
// matches anything; otherwise the criterion, upper-cased by the Windows-1250
// letter tables (diacritics kept, so C and Č stay different), must occur as a
// contiguous run in the upper-cased field text. Blanks are part of a criterion.
#include <string>
#include <string_view>

#include "table/ClientDataSet.h"

// The three criteria, Windows-1250 text exactly as typed.
struct FindCriteria {
    std::string S1, S2, S7;
};

// True when the criterion occurs in the text under the rule above.
bool TextMatches(std::string_view fieldText, std::string_view criterion);

// True when the table's current record satisfies all three criteria.
bool CurrentRecordMatches(TClientDataSet& table, const FindCriteria& criteria);
