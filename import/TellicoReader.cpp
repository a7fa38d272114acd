// Tellico's document: <tellico> (<bookcase> before syntax version 7) holding one
// <collection> whose <fields> declare every field; an <entry> has one child per
// non-empty field, a field of several values wrapped in a parent named after it
// with an "s" added. Loans are kept apart, under <borrowers>, pointing to entries.
#include <algorithm>
#include <map>
#include <set>

#include "import/LanguageCodes.h"
#include "import/XmlFilmReaders.h"
#include "text/Cp1250.h"

namespace {

constexpr std::string_view kVideoType = "3", kCustomType = "1", kNumberField = "6";

// Tellico's other collection types, as its users know them.
const std::map<std::string, std::string, std::less<>> kOtherTypes{
    {"2", "knihy"},   {"4", "hudba"},  {"5", "bibliografie"}, {"6", "komiksy"}, {"7", "vína"},
    {"8", "mince"},   {"9", "známky"}, {"10", "sběratelské karty"}, {"11", "videohry"},
    {"12", "soubory"}, {"13", "deskové hry"}};

struct FieldInfo {
    std::string Title;
    std::string Type;
};

// A title's words in small letters without diacritics, for guessing what a user's field holds.
std::string FoldedTitle(std::string_view title) {
    std::string folded = cp1250::ToUpper(cp1250::FromUtf8(title));
    static const std::string accented = cp1250::FromUtf8("ÁČĎÉĚÍŇÓŘŠŤÚŮÝŽ");
    static const std::string plain = "ACDEEINORSTUUYZ";
    for (char& c : folded) {
        if (const auto at = accented.find(c); at != std::string::npos) c = plain[at];
    }
    return folded;
}

bool Mentions(std::string_view folded, std::initializer_list<std::string_view> words) {
    return std::any_of(words.begin(), words.end(), [&](std::string_view word) { return folded.find(word) != std::string_view::npos; });
}

// The user's own fields for the CD number and the disc count, chosen by their titles.
struct DiscFields {
    std::string Label = "location";
    std::string Count;
};

DiscFields ChooseDiscFields(const std::map<std::string, FieldInfo, std::less<>>& fields) {
    DiscFields chosen;
    for (const auto& [name, field] : fields) {
        const std::string title = FoldedTitle(field.Title);
        if (!Mentions(title, {"CD", "DISK", "DISC", "MEDI", "NOSIC"})) continue;
        if (field.Type == kNumberField && Mentions(title, {"POCET", "COUNT", "NUMBER OF", "#", "KS"})) {
            chosen.Count = name;
        } else if (name != "medium") {
            chosen.Label = name;
        }
    }
    return chosen;
}

}  // namespace

ImportedFilms ReadTellico(XmlSource& source) {
    const pugi::xml_node collection = ChildNamed(source.Root(), "collection");
    const std::string type = collection.attribute("type").value();
    std::map<std::string, FieldInfo, std::less<>> fields;
    for (const pugi::xml_node field : ChildNamed(collection, "fields").children()) {
        if (LocalName(field) == "field") fields[field.attribute("name").value()] = {field.attribute("title").value(), field.attribute("type").value()};
    }
    if (type != kVideoType && !(type == kCustomType && fields.contains("title"))) {
        const auto other = kOtherTypes.find(type);
        throw ImportError(source.PlaceOf(collection),
                          "sbírka Tellico „" + std::string(collection.attribute("title").value()) + "“ je typu " +
                              (other != kOtherTypes.end() ? other->second : "\"" + type + "\"") + ", nejsou to filmy");
    }
    const DiscFields disc = ChooseDiscFields(fields);
    std::set<std::string, std::less<>> lent;
    for (const pugi::xml_node borrower : ChildNamed(source.Root(), "borrowers").children()) {
        for (const pugi::xml_node loan : borrower.children()) lent.insert(loan.attribute("entryRef").value());
    }

    ImportedFilms films{"Tellico", {}, {}, {}};
    FilmBuilder film(films);
    for (const pugi::xml_node entry : collection.children()) {
        if (LocalName(entry) != "entry") continue;
        film.Begin(source.PlaceOf(entry));
        for (const pugi::xml_node child : entry.children()) {
            if (child.type() != pugi::node_element) continue;
            std::string name(LocalName(child));
            std::vector<std::string> values;
            // A wrapper of several values: its field is declared, or its children name it.
            const std::string single = name.ends_with('s') ? name.substr(0, name.size() - 1) : std::string();
            if (!fields.contains(name) && !single.empty() &&
                (fields.contains(single) || std::string_view(child.first_child().name()) == single)) {
                name.pop_back();
                for (const pugi::xml_node value : child.children()) values.push_back(CollapsedBlanks(AllText(value)));
            } else {
                values.push_back(AllText(child));
            }
            if (name == "origtitle") {
                film.OriginalTitle(values.front());
            } else if (name == "title") {
                film.LocalTitle(values.front());
            } else if (name == disc.Label) {
                film.DiscLabel(values.front(), fields.contains(name) ? fields[name].Title : name);
            } else if (name == disc.Count) {
                film.DiscCount(values.front());
            } else if (name == "language") {
                film.AudioLanguages(values);
            } else if (name == "subtitle") {
                film.Subtitles(values);
            } else if (name == "comments") {
                std::string comments = values.front();
                for (std::string_view lineBreak : {"<br/>", "<br />", "<br>"}) {
                    for (std::size_t at = comments.find(lineBreak); at != std::string::npos; at = comments.find(lineBreak, at)) {
                        comments.replace(at, lineBreak.size(), " ");
                    }
                }
                film.Comments(comments);
            } else if (name != "id" && name != "cdate" && name != "mdate") {
                std::string joined;
                for (const std::string& value : values) joined += value + " ";
                film.LeftOut(name, joined);
            }
        }
        if (lent.contains(entry.attribute("id").value())) film.LeftOut("loan", "1");
        film.End();
    }
    return films;
}
