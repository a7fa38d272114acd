#pragma once
// The catalogue's fields after its auto-increment key K, written out once for the
// tests of every layer: the table definition, the packet and the file's bytes.
#include <string>

namespace catalog_layout {

struct FilmField {
    const char* Name;
    int Width;  // characters of a text; 0 for a 32-bit integer
    bool IsText() const { return Width > 0; }
};

inline constexpr FilmField kFilmFields[] = {
    {"S1", 50}, {"S2", 50}, {"S3", 0}, {"S4", 2}, {"S5", 11}, {"S6", 0}, {"S7", 100},
};

}  // namespace catalog_layout
