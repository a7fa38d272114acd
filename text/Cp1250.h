#pragma once
// The one place where the program's Windows-1250 text meets Unicode.
//
// Inside the engine and the catalogue core every string is Windows-1250 bytes,
// exactly as stored. Conversions happen only at the edges (widgets, terminal,
// UTF-8 files) and go through these functions. The five bytes that the code page
// leaves undefined (0x81, 0x83, 0x88, 0x90, 0x98) map to the C1 control of the
// same value, so every byte string survives a round trip through Unicode.
#include <optional>
#include <string>
#include <string_view>

namespace cp1250 {

// The Unicode code point of one Windows-1250 byte.
char32_t ToUnicode(unsigned char byte);

// The Windows-1250 byte of a code point, or nothing when the code page lacks it.
std::optional<unsigned char> FromUnicode(char32_t codePoint);

// Windows-1250 bytes as UTF-16, one unit per byte, written to out, which has
// room for text.size() units.
void Widen(std::string_view text, char16_t* out);

// Windows-1250 bytes as UTF-8.
std::string ToUtf8(std::string_view bytes);

// UTF-8 as Windows-1250 bytes. A character the code page cannot hold, and every
// malformed UTF-8 sequence, becomes "?".
std::string FromUtf8(std::string_view utf8);

// True when the bytes are well-formed UTF-8 throughout.
bool IsValidUtf8(std::string_view bytes);

// True when FromUtf8 would have to write "?" for something other than a "?".
bool LosesCharacters(std::string_view utf8);

// Upper-casing by the platform's letter tables: a letter becomes its capital
// whenever Windows-1250 has that capital; everything else stays as it is.
unsigned char ToUpper(unsigned char byte);
std::string ToUpper(std::string_view bytes);

}  // namespace cp1250
