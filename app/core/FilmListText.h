#pragma once
// The texts of the list window: the list of all films (one fixed-width line per
// film under a header) and the statistics summary. The list walks the table in
// its current order, the summary counts the films in any order; both keep the
// views frozen and leave the cursor on the record that was current before.
// Lines are Windows-1250 text without line ends; widths count bytes, and a
// value longer than its column is written whole.
#include <string>
#include <string_view>
#include <vector>

#include "table/ClientDataSet.h"

// The header line of the list.
std::string FilmListHeader();

// The list line of the table's current record.
std::string FilmLine(TClientDataSet& table);

// The header, one empty line, then one line per film.
std::vector<std::string> FilmListLines(TClientDataSet& table);

// The twelve lines of the summary; dataFileName names the catalogue in line one.
std::vector<std::string> SummaryLines(TClientDataSet& table, std::string_view dataFileName);
// The fields SummaryLines reads: a table loaded with only these (and the keys
// of its order) gives the same summary.
std::vector<std::string> SummaryFields();
