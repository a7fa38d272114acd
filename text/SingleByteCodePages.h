#pragma once
// The other single-byte code pages that files from elsewhere arrive in, read
// into UTF-8. Windows-1250 itself is cp1250:: (Cp1250.h), the program's own text.
#include <string>
#include <string_view>

enum class SingleByteCodePage { Windows1250, Windows1252, Iso8859_2 };

// The bytes as UTF-8; a byte the code page leaves undefined becomes U+FFFD.
std::string SingleByteToUtf8(std::string_view bytes, SingleByteCodePage codePage);
