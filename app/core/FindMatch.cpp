#include "app/core/FindMatch.h"

#include "text/Cp1250.h"

bool TextMatches(std::string_view fieldText, std::string_view criterion) {
    if (criterion.empty()) return true;
    return cp1250::ToUpper(fieldText).find(cp1250::ToUpper(criterion)) != std::string::npos;
}

bool CurrentRecordMatches(TClientDataSet& table, const FindCriteria& criteria) {
    return TextMatches(table.FieldNamed("S1").AsString(), criteria.S1) &&
           TextMatches(table.FieldNamed("S2").AsString(), criteria.S2) &&
           TextMatches(table.FieldNamed("S7").AsString(), criteria.S7);
}
