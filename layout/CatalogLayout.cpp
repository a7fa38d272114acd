#include "layout/CatalogLayout.h"

std::optional<std::size_t> FilmFieldNamed(std::string_view name) {
    for (std::size_t f = 0; f < kFilmLayout.size(); ++f) {
        if (kFilmLayout[f].Name == name) return f;
    }
    return std::nullopt;
}

bool IsCatalogField(std::string_view name) { return name == kKeyField || FilmFieldNamed(name).has_value(); }
