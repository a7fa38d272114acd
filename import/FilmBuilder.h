#pragma once
// Builds the films of one import from another program's values (UTF-8), by the
// rules every reader shares:
//  - values are trimmed and runs of blanks and line breaks become one blank;
//  - with only one title, the other takes it;
//  - a disc label goes to S3 when it is a CD number ("15", "CD 15", "cd-015",
//    "#15", "č. 15"), otherwise into the note;
//  - language names become codes; S4 holds the first, and a list of several is
//    kept whole in the note; S5 takes the codes joined by ",";
//  - the note is the comments followed by labelled fragments ("Médium: Krabice 3")
//    joined by "; ";
//  - a text longer than its field is cut, and a character Windows-1250 lacks
//    becomes "?", each with a warning naming the film;
//  - S6 is 1 unless the source gives a positive disc count.
// A value of a source field with no place in Kinovka is counted, once per film.
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "import/ImportedFilms.h"
#include "layout/CatalogLayout.h"

class FilmBuilder {
public:
    explicit FilmBuilder(ImportedFilms& films) : films_(films) {}

    // Starts a film; the one before, if any, must have been ended.
    void Begin(FilePlace place);
    void OriginalTitle(std::string_view value);  // S1
    void LocalTitle(std::string_view value);     // S2
    // A disc number or label; noteLabel names it in the note when it is not a number.
    void DiscLabel(std::string_view value, std::string_view noteLabel);
    void AudioLanguages(const std::vector<std::string>& names);  // S4
    void Subtitles(const std::vector<std::string>& names);       // S5
    void DiscCount(std::string_view value);                      // S6, when a positive number
    void Comments(std::string_view value);                       // S7
    // A value kept in the note as "label: value".
    void NoteFragment(std::string_view label, std::string_view value);
    // A value of a source field that has no place: counted when it carries something.
    void LeftOut(std::string_view field, std::string_view value);
    // Finishes the film and adds it.
    void End();

private:
    ImportedFilms& films_;
    ImportedFilm film_;
    std::string fields_[kFilmLayout.size()];  // UTF-8 while the film is built
    std::vector<std::string> fragments_;
    std::vector<std::string> countedFields_;
};

// The text trimmed, with every run of blanks, tabs and line breaks made one blank.
std::string CollapsedBlanks(std::string_view text);

// The warning for a value of field (0 for S1 ... 6 for S7) that had length
// characters and was cut to the field's width; the film is named by its title (UTF-8).
std::string CutWarning(std::string_view filmTitle, std::size_t field, std::size_t length);

// The CD number in a disc label ("CD 15" gives "15"), or nothing when the label
// is anything else.
std::optional<std::string> CdNumberOf(std::string_view label);
