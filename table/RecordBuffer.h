#pragma once
// The values of one record outside the store: what the table object edits and
// what a load hands to the store. Field i of the record is element i - 1.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

struct FieldValue {
    bool Null = true;
    std::int32_t Integer = 0;  // integer fields
    std::string Text;          // text fields; never holds a zero byte
    bool operator==(const FieldValue&) const = default;
};

using RecordBuffer = std::vector<FieldValue>;

// A value handed to the store without a copy of its text: what a load reads.
struct FieldView {
    bool Null = true;
    std::int32_t Integer = 0;
    std::string_view Text;
};
