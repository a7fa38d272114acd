#pragma once
// Text form of BCD values ("fixed", "fixedFMT").
//
// A BCD value of n bytes: byte 0 the number of digits, byte 1 the sign (0x80)
// and the number of digits after the decimal point (bits 0-5), then the digits
// as 4-bit nibbles, high nibble first, most significant digit first.
#include "packet/PacketBuffer.h"

#include <cstddef>
#include <string>
#include <string_view>

// "-12.5": no leading zeros before the point except a single "0", no trailing
// zeros after it, "-" only for a nonzero negative value.
void AppendBcdText(PacketBuffer& out, std::string_view bcd);

// Appends the `size`-byte BCD value of `text` ("[-]digits[.digits]", leading
// blanks allowed); fraction digits that do not fit are dropped. False, with
// nothing appended, when the text holds no digits or the whole part does not fit.
bool AppendBcdFromText(std::string& out, std::string_view text, std::size_t size);
