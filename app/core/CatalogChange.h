#pragma once
// CatalogChange: what one state of a catalogue changed against an earlier one,
// film by film, and how the program names it to the user.
//
// Two records are the same film when they have the same key K. A film is
// changed when any of its fields differs (a null reads as an empty text here).
// Titles are the English title S1, or the Czech title S2 where S1 is empty
// (Windows-1250).
#include <cstdint>
#include <string>
#include <vector>

#include "table/ClientDataSet.h"

struct FilmNamed {
    std::int32_t Key = 0;
    std::string Title;
};

struct CatalogChange {
    // Each in the order of the keys.
    std::vector<FilmNamed> Added, Deleted, Changed;

    std::size_t Films() const { return Added.size() + Deleted.size() + Changed.size(); }
    // The films concerned, deleted first, then changed, then added.
    std::vector<FilmNamed> Concerned() const;
};

// What newer changed against older, two open tables whose cursors do not
// move. A table without a field K has no films to tell apart: EDatabaseError.
CatalogChange CompareCatalogs(TClientDataSet& older, TClientDataSet& newer);

// The change in Czech words for a question to the user (Windows-1250): the one
// film by name ("smazán film „Amadeus“"), or counts by kind ("přidány 2 filmy,
// smazáno 5 filmů"), or "beze změny filmů".
std::string CzechChangeText(const CatalogChange& change);
// Czech count of films with the right plural ("1 film", "3 filmy", "5 filmů"), UTF-8.
std::string CzechFilmCount(std::size_t count);
