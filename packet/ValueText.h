#pragma once
// The text forms of values in the XML packet, both ways.
#include "packet/PacketBuffer.h"
#include "packet/PacketStatus.h"
#include "packet/PacketTypes.h"

#include <cstdint>
#include <string>
#include <string_view>

// Appends the text of one value given in row layout (see ValueLayout.h); the
// value must be complete for its type. Returns 0, or pkt::NoTypeName for a type
// that has no text form.
pkt::Status AppendValueText(PacketBuffer& out, ColumnType type, std::string_view value, bool utf8);

// Appends, in row layout, the value that the raw attribute text stands for.
// Returns false, appending nothing, when the text reads as null (a number
// without a digit before any letter, a boolean not starting with T or F, a date
// or time that does not parse).
bool AppendValueFromText(std::string& out, ColumnType type, std::string_view raw, bool utf8);

// The reading rule for integers: valid when a decimal digit comes before any
// letter; the value is then what a decimal conversion reads from the start
// (blanks, a sign, digits; 0 when no digit follows), clamped to 64 bits.
bool ReadIntegerText(std::string_view raw, std::int64_t& value);

// One to nine decimal digits and nothing else, so that the value always fits
// 32 bits. Inline: keys and disc numbers are read with it, a value at a time.
inline bool ReadPlainDigits(std::string_view text, std::int64_t& value) {
    if (text.empty() || text.size() > 9) return false;
    value = 0;
    for (const char c : text) {
        if (c < '0' || c > '9') return false;
        value = value * 10 + (c - '0');
    }
    return true;
}
