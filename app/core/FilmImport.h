#pragma once
// Films read from another file (import/FilmFile.h) added to the open catalogue
// table, and what the import tells the user. The caller saves the table once
// afterwards, so that the whole import is one change and one version; on a
// refusal it saves nothing (and reloads the file where the table stays in use).
//
// A film is a duplicate when its English title, Czech title and CD number equal
// those of a film that was in the catalogue before the import: the titles
// compared as typed search compares them (case and Czech diacritics folded, two
// empty titles equal), as the table stores them (cut to the field, without
// trailing blanks), and a null CD number equal only to a null one.
#include <cstdint>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

#include "import/ImportedFilms.h"
#include "table/ClientDataSet.h"

struct ImportCounts {
    std::size_t Read = 0, Added = 0, Duplicates = 0;
    std::vector<std::int32_t> AddedKeys;  // K of each film added, in the file's order
};

// A film the table would not take. The reason is Czech (UTF-8) and names the
// field by the grid's title and its name („č. CD“ (S3) není celé číslo: 8a).
class ImportRefused : public std::runtime_error {
public:
    ImportRefused(FilePlace place, const std::string& reason, std::optional<unsigned> code = {})
        : std::runtime_error(reason), Place(place), Code(code) {}
    FilePlace Place;
    std::optional<unsigned> Code;  // the engine's status code when the table refused the film
};

// Inserts the films, skipping duplicates unless keepDuplicates. ImportRefused at
// the first film that cannot be stored; the films before it stay in the table.
ImportCounts AddImportedFilms(TClientDataSet& table, const ImportedFilms& films, bool keepDuplicates);

// The summary lines (UTF-8): the format, the counts, and per source field with
// no place in the catalogue how many films carried a value that was left out.
std::vector<std::string> ImportSummary(const ImportedFilms& films, const ImportCounts& counts, bool dryRun);
