#pragma once
// How the record store keeps one field: its definition plus what a data packet
// may attach to it (subtype, attribute bits, scale, parameters it could not use).
#include <cstdint>
#include <string>
#include <vector>

#include "packet/PacketTypes.h"
#include "table/Definitions.h"

// A parameter read from a packet that the table does not consume; it travels with
// the table and is written back unchanged, type word included.
struct StoredParam {
    std::string Name;
    std::uint32_t Type = 0;
    std::string Value;  // value bytes as the packet layer hands them over
};

// Field subtype codes the engine knows by number.
namespace subtype {
inline constexpr int AutoInc = 29;
inline constexpr int Unknown = 255;
}  // namespace subtype

// The widest text field a packet can declare: "WIDTH" is a signed 16-bit
// parameter in both forms, so a wider field would not load back as saved.
inline constexpr int kMaxTextSize = 32767;
// The width a text field that takes its width from its values has at least.
inline constexpr int kDefaultTextWidth = 255;

struct FieldLayout {
    std::string Name;
    TFieldType DataType = ftUnknown;
    int Size = 0;  // bytes of text for ftString, 0 for the integer types
    int Subtype = 0;
    std::uint16_t Attributes = 0;  // ColumnAttribute bits
    int Scale = 0;
    bool Calculated = false;
    // A text field whose packet gave it no usable "WIDTH": a load widens it to
    // its longest value, and a save writes the width that the values it writes
    // need, so that a value shortened or removed since no longer counts.
    bool WidthFromValues = false;
    // A field whose values the load left out (TClientDataSet::LoadOnly): all
    // null in the store, so reading them, ordering by them or saving them is
    // refused rather than given wrong.
    bool Unread = false;
    std::vector<StoredParam> Params;

    bool IsText() const { return DataType == ftString; }
    bool IsRequired() const { return (Attributes & caRequired) != 0; }
    // Bytes one value takes in the store: a text and its terminating zero, or 4.
    int ValueWidth() const { return IsText() ? Size + 1 : 4; }
};
