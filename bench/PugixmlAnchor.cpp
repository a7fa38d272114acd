// pugixml-anchor summary|add FILE
//
// The yardstick for kinovka-cli: the same two jobs done by a bare pugixml parse.
//   summary  parses the file and walks every row, counting films, discs and the
//            films by language (the statistics summary's work)
//   add      parses the file, appends a film, writes the file and parses it again
//            (an edit's save and reload)
#include <pugixml.hpp>

#include <cstdio>
#include <cstring>

namespace {

bool Parse(pugi::xml_document& document, const char* path) {
    const pugi::xml_parse_result result = document.load_file(path);
    if (!result) std::fprintf(stderr, "pugixml-anchor: %s: %s\n", path, result.description());
    return static_cast<bool>(result);
}

bool SameLetters(const char* text, const char* upper) {
    for (; *upper; ++text, ++upper)
        if ((*text & ~0x20) != *upper) return false;
    return *text == '\0';
}

int Summary(pugi::xml_node rows) {
    long films = 0, discs = 0, czech = 0, english = 0, englishWithCzech = 0;
    for (pugi::xml_node row = rows.first_child(); row; row = row.next_sibling()) {
        ++films;
        discs += row.attribute("S6").as_int();
        const char* language = row.attribute("S4").value();
        if (SameLetters(language, "CZ")) {
            ++czech;
        } else if (SameLetters(language, "EN")) {
            ++english;
            const char* subtitles = row.attribute("S5").value();
            for (const char* at = subtitles; at[0] && at[1]; ++at)
                if ((at[0] & ~0x20) == 'C' && (at[1] & ~0x20) == 'Z') {
                    ++englishWithCzech;
                    break;
                }
        }
    }
    std::printf("films %ld discs %ld czech %ld english %ld english with czech %ld\n", films, discs, czech,
                english, englishWithCzech);
    return 0;
}

int Add(pugi::xml_document& document, pugi::xml_node rows, const char* path) {
    pugi::xml_attribute next =
        document.child("DATAPACKET").child("METADATA").child("PARAMS").attribute("AUTOINCVALUE");
    const int key = next.as_int();
    next.set_value(key + 1);
    pugi::xml_node row = rows.append_child("ROW");
    row.append_attribute("K") = key;
    row.append_attribute("S1") = "Benchmark film";
    row.append_attribute("S3") = 7;
    row.append_attribute("S6") = 1;
    if (!document.save_file(path, "", pugi::format_raw)) {
        std::fprintf(stderr, "pugixml-anchor: cannot write %s\n", path);
        return 1;
    }
    pugi::xml_document again;
    return Parse(again, path) ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 3 || (std::strcmp(argv[1], "summary") != 0 && std::strcmp(argv[1], "add") != 0)) {
        std::fprintf(stderr, "usage: pugixml-anchor summary|add FILE\n");
        return 2;
    }
    pugi::xml_document document;
    if (!Parse(document, argv[2])) return 1;
    const pugi::xml_node rows = document.child("DATAPACKET").child("ROWDATA");
    return std::strcmp(argv[1], "summary") == 0 ? Summary(rows) : Add(document, rows, argv[2]);
}
