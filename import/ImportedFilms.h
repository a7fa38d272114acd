#pragma once
// What a reader of a film file hands back: the films in Kinovka's layout, the
// notes made on the way and what the file held that has no place in Kinovka.
// Readers store nothing; the catalogue core adds the films as one change.
#include <array>
#include <cstddef>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "layout/CatalogLayout.h"

// Where in the file something is: a line of a text file, or a byte offset of a
// binary one.
struct FilePlace {
    enum class Unit { Line, Byte };
    Unit In = Unit::Line;
    std::size_t Number = 0;

    // "řádek 4", "bajt 1200" (UTF-8).
    std::string Text() const;
};

struct ImportedFilm {
    // S1 to S7 as Windows-1250 text, the numbers S3 and S6 as they are to be
    // converted; nothing leaves the field null.
    std::array<std::optional<std::string>, kFilmLayout.size()> Fields;
    FilePlace Place;  // where the film begins
};

struct ImportNote {
    FilePlace Place;
    std::string Text;  // UTF-8
};

// A source field with no place in Kinovka, and how many films carried a value in it.
struct LeftOutField {
    std::string Name;  // as the source names it, UTF-8
    std::size_t Films = 0;
};

struct ImportedFilms {
    std::string FormatName;  // "Ant Movie Catalog", "CSV", ... (UTF-8)
    std::vector<ImportedFilm> Films;
    std::vector<ImportNote> Warnings;
    std::vector<LeftOutField> LeftOut;  // in the order first met

    // One more film with a value in that field; once per film.
    void CountLeftOut(std::string_view field);
};

// A file that cannot be read as a whole. The reason is Czech (UTF-8); the place is
// where reading stopped.
class ImportError : public std::runtime_error {
public:
    ImportError(FilePlace place, const std::string& reason) : std::runtime_error(reason), Place(place) {}
    FilePlace Place;
};
