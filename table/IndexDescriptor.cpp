#include "table/IndexDescriptor.h"

#include <algorithm>

#include "table/Errors.h"
#include "table/TextFormat.h"

namespace {

bool IsBlankOrControl(char c) { return static_cast<unsigned char>(c) <= 0x20; }

std::string_view Trimmed(std::string_view piece) {
    while (!piece.empty() && IsBlankOrControl(piece.front())) piece.remove_prefix(1);
    while (!piece.empty() && IsBlankOrControl(piece.back())) piece.remove_suffix(1);
    return piece;
}

// The names of a ";"-separated list, trimmed. Every piece is a name, an empty
// one too (it names no field), so that "S1;;S3" is refused rather than read as
// "S1;S3"; only an empty list names nothing.
std::vector<std::string_view> SplitFieldList(std::string_view list) {
    std::vector<std::string_view> names;
    if (list.empty()) return names;
    while (true) {
        const auto cut = list.find(';');
        names.push_back(Trimmed(list.substr(0, cut)));
        if (cut == std::string_view::npos) break;
        list.remove_prefix(cut + 1);
    }
    return names;
}

bool SameNameIgnoringCase(std::string_view a, std::string_view b) {
    return std::equal(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
        auto lower = [](char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; };
        return lower(x) == lower(y);
    });
}

// Flags for every key field: all of them when the option is set and no list is
// given, else exactly the listed ones, which must be key fields.
std::vector<bool> KeyFlags(bool optionSet, const std::string& list, const std::vector<int>& keys,
                           const std::vector<FieldLayout>& fields) {
    std::vector<bool> flags(keys.size(), false);
    const auto names = SplitFieldList(list);
    if (optionSet && names.empty()) {
        std::fill(flags.begin(), flags.end(), true);
        return flags;
    }
    for (const auto name : names) {
        const int fieldNo = FindFieldNumber(fields, name);
        const auto at = std::find(keys.begin(), keys.end(), fieldNo);
        if (fieldNo == 0 || at == keys.end())
            throw EDatabaseError(FormatText(dbtext::IndexFieldNotKey, std::string(name)));
        for (std::size_t i = 0; i < keys.size(); ++i)
            if (keys[i] == fieldNo) flags[i] = true;
    }
    return flags;
}

}  // namespace

int FindFieldNumber(const std::vector<FieldLayout>& fields, std::string_view name) {
    for (std::size_t i = 0; i < fields.size(); ++i)
        if (SameNameIgnoringCase(fields[i].Name, name)) return static_cast<int>(i + 1);
    return 0;
}

bool IndexDescriptor::SameDefinition(const IndexDescriptor& other) const {
    return Fields == other.Fields && Descending == other.Descending && CaseInsensitive == other.CaseInsensitive &&
           Unique == other.Unique;
}

IndexDescriptor IndexDescriptor::Encode(const TIndexDef& definition, const std::vector<FieldLayout>& fields) {
    IndexDescriptor descriptor;
    descriptor.Name = definition.Name.substr(0, kMaxIndexNameLength);
    descriptor.Unique = (definition.Options & ixUnique) != 0;
    descriptor.Primary = (definition.Options & ixPrimary) != 0;
    for (const auto name : SplitFieldList(definition.Fields)) {
        if (descriptor.Fields.size() == kMaxKeyFields) break;
        const int fieldNo = FindFieldNumber(fields, name);
        if (fieldNo == 0) throw EDatabaseError(FormatText(dbtext::FieldNotFound, std::string(name)));
        descriptor.Fields.push_back(fieldNo);
        descriptor.KeyLength += fields[fieldNo - 1].ValueWidth();
    }
    descriptor.Descending =
        KeyFlags((definition.Options & ixDescending) != 0, definition.DescFields, descriptor.Fields, fields);
    descriptor.CaseInsensitive =
        KeyFlags((definition.Options & ixCaseInsensitive) != 0, definition.CaseInsFields, descriptor.Fields, fields);
    return descriptor;
}
