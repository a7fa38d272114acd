#pragma once
// Every record of the catalogue with K and S1 to S7, in the order of the active
// index, as JSON or as CSV (UTF-8). The cursor ends after the last record.
#include <string>

#include "table/ClientDataSet.h"

// An array of objects with the keys K, S1 ... S7, one object per line: a
// null field is null, a text a string (empty included), an integer a number.
std::string DumpJson(TClientDataSet& table);

// The header line K,S1,...,S7, then one line per record; a null field is an
// empty cell and an empty text the quoted empty text.
std::string DumpCsv(TClientDataSet& table);
