#include "import/AmcMovie.h"

#include "import/LanguageCodes.h"

void MapAmcMovie(FilmBuilder& film, const std::vector<AmcValue>& values) {
    for (const auto& [name, value] : values) {
        if (name == "OriginalTitle") {
            film.OriginalTitle(value);
        } else if (name == "TranslatedTitle") {
            film.LocalTitle(value);
        } else if (name == "MediaLabel") {
            film.DiscLabel(value, "Médium");
        } else if (name == "Languages") {
            film.AudioLanguages(SplitNameList(value));
        } else if (name == "Subtitles") {
            film.Subtitles(SplitNameList(value));
        } else if (name == "Disks") {
            film.DiscCount(value);
        } else if (name == "Comments") {
            film.Comments(value);
        } else if (name != "Number" && name != "Checked" && name != "ColorTag" && name != "Date" &&
                   name != "FormattedTitle") {
            film.LeftOut(name, value);
        }
    }
}
