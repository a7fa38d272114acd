#pragma once
// TIndexOrder: the order in which a built index holds its records, told by an
// integer field that names each record (a film's key), so that another table
// holding the same records, or nearly, can build its index of the same
// definition by checking that order instead of sorting (table/OfferedOrder.h).
#include <cstdint>
#include <string>
#include <vector>

#include "memory/LargeBlocks.h"

struct TIndexOrder {
    std::string IndexName;
    std::string KeyField;
    // The index's key fields by name, each with its flags.
    std::vector<std::string> Fields;
    std::vector<bool> Descending, CaseInsensitive;
    // KeyField's value of each record in the index's order; a null names none.
    memory::Vector<std::int32_t> Keys;
};
