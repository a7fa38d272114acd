#include "app/core/FilmBoxes.h"

#include "app/core/StrictInt.h"
#include "text/Cp1250.h"

FilmBoxes FilmBoxes::FreshAdd() {
    FilmBoxes boxes;
    for (std::size_t box = 0; box < kFilmLayout.size(); ++box) boxes.Box[box] = cp1250::FromUtf8(kFilmLayout[box].AddValue);
    return boxes;
}

void FilmBoxes::Edit1Exit() {
    std::optional<std::string>& czech = Box[kCzechTitle];
    if (czech && czech->empty() && Box[kEnglishTitle]) czech = Box[kEnglishTitle];
}

NotAnInteger::NotAnInteger(std::string fieldName, std::string text)
    : std::runtime_error(fieldName + " is not an integer"), FieldName(std::move(fieldName)), Text(std::move(text)) {}

std::optional<std::int32_t> BoxNumber(std::string_view text) { return StrictStrToInt(text.empty() ? "0" : text); }

void StoreBoxes(TClientDataSet& table, const FilmBoxes& boxes) {
    for (std::size_t box = 0; box < boxes.Box.size(); ++box) {
        if (!boxes.Box[box]) continue;
        const std::string& text = *boxes.Box[box];
        const FilmFieldLayout& layout = kFilmLayout[box];
        TField& field = table.FieldNamed(layout.Name);
        if (layout.Number) {
            const auto value = BoxNumber(text);
            if (!value) throw NotAnInteger(std::string(layout.Name), text);
            field.SetAsInteger(*value);
        } else {
            field.SetAsString(text);
        }
    }
}
