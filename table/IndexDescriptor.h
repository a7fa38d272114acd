#pragma once
// IndexDescriptor: the fixed description of an index that the engine works from,
// encoded from an index definition (a TIndexDef or the arguments of BuildIndex).
//
// Invariants: Name has at most 31 characters; Fields holds 0 to 16 distinct or
// repeated 1-based field numbers in key order; Descending and CaseInsensitive have
// one flag per key field.
#include <string>
#include <string_view>
#include <vector>

#include "table/Definitions.h"
#include "table/FieldLayout.h"

inline constexpr const char* kDefaultOrderName = "DEFAULT_ORDER";
inline constexpr std::size_t kMaxIndexNameLength = 31;
inline constexpr std::size_t kMaxKeyFields = 16;

struct IndexDescriptor {
    std::string Name;
    std::vector<int> Fields;
    std::vector<bool> Descending;
    std::vector<bool> CaseInsensitive;
    bool Unique = false;
    bool Primary = false;  // remembered for the default order; not part of the definition's identity
    int KeyLength = 0;  // sum of the key fields' value widths

    // Same keys, flags and uniqueness; the name is not compared.
    bool SameDefinition(const IndexDescriptor& other) const;

    // Encodes a definition against the table's fields. Raises EDatabaseError with
    // "Field '%s' not found" or "Cannot access index field '%s'".
    static IndexDescriptor Encode(const TIndexDef& definition, const std::vector<FieldLayout>& fields);
};

// The index of a field by name (case-insensitive, as field lookup is everywhere
// in the table): 1-based, 0 when there is none.
int FindFieldNumber(const std::vector<FieldLayout>& fields, std::string_view name);
