// GCstar's collection file: one <item> per film under <collection type="GCfilms">.
// A simple field is an attribute (or, before GCstar 1.2, a child element of the
// same name); a list is a child element of <line> rows of <col> cells, or in old
// files a flat attribute split on ",". "number" is the count of discs, not a
// catalogue number.
#include <algorithm>
#include <array>

#include "import/LanguageCodes.h"
#include "import/XmlFilmReaders.h"

namespace {

constexpr std::array<std::string_view, 9> kMapped{"title", "original", "number", "identifier", "place",
                                                  "audio", "subt",     "comment", "id"};

// A field's value: the attribute, else the child element's text.
std::string Field(const pugi::xml_node& item, std::string_view name) {
    if (const pugi::xml_attribute attribute = item.attribute(std::string(name).c_str())) return attribute.value();
    return ChildNamed(item, name).child_value();
}

// A list's first column, row by row, or the flat attribute's parts.
std::vector<std::string> ListField(const pugi::xml_node& item, std::string_view name) {
    const pugi::xml_node list = ChildNamed(item, name);
    if (!list.child("line")) return SplitNameList(Field(item, name));
    std::vector<std::string> values;
    for (const pugi::xml_node line : list.children("line")) {
        const std::string value = CollapsedBlanks(line.child("col").child_value());
        if (!value.empty()) values.push_back(value);
    }
    return values;
}

bool IsMapped(std::string_view name) { return std::find(kMapped.begin(), kMapped.end(), name) != kMapped.end(); }

}  // namespace

ImportedFilms ReadGcstar(XmlSource& source) {
    const std::string type = source.Root().attribute("type").value();
    if (type != "GCfilms") {
        throw ImportError(source.PlaceOf(source.Root()), "sbírka GCstar typu \"" + type + "\" není sbírka filmů");
    }
    ImportedFilms films{"GCstar", {}, {}, {}};
    FilmBuilder film(films);
    for (const pugi::xml_node item : source.Root().children("item")) {
        film.Begin(source.PlaceOf(item));
        film.LocalTitle(Field(item, "title"));
        film.OriginalTitle(Field(item, "original"));
        film.DiscCount(Field(item, "number"));
        if (const std::string identifier = CollapsedBlanks(Field(item, "identifier")); identifier != "0") {
            film.DiscLabel(identifier, "Identifikátor");
        }
        film.DiscLabel(Field(item, "place"), "Umístění");
        film.AudioLanguages(ListField(item, "audio"));
        film.Subtitles(ListField(item, "subt"));
        film.Comments(Field(item, "comment"));
        for (const pugi::xml_attribute attribute : item.attributes()) {
            if (!IsMapped(attribute.name())) film.LeftOut(attribute.name(), attribute.value());
        }
        for (const pugi::xml_node child : item.children()) {
            if (child.type() == pugi::node_element && !IsMapped(child.name())) film.LeftOut(child.name(), AllText(child));
        }
        film.End();
    }
    return films;
}
