#pragma once
// A film named by its key K, so that it can be found again after the catalogue
// has been read anew. Neither a record number nor a position survives a reload:
// the reload renumbers the records in file order (a deleted film shifts the ones
// stored after it) and an edit may move a film to another place in the order.
#include <cstdint>
#include <optional>

#include "table/ClientDataSet.h"

// The current film's key; nothing without a current record or when its K is null.
std::optional<std::int32_t> CurrentFilmKey(TClientDataSet& table);
// Makes the film with that key current; false, with the cursor unmoved, when no
// film has it. With the views frozen they learn of the move when released.
bool GoToFilm(TClientDataSet& table, std::int32_t key);
