#pragma once
// The vocabulary shared by the packet writer, the packet reader and the table
// engine that feeds them: column type words, column descriptors, row statuses,
// the parameter names written as attributes, subtype names and the XML flags.
#include <cstdint>
#include <optional>
#include <string_view>

#include "packet/PacketStatus.h"

// A 32-bit word describing a column or a parameter value:
//   bits 0-15  size of a fixed value; for a varying value the size of its length
//              prefix (1, 2 or 4); for an array the size of one element
//   bits 16-21 type code (coltype::Code)
//   0x400000   varying length, 0x800000 array, 0x01000000 composite,
//   0x04000000 embedded table, 0x80000000 "Roundtrip" (parameters only).
using ColumnType = std::uint32_t;

namespace coltype {
inline constexpr ColumnType SizeMask = 0xFFFF;
inline constexpr ColumnType Varying = 0x400000;
inline constexpr ColumnType Array = 0x800000;
inline constexpr ColumnType Composite = 0x01000000;
inline constexpr ColumnType Embedded = 0x04000000;
inline constexpr ColumnType Roundtrip = 0x80000000;

// Type codes (bits 16-21).
enum Code : unsigned {
    cInteger = 1, cUnsigned = 2, cBoolean = 3, cFloat = 4, cBcd = 5, cDate = 6, cTime = 7,
    cDateTime = 8, cString = 9, cWideString = 10, cBytes = 11, cStruct = 12, cArrayColumn = 13,
    cNested = 14, cReference = 15, cSqlTimeStamp = 17, cBcdFormatted = 18
};
inline constexpr unsigned MaxCode = 18;

// Common type words.
inline constexpr ColumnType Int8 = 0x10001, Int16 = 0x10002, Int32 = 0x10004, Int64 = 0x10008;
inline constexpr ColumnType UInt8 = 0x20001, UInt16 = 0x20002, UInt32 = 0x20004, UInt64 = 0x20008;
inline constexpr ColumnType Boolean16 = 0x30002, Float64 = 0x40008, Float80 = 0x4000A;
inline constexpr ColumnType Date = 0x60004, Time = 0x70004, DateTime = 0x80008;
inline constexpr ColumnType SqlTimeStamp = 0x110010;
inline constexpr ColumnType String1 = 0x490001, String2 = 0x490002, String4 = 0x490004;
inline constexpr ColumnType WideString1 = 0x4A0001;
inline constexpr ColumnType Bytes1 = 0x4B0001, Blob = 0x4B0004;
inline constexpr ColumnType IntArray = 0x810004, UIntArray = 0x820004;

constexpr unsigned TypeCode(ColumnType t) { return (t >> 16) & 0x3F; }
constexpr unsigned Size(ColumnType t) { return t & SizeMask; }
constexpr bool IsVarying(ColumnType t) { return (t & Varying) != 0; }
constexpr bool IsArray(ColumnType t) { return (t & Array) != 0; }
// The type word without the "Roundtrip" mark.
constexpr ColumnType Plain(ColumnType t) { return t & ~Roundtrip; }
}  // namespace coltype

// What AddColumn takes and NextColumn hands back. Invariant: Name holds at most
// 31 characters and is zero-terminated.
struct ColumnDesc {
    char Name[32] = {};
    ColumnType Type = 0;
    std::uint16_t Attributes = 0;  // ColumnAttribute bits

    std::string_view NameView() const;
    // False (and Name unchanged) when the name has more than 31 characters.
    bool SetName(std::string_view name);
};

enum ColumnAttribute : std::uint16_t { caHidden = 1, caReadOnly = 2, caRequired = 4, caLink = 8 };

// One per record, kept by the engine. Bits combine.
enum RowStatus : std::uint8_t {
    rsUnchanged = 0, rsOriginal = 1, rsDeleted = 2, rsInserted = 4, rsModified = 8, rsFree = 0x20
};

// XmlFlags bits, set on the writer before the packet is begun.
namespace xmlflag {
inline constexpr std::uint32_t Xml = 1;
inline constexpr std::uint32_t TypedValues = 2;
inline constexpr std::uint32_t Metadata = 4;
inline constexpr std::uint32_t Utf8 = 8;
}  // namespace xmlflag

// SaveFormat 0 (binary) -> 0, 1 (XML) -> 5, 2 (XML in UTF-8) -> 13; any other -> 0.
std::uint32_t XmlFlagsForSaveFormat(int saveFormat);

// The parameter names written as attributes, compared case-insensitively, with
// the type their value is read back as. Nothing for any other name.
std::optional<ColumnType> KnownParamType(std::string_view name);

// Subtype names and codes ("Autoinc" 29, "Text" 22, ...); names compare
// case-insensitively.
std::optional<int> SubtypeCode(std::string_view name);
std::optional<std::string_view> SubtypeName(int code);

// The fieldtype name written for a type: 0 and the name, pkt::NoTypeName when the
// type has none, pkt::NotAllowed for a type code above 18.
pkt::Status FieldTypeName(ColumnType type, std::string_view& name);

// The type word a fieldtype name reads back as (case-insensitive), 0 when the
// name is not recognised.
ColumnType ColumnTypeFromName(std::string_view name);
