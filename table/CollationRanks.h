#pragma once
// CollationRanks: one text field's present values in the live records, reduced
// to numbers that order exactly as the collation orders the texts.
//
// Each distinct text gets its sort key once; the keys are sorted and numbered,
// texts the collation finds equal sharing a number. An index build then compares
// numbers instead of collating the same texts again and again, with exactly the
// same outcome. The store must not change while the ranks are used.
#include <cstdint>
#include <vector>

class Collation;
class RecordStore;

class CollationRanks {
public:
    CollationRanks(const RecordStore& store, int fieldNo, const Collation& collation);
    bool Covers(std::uint32_t recordNumber) const {
        return recordNumber < ranks_.size() && ranks_[recordNumber] != kNone;
    }
    std::uint32_t Rank(std::uint32_t recordNumber) const { return ranks_[recordNumber]; }

private:
    static constexpr std::uint32_t kNone = 0xFFFFFFFFu;
    std::vector<std::uint32_t> ranks_;  // per record number
};
