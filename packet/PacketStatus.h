#pragma once
// Status codes of the packet reader and writer and of the table engine.
//
// Every packet and engine operation returns one of these 16-bit codes, 0 for
// success; the table object turns a nonzero one into EDBClient unchanged. The
// numbers are shown to users ("0x2603") and never change.
#include <cstdint>
#include <string_view>
#include <type_traits>

// One line per code: its name, its number and what it means.
#define KINOVKA_STATUS_CODES(X)                                                                        \
    X(Ok, 0x0000, "success")                                                                           \
    X(BOF, 0x2201, "before the first record")                                                          \
    X(EndOfData, 0x2202, "after the last record; no further column, parameter or row")                 \
    X(RecordLeftIndex, 0x2204, "the current record has left the active index")                        \
    X(NoMemory, 0x2501, "memory for the store, an index or a buffer was not available")               \
    X(KeyViolation, 0x2601, "a unique index already holds an equal key")                              \
    X(KeysExhausted, 0x2603, "the auto-increment counter passed 2 147 483 647")                       \
    X(RequiredField, 0x2604, "a required field has no value")                                         \
    X(BufferTooSmall, 0x2702, "a value does not fit its type or area")                                \
    X(NoSuchIndex, 0x270D, "no index of that name")                                                   \
    X(InvalidKeyType, 0x2710, "a field of a type that cannot be a key, or a missing or unusable type") \
    X(IndexExists, 0x2719, "an index of that name exists with another definition")                    \
    X(DefaultOrderRedefined, 0x2733, "the default order cannot be redefined")                         \
    X(NotAllowed, 0x2A04, "a request refused, out of order or out of range")                          \
    X(NotAPacket, 0x4005, "the block is not a readable packet")                                       \
    X(NoTypeName, 0x4010, "the type has no fieldtype name")                                           \
    X(NegativeLength, 0x4011, "a value length below zero")

namespace pkt {

// What an operation returned: Ok or another code of the table. It reads as its
// number wherever a number is wanted, but is made only from the table's names
// (or explicitly, pkt::Status(code), from a code read elsewhere), and a call
// that drops it is a compile warning: a caller that may go on whatever came
// back says so with Ignore() and a comment why.
enum [[nodiscard]] Status : std::uint16_t {
#define KINOVKA_STATUS_ENUMERATOR(name, number, text) name = number,
    KINOVKA_STATUS_CODES(KINOVKA_STATUS_ENUMERATOR)
#undef KINOVKA_STATUS_ENUMERATOR
};

// Drops a status whose every value the caller may go on with.
constexpr void Ignore(Status) {}

// The name of a code ("KeyViolation"), "" for a number not in the table.
constexpr std::string_view StatusName(std::uint16_t code) {
    switch (code) {
#define KINOVKA_STATUS_NAME(name, number, text) \
    case number: return #name;
        KINOVKA_STATUS_CODES(KINOVKA_STATUS_NAME)
#undef KINOVKA_STATUS_NAME
    }
    return {};
}

// What a code means, "" for a number not in the table.
constexpr std::string_view StatusText(std::uint16_t code) {
    switch (code) {
#define KINOVKA_STATUS_TEXT(name, number, text) \
    case number: return text;
        KINOVKA_STATUS_CODES(KINOVKA_STATUS_TEXT)
#undef KINOVKA_STATUS_TEXT
    }
    return {};
}

static_assert(sizeof(Status) == sizeof(std::uint16_t));

}  // namespace pkt
