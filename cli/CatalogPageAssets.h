#pragma once
// The fixed parts of the catalogue's web page: its style sheet and its script.
//
// The script relies on this markup: an input#q, a p#counts holding the summary
// counts, table#films whose header cells carry data-field="S1" ... "S7" (and
// data-number on the number columns) with one empty tbody, and the films as a
// JSON array in script#films-data: per film, in the catalogue's order, an array
// of the seven values in the grid's order (texts as strings, numbers as numbers,
// a null as null).
#include <string_view>

extern const std::string_view kCatalogPageStyle;
extern const std::string_view kCatalogPageScript;
