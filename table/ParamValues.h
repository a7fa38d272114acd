#pragma once
// Parameter values as the packet layer lays them out: fixed values
// little-endian, a varying value behind its length prefix, an array behind its
// 32-bit element count. Decoding never reads outside the given bytes.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "packet/PacketTypes.h"

namespace paramvalue {

// A signed or unsigned integer of 1, 2, 4 or 8 bytes.
std::optional<std::int64_t> Integer(ColumnType type, std::string_view value);
// A single-byte string.
std::optional<std::string_view> Text(ColumnType type, std::string_view value);
// An array of integers of 1, 2 or 4 bytes each.
std::optional<std::vector<std::uint32_t>> IntegerArray(ColumnType type, std::string_view value);

std::string Int16(std::int16_t number);
std::string Int32(std::int32_t number);
// A text with a 1-byte length prefix (coltype::String1).
std::string ShortText(std::string_view text);
// 16-bit elements behind a 32-bit count (type kUInt16ArrayType).
std::string UInt16Array(const std::vector<std::uint16_t>& numbers);
// The type word of an array of unsigned 16-bit numbers.
inline constexpr ColumnType kUInt16ArrayType = coltype::Array | (coltype::cUnsigned << 16) | 2;

}  // namespace paramvalue
