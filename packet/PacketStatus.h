#pragma once
// Status codes of the data packet writer and reader.
//
// Every packet operation returns one of these 16-bit codes, 0 for success. The
// values are the engine's own (table/Errors.h keeps the same numbers in `dberr`),
// so a code can travel from here into EDBClient unchanged.
#include <cstdint>

namespace pkt {
inline constexpr std::uint16_t Ok = 0;
inline constexpr std::uint16_t EndOfData = 0x2202;       // no further column, parameter or row
inline constexpr std::uint16_t NoMemory = 0x2501;        // the buffer cannot grow
inline constexpr std::uint16_t BufferTooSmall = 0x2702;  // a value does not fit its type or area
inline constexpr std::uint16_t InvalidKeyType = 0x2710;  // missing or unusable "fieldtype"
inline constexpr std::uint16_t NotAllowed = 0x2A04;      // a request out of order or out of range
inline constexpr std::uint16_t NotAPacket = 0x4005;      // the block is not a readable packet
inline constexpr std::uint16_t NoTypeName = 0x4010;      // the type has no fieldtype name
inline constexpr std::uint16_t NegativeLength = 0x4011;  // a value length below zero
}  // namespace pkt
