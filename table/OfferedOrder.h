#pragma once
// An index build's ranks taken from an order offered by another table
// (TIndexOrder) instead of from collating every key. The offered keys name
// records of this store; those are kept in the offered order where it does not
// descend, and the rest (records it does not name, and those it puts out of
// place) are sorted and merged in. Every step compares this store's records as
// the index compares them (`compare`, -1, 0 or 1), so the result is this
// store's records in key order with each step known to rise or to stay equal:
// numbered along it, the records get ranks that compare exactly as their keys
// do, which is all the build's sort reads. More records out of place than are
// cheap to merge give nothing, and the build ranks the keys as usual.
#include <cstdint>
#include <functional>
#include <memory>

#include "table/IndexOrder.h"
#include "table/KeyRanks.h"

class RecordData;

// May throw std::bad_alloc.
std::unique_ptr<KeyRanks> RanksFromOffer(const RecordData& store, const TIndexOrder& offered,
                                         const std::function<int(std::uint32_t, std::uint32_t)>& compare);
