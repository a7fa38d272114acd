#pragma once
// The seven columns of the main window's grid, left to right: the field each
// shows, its title (UTF-8), whether it holds numbers, its width in pixels at the
// window's specified font (0: the grid's default width) and the field's size in
// characters (from which the default width is made). The grid, the CSV import's
// column titles and the web page all read them from here.
#include <array>
#include <string_view>

struct GridColumn {
    std::string_view FieldName;
    std::string_view Title;
    bool Number;
    int Width;
    int FieldSize;
};

inline constexpr std::array<GridColumn, 7> kGridColumns{{{"S1", "Název anglicky", false, 240, 50},
                                                        {"S2", "Název česky", false, 240, 50},
                                                        {"S3", "č. CD", true, 32, 11},
                                                        {"S4", "Znění", false, 0, 2},
                                                        {"S5", "Titulky", false, 40, 11},
                                                        {"S6", "ks CD", true, 32, 11},
                                                        {"S7", "Poznámka", false, 0, 100}}};
