// Griffith's XML export: <root> of <movie>s, each with one child element per
// database column and no attributes; values are padded with a line break and
// tabs, which trimming removes.
#include "import/XmlFilmReaders.h"

ImportedFilms ReadGriffith(XmlSource& source) {
    ImportedFilms films{"Griffith", {}, {}, {}};
    FilmBuilder film(films);
    for (const pugi::xml_node movie : source.Root().children("movie")) {
        film.Begin(source.PlaceOf(movie));
        for (const pugi::xml_node column : movie.children()) {
            if (column.type() != pugi::node_element) continue;
            const std::string_view name = column.name();
            const std::string value = AllText(column);
            if (name == "o_title") {
                film.OriginalTitle(value);
            } else if (name == "title") {
                film.LocalTitle(value);
            } else if (name == "volumes_name") {
                film.DiscLabel(value, "Svazek");
            } else if (name == "media_num") {
                film.DiscCount(value);
            } else if (name == "notes") {
                film.Comments(value);
            } else if (name != "number" && name != "poster_md5") {
                film.LeftOut(name, value);
            }
        }
        film.End();
    }
    return films;
}
