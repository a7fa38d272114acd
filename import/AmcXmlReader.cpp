// Ant Movie Catalog's XML: every value of a film is an attribute of its <Movie>
// (an empty value is left out), under AntMovieCatalog/Catalog/Contents; a line
// break in a value is written as "|". Custom fields and extras (4.x) are child
// elements of the <Movie>.
#include <algorithm>

#include "import/AmcMovie.h"
#include "import/XmlFilmReaders.h"

ImportedFilms ReadAmcXml(XmlSource& source) {
    ImportedFilms films{"Ant Movie Catalog (XML)", {}, {}, {}};
    FilmBuilder film(films);
    std::vector<AmcValue> values;
    const pugi::xml_node contents = ChildNamed(ChildNamed(source.Root(), "Catalog"), "Contents");
    for (const pugi::xml_node movie : contents.children("Movie")) {
        values.clear();
        for (const pugi::xml_attribute attribute : movie.attributes()) {
            std::string value = attribute.value();
            if (std::string_view(attribute.name()) == "Comments") std::replace(value.begin(), value.end(), '|', ' ');
            values.push_back({attribute.name(), std::move(value)});
        }
        for (const pugi::xml_attribute custom : ChildNamed(movie, "CustomFields").attributes()) {
            values.push_back({custom.name(), custom.value()});
        }
        if (ChildNamed(movie, "Extras").first_child()) values.push_back({"Extras", "1"});
        film.Begin(source.PlaceOf(movie));
        MapAmcMovie(film, values);
        film.End();
    }
    return films;
}
