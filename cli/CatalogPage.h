#pragma once
// The catalogue as one self-contained web page (UTF-8, no external resources):
// the statistics summary's counts, then a table with the grid's seven columns
// and one row per film in the order of the table's active index. Its inline
// script filters the rows by a search box (English title, Czech title and note,
// letter case and Czech diacritics ignored), sorts by a click on a column title
// in the browser's Czech collation, and keeps both in the address after "#"
// (`#q=TEXT&sort=-S3`). Every catalogue text is escaped, so none is ever markup.
// While any disc is lent, each film carries one more value, shown in a column
// "Půjčeno": who has its disc and since when, or nothing.
#include <string>
#include <string_view>

#include "app/core/Loans.h"
#include "table/ClientDataSet.h"

// catalogueName (UTF-8) titles the page. The cursor ends where it was.
std::string CatalogPage(TClientDataSet& table, std::string_view catalogueName, const LoanBook& loans);
