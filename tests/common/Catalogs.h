#pragma once
// Named catalogues for the tests of the core and above, as files' bytes or films.
#include <string>
#include <vector>

#include "tests/common/FilmTable.h"

// The sample catalogue of the repository (31 films), as stored.
std::string SampleCatalog();
// A catalogue file's bytes holding these films (XML unless asked otherwise).
std::string CatalogOf(const std::vector<Film>& films, TDataPacketFormat format = dfXML);
// Films with Czech letters, numbers at both ends of their range and texts that need escaping.
std::vector<Film> TwoFilms();
// count films with distinct titles, for catalogues of some size.
std::vector<Film> ManyFilms(int count);

// How many films the catalogue file at path holds; -1 when it does not load.
int FilmsInFile(const std::string& path);
