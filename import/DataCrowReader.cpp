// Data Crow's XML export: <data-crow-objects> holding <movie>s directly (Data
// Crow 3 and 4) or inside <movie-items> (Data Crow 5). A value is an element; a
// field of several values comes twice, structured and as a comma-joined copy
// ("...-list"), of which only the copy is read.
#include "import/LanguageCodes.h"
#include "import/XmlFilmReaders.h"

namespace {

void MapMovie(FilmBuilder& film, const pugi::xml_node& movie) {
    for (const pugi::xml_node field : movie.children()) {
        if (field.type() != pugi::node_element) continue;
        const std::string_view name = field.name();
        const std::string value = AllText(field);
        if (name == "title") {
            film.OriginalTitle(value);
        } else if (name == "title-local") {
            film.LocalTitle(value);
        } else if (name == "container") {
            film.DiscLabel(value, "Kontejner");
        } else if (name == "audio-languages-list" || name == "audio-languages-items-list") {
            film.AudioLanguages(SplitNameList(value));
        } else if (name == "subtitle-languages-list" || name == "subtitle-languages-items-list") {
            film.Subtitles(SplitNameList(value));
        } else if (name == "comment") {
            film.Comments(value);
        } else if (name != "id" && !ChildNamed(movie, std::string(name) + "-list")) {
            film.LeftOut(name, value);
        }
    }
}

}  // namespace

ImportedFilms ReadDataCrow(XmlSource& source) {
    ImportedFilms films{"Data Crow", {}, {}, {}};
    FilmBuilder film(films);
    std::string otherItems;
    const auto readItems = [&](const pugi::xml_node& parent) {
        for (const pugi::xml_node item : parent.children()) {
            if (item.type() != pugi::node_element) continue;
            const std::string_view name = item.name();
            if (name != "movie") {
                if (otherItems.empty() && name != "movie-items") otherItems = name.substr(0, name.rfind("-items"));
                continue;
            }
            film.Begin(source.PlaceOf(item));
            MapMovie(film, item);
            film.End();
        }
    };
    readItems(source.Root());
    if (const pugi::xml_node wrapped = ChildNamed(source.Root(), "movie-items")) readItems(wrapped);
    if (films.Films.empty() && !otherItems.empty()) {
        throw ImportError(source.PlaceOf(source.Root()), "export Data Crow obsahuje položky \"" + otherItems + "\", ne filmy");
    }
    return films;
}
