#pragma once
// The byte layout of one value of a ColumnType, and the checks that keep every
// read of a value inside the bytes it was given.
//
// Parameter layout (AddParam, NextParam, binary packets): a fixed value is its
// size in bytes; a varying value is a length prefix of 1, 2 or 4 bytes and the
// bytes it counts; an array is a 32-bit element count and the elements.
// Row layout (PutValue, NextRow) is the same except that a varying value has no
// prefix: its length travels beside it.
#include "packet/ByteOrder.h"
#include "packet/PacketTypes.h"

#include <cstddef>
#include <string>
#include <string_view>

namespace valuelayout {

// A type whose values this layer can lay out: not composite or embedded, a
// varying value's prefix is 1, 2 or 4 bytes, an array element has a size.
bool IsSupported(ColumnType type);

// The front of `bytes` that holds one complete value in parameter layout:
// `whole` with the prefix, `payload` without it (row layout). False when the
// bytes end before the value does.
bool TakeParamValue(ColumnType type, std::string_view bytes, std::string_view& whole,
                    std::string_view& payload);

// The front of `bytes` that holds one complete value in row layout. A varying
// value takes all of them.
bool TakeRowValue(ColumnType type, std::string_view bytes, std::string_view& value);

// Whether a varying value of `length` bytes fits the type's length prefix.
bool FitsPrefix(ColumnType type, std::size_t length);

// Appends a row-layout value in parameter layout (with its length prefix); Out
// is std::string or PacketBuffer.
template <class Out>
void AppendParamValue(Out& out, ColumnType type, std::string_view payload) {
    if (coltype::IsVarying(type)) byteorder::AppendSized(out, payload.size(), coltype::Size(type));
    out.append(payload.data(), payload.size());
}

}  // namespace valuelayout
