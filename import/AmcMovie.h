#pragma once
// One Ant Movie Catalog film as name and value pairs, named as the program's XML
// names its attributes ("OriginalTitle", "MediaLabel", ...): the binary and the
// XML reader both hand their films over in this form, so that the two map alike.
#include <string>
#include <string_view>
#include <vector>

#include "import/FilmBuilder.h"

struct AmcValue {
    std::string_view Name;
    std::string Value;  // UTF-8
};

// Maps the values of one film (between the builder's Begin and End):
// OriginalTitle → S1, TranslatedTitle → S2, MediaLabel → S3 or the note,
// Languages → S4, Subtitles → S5, Disks → S6, Comments → S7; the catalogue's
// own bookkeeping (Number, Checked, ColorTag, Date, FormattedTitle) is passed
// over, every other value counted as left out.
void MapAmcMovie(FilmBuilder& film, const std::vector<AmcValue>& values);
