#include "import/ImportedFilms.h"

#include <algorithm>

std::string FilePlace::Text() const { return (In == Unit::Line ? "řádek " : "bajt ") + std::to_string(Number); }

void ImportedFilms::CountLeftOut(std::string_view field) {
    auto known = std::find_if(LeftOut.begin(), LeftOut.end(), [&](const LeftOutField& left) { return left.Name == field; });
    if (known == LeftOut.end()) known = LeftOut.insert(known, LeftOutField{std::string(field), 0});
    ++known->Films;
}
