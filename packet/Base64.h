#pragma once
// Base64 with the standard alphabet and "=" fill, without line breaks: the text
// form of "bin.hex" values.
#include "packet/PacketBuffer.h"

#include <string>
#include <string_view>

void AppendBase64(PacketBuffer& out, std::string_view bytes);
// Decodes up to the first "=" or the end; bytes outside the alphabet (line breaks,
// blanks) are passed over.
void AppendBase64Decoded(std::string& out, std::string_view text);
