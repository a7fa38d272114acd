#pragma once
// Ant Movie Catalog's binary catalogue (".amc"), versions 3.1 to 4.2.
//
// After a 65-byte header naming the version come the owner's block, in 4.x the
// custom fields' definitions, and then the films, one after another up to the
// end of the file, with no count and no fixed size. Numbers are 32-bit little
// endian, texts a length and that many bytes in the Windows code page of the
// machine that saved them (Windows-1250 or Windows-1252, told apart by the
// bytes). A length is checked against the rest of the file and against a cap
// (1 MiB for a text, 16 MiB for a picture) before anything is taken.
#include <string_view>

#include "import/ImportedFilms.h"

// Whether the bytes begin as an Ant Movie Catalog file of any version.
bool IsAmcBinary(std::string_view bytes);

// The films; ImportError at the first byte that cannot be read, or for the
// versions before 3.1, whose layout differs.
ImportedFilms ReadAmcBinary(std::string_view bytes);
