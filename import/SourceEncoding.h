#pragma once
// Which code page a film file's 8-bit text is in, for files from Czech and Western
// Windows machines that do not say (or say wrongly):
//  - the bytes 0x8D and 0x9D (ť, Ť) exist only in Windows-1250;
//  - any byte from 0x80 to 0x9F rules out ISO-8859-2, where they are controls;
//  - ě and ř (0xEC, 0xF8) mark Czech text that a declaration calls Western;
//  - without bytes from 0x80 to 0x9F, ISO-8859-2's š ž ť (0xB9 0xBE 0xBB) and
//    capitals (0xA9 0xAE 0xAB) point to it;
//  - anything undecided is Windows-1250, the code page of Czech Windows.
#include <optional>
#include <string_view>

#include "text/SingleByteCodePages.h"

// The code page of the bytes, given the one a declaration names (if any).
SingleByteCodePage GuessCodePage(std::string_view bytes, std::optional<SingleByteCodePage> declared);
