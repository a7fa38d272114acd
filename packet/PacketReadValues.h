#pragma once
// What the packet reader hands out besides columns: a parameter, and a row's
// value as a view. Stated below the reader so that its decoding half (the
// packet sources) can name them; TDATAPACKET_READ gives them its own names,
// TDATAPACKET_READ::Param and TDATAPACKET_READ::ValueView.
#include "packet/PacketTypes.h"

#include <string>
#include <string_view>

// Value in the byte layout AddParam takes (length prefix or element count
// included), so that it can be stored and written back unchanged. Null is set
// when the text of a fixed-size value does not read in its type. For a PARAM
// element, whose type is named, Value then holds zeros of the type's size.
// For an attribute, whose type comes from its name alone, Type and Value then
// hold its text as a single-byte string, so that it can be written back as
// it was read.
struct PacketParam {
    std::string Name;
    ColumnType Type = 0;
    std::string Value;
    bool Null = false;
};

// One value of a row in PutValue's layout (see TDATAPACKET_READ::Value),
// without a copy: the view points into the block or into the reader's scratch
// space and stays valid until the next call to NextRow.
struct PacketValueView {
    bool Null = true;
    std::string_view Bytes;
};
