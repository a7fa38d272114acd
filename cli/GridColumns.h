#pragma once
// The seven columns of the main window's grid, left to right: the field each
// shows, its title (UTF-8) and whether it holds numbers.
#include <array>
#include <string_view>

struct GridColumn {
    std::string_view FieldName;
    std::string_view Title;
    bool Number;
};

inline constexpr std::array<GridColumn, 7> kGridColumns{{{"S1", "Název anglicky", false},
                                                        {"S2", "Název česky", false},
                                                        {"S3", "č. CD", true},
                                                        {"S4", "Znění", false},
                                                        {"S5", "Titulky", false},
                                                        {"S6", "ks CD", true},
                                                        {"S7", "Poznámka", false}}};
