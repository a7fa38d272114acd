#pragma once
// The fixed parts of the catalogue's web page: its style sheet (the columns'
// widths are added to it when the page is written) and its script.
//
// The script relies on this markup: an input#q, a p#counts holding the summary
// counts, main#view (the scrolled part of the page) holding table#films, whose
// header cells carry data-field with the field name ... (data-number on the number columns,
// data-searched on those the search box looks in)
// with one empty tbody; the films as a JSON array in script#films-data: per film,
// in the catalogue's order, an array of its values in the columns' order (texts
// as strings, numbers as numbers, a null as null); and in script#film-ranks, per
// column, the films' Czech collation ranks (null for a number column).
#include <string_view>

extern const std::string_view kCatalogPageStyle;
extern const std::string_view kCatalogPageScript;
