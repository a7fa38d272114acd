#pragma once
// Attribute text: how bytes are escaped into an attribute value and how an
// attribute value is decoded back into bytes.
#include "packet/PacketBuffer.h"

#include <cstddef>
#include <string>
#include <string_view>

// What becomes of a single-byte string's bytes from 128 up.
enum class HighBytes {
    Reference,  // "&#232;": the byte value as a numeric reference
    Utf8,       // the byte value taken as a code point and written in UTF-8
    Raw         // the byte itself (fixed-length strings)
};

// Escapes <, >, &, apostrophe, double quote, CR, LF, tab and backslash; drops zero bytes.
void AppendEscaped(PacketBuffer& out, std::string_view bytes, HighBytes high);

// A wide string (`units` little-endian 16-bit units at `data`): units below 128 as
// single escaped bytes, others as UTF-8 (utf8) or as "&#" decimal ";" with at
// least three digits.
void AppendEscapedWide(PacketBuffer& out, const char* data, std::size_t units, bool utf8);

// True when AppendDecoded would copy `raw` unchanged.
bool IsPlainText(std::string_view raw, bool utf8);

// Decodes attribute text into Windows-1250 bytes: entities, decimal ("&#232;")
// and hex ("&#xE8;", a lowercase x only) numeric references, and (with utf8)
// UTF-8 sequences. A code point below 256
// keeps its byte value; a higher one becomes its Windows-1250 letter, or "?" when
// the code page has none.
void AppendDecoded(std::string& out, std::string_view raw, bool utf8);

// The same into little-endian UTF-16 units; raw bytes are read as Windows-1250.
void AppendDecodedWide(std::string& out, std::string_view raw, bool utf8);
