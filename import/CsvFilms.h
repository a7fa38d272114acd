#pragma once
// Kinovka's own CSV (what export writes, or a spreadsheet): a header line naming
// the columns by field name (S1) or by the grid's title ("Název anglicky"), in
// any order and any letter case, then one film per row. A K column is passed
// over; a column the catalogue does not have is left out with a warning; a
// missing column takes the add form's value. An empty cell is a null, "" an
// empty text. A header naming no column of the catalogue refuses the file.
#include <string_view>

#include "import/ImportedFilms.h"

ImportedFilms ReadCsvFilms(std::string_view bytes);
