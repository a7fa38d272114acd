#pragma once
// What the reliability tests share: a scratch directory that is removed at the
// end, whole files read and written as bytes, and catalogues to work on.
#include <string>
#include <string_view>
#include <vector>

#include "tests/app/FilmTable.h"

class ScratchDir {
public:
    ScratchDir();
    ~ScratchDir();
    ScratchDir(const ScratchDir&) = delete;
    ScratchDir& operator=(const ScratchDir&) = delete;

    const std::string& Path() const { return path_; }
    std::string File(std::string_view name) const;
    // The names in the directory, sorted.
    std::vector<std::string> Names() const;

private:
    std::string path_;
};

std::string ReadBytes(const std::string& path);
void WriteBytes(const std::string& path, std::string_view bytes);

// The sample catalogue of the repository (31 films), as stored.
std::string SampleCatalogue();
// A catalogue file's bytes holding these films (XML unless asked otherwise).
std::string CatalogueOf(const std::vector<Film>& films, TDataPacketFormat format = dfXML);
// Films with Czech letters, numbers at both ends of their range and texts that need escaping.
std::vector<Film> TwoFilms();
// count films with distinct titles, for catalogues of some size.
std::vector<Film> ManyFilms(int count);

// How many films the catalogue file at path holds; -1 when it does not load.
int FilmsInFile(const std::string& path);
