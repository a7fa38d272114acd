#include "app/core/FilmKey.h"
#include "layout/CatalogLayout.h"

#include <string>

std::optional<std::int32_t> CurrentFilmKey(TClientDataSet& table) {
    if (table.CurrentRow() < 0) return std::nullopt;
    TField& key = table.FieldNamed(kKeyField);
    if (key.IsNull()) return std::nullopt;
    return key.AsInteger();
}

bool GoToFilm(TClientDataSet& table, std::int32_t key) {
    const int keyField = table.FieldNamed(kKeyField).FieldNo();
    const std::string text = std::to_string(key);
    const int row =
        table.FirstRowWhere(0, [&](const TClientDataSet::TRowValues& film) { return film.Value(keyField) == text; });
    if (row < 0) return false;
    table.GoToRow(row);
    return true;
}
