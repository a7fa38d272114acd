#pragma once
// The catalogue as one self-contained web page (UTF-8, no external resources):
// the statistics summary's counts, then a table with the grid's columns and one
// row per film in the order of the table's active index. Its inline script
// filters the films by a search box (English title, Czech title and note, letter
// case and Czech diacritics ignored), sorts by a click on a column title in the
// Czech collation (by ranks written with the page), keeps both in the address
// after "#" (`#q=TEXT&sort=-S3`), and makes table rows only for the films in
// view, all of them for printing. Every catalogue text is escaped, so none is
// ever markup, and the page's Content-Security-Policy lets only its own script
// and style run.
// While any disc is lent, each film carries one more value, shown in a column
// "Půjčeno": who has its disc and since when, or nothing.
#include <string>
#include <string_view>

#include "app/core/Loans.h"
#include "table/ClientDataSet.h"

// catalogName (UTF-8) titles the page. The cursor ends where it was.
std::string CatalogPage(TClientDataSet& table, std::string_view catalogName, const LoanBook& loans);
