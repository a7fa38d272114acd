#pragma once
// A file of films from Kinovka's CSV or from another catalogue program, read
// whole. The format is recognised from the content, never from the name:
//   CSV; Ant Movie Catalog binary (3.1 to 4.2) and its XML; GCstar film
//   collections; Tellico (zip or plain XML); Griffith's and Data Crow's XML.
// Every reader is bounded: nothing is read outside the bytes given, no length
// read from the file is trusted before it is checked against them, and nothing
// outside the file (a path, an external entity) is ever followed.
#include <string_view>

#include "import/ImportedFilms.h"

// The films of the file; ImportError when it cannot be read whole, or holds
// something other than films.
ImportedFilms ReadFilmFile(std::string_view bytes);
