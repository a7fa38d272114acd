#pragma once
// CollationRanks: one text field's values in some records, reduced to numbers
// that order exactly as the collation orders the texts.
//
// Each distinct text gets its sort key once; the keys are sorted and numbered
// from 0, texts the collation finds equal sharing a number. Comparing the
// numbers then gives what comparing the texts would, much faster when the same
// records are compared again and again. Many distinct texts get their keys on
// two threads, half each.
#include <cstdint>
#include <span>

#include "memory/LargeBlocks.h"

class Collation;
class RecordData;

inline constexpr std::uint32_t kNoRank = 0xFFFFFFFFu;

// The rank of each record's text, in the order of `records`; kNoRank for a null.
memory::Vector<std::uint32_t> CollationRanks(const RecordData& store, int fieldNo, const Collation& collation,
                                             std::span<const std::uint32_t> records);
