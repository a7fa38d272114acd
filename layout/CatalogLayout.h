#pragma once
// The catalogue's layout, stated once: the key field K, the seven film fields S1
// to S7 (name, kind, size, Czech title, the grid column's width, the add form's
// value), the two indexes and the first sort order. The table definition, the
// grid, the edit dialog, the command-line tool, CSV, the web page and the
// importers read them from here rather than spelling fields out.
//
// It depends on nothing, so that every layer from the importers up can read it.
// Titles and add values are UTF-8.
#include <array>
#include <cstddef>
#include <optional>
#include <string_view>

struct FilmFieldLayout {
    std::string_view Name;      // "S1" ... "S7"
    std::string_view Title;     // the grid column's title, also a CSV column's name
    bool Number;                // a 32-bit integer; otherwise a text of Size characters
    int Width;                  // the grid column's width in pixels at the window's font (0: the grid's default)
    int Size;                   // characters: a text field's width, or a number's widest text (from which a default column width is made)
    std::string_view AddValue;  // what the add form starts with
    std::string_view SortOrder; // the sort menu's field list that orders by this field first
};

// The film fields in the table's order, which is also the grid's order, left to right.
inline constexpr std::array<FilmFieldLayout, 7> kFilmLayout{{
    {"S1", "Název anglicky", false, 240, 50, "", "S1;S2;S3"},
    {"S2", "Název česky", false, 240, 50, "", "S2;S1;S3"},
    {"S3", "č. CD", true, 32, 11, "", "S3;S1;S2"},
    {"S4", "Znění", false, 0, 2, "EN", "S4;S5;S1;S2;S3"},
    {"S5", "Titulky", false, 40, 11, "CZ", "S5;S4;S1;S2;S3"},
    {"S6", "ks CD", true, 32, 11, "1", "S6;S3;S1;S2"},
    {"S7", "Poznámka", false, 0, 100, "", "S7;S1;S2;S3"},
}};

// Positions in kFilmLayout by what the field holds.
inline constexpr std::size_t kEnglishTitle = 0, kCzechTitle = 1, kCdNumber = 2, kLanguage = 3, kSubtitles = 4,
                             kDiscCount = 5, kNote = 6;

// The record key: an auto-increment integer the table assigns, the first field
// of the record, shown nowhere.
inline constexpr std::string_view kKeyField = "K";

// The index over the key (primary, unique) and the index of the display order.
inline constexpr std::string_view kKeyIndex = "x";
inline constexpr std::string_view kSortIndex = "k";

// The field list the catalogue is sorted by at start: English title, Czech title, CD.
inline constexpr std::string_view kDefaultSortFields = kFilmLayout[kEnglishTitle].SortOrder;

// The name of the film field at position f of kFilmLayout.
constexpr std::string_view FilmFieldName(std::size_t f) { return kFilmLayout[f].Name; }

// The position in kFilmLayout of the film field named name, exactly as spelled.
std::optional<std::size_t> FilmFieldNamed(std::string_view name);

// True for K and for each of the film fields.
bool IsCatalogField(std::string_view name);
