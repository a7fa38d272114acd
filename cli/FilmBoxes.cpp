#include "cli/FilmBoxes.h"

#include "app/core/StrictInt.h"

namespace {

bool IsNumberBox(std::size_t box) { return box == 2 || box == 5; }

}  // namespace

FilmBoxes FilmBoxes::FreshAdd() {
    FilmBoxes boxes;
    boxes.Box = {"", "", "", "EN", "CZ", "1", ""};
    return boxes;
}

void FilmBoxes::Edit1Exit() {
    if (Box[1] && Box[1]->empty() && Box[0]) Box[1] = Box[0];
}

std::string_view BoxFieldName(std::size_t box) {
    static constexpr std::string_view names[] = {"S1", "S2", "S3", "S4", "S5", "S6", "S7"};
    return names[box];
}

NotAnInteger::NotAnInteger(std::string fieldName, std::string text)
    : std::runtime_error(fieldName + " is not an integer"), FieldName(std::move(fieldName)), Text(std::move(text)) {}

void StoreBoxes(TClientDataSet& table, const FilmBoxes& boxes) {
    for (std::size_t box = 0; box < boxes.Box.size(); ++box) {
        if (!boxes.Box[box]) continue;
        const std::string& text = *boxes.Box[box];
        TField& field = table.FieldNamed(BoxFieldName(box));
        if (IsNumberBox(box)) {
            const auto value = StrictStrToInt(text.empty() ? std::string_view("0") : std::string_view(text));
            if (!value) throw NotAnInteger(std::string(BoxFieldName(box)), text);
            field.SetAsInteger(*value);
        } else {
            field.SetAsString(text);
        }
    }
}
