#include "table/Comparators.h"

#include "table/Collation.h"
#include "table/RecordStore.h"
#include "table/CollationRanks.h"

int FLDComparator::Compare(const RecordStore& store, std::uint32_t a, std::uint32_t b) const {
    const bool nullA = store.IsNull(a, fieldNo_);
    const bool nullB = store.IsNull(b, fieldNo_);
    int result;
    if (nullA || nullB)
        result = nullA == nullB ? 0 : (nullA ? -1 : 1);
    else
        result = CompareValues(store, a, b);
    return descending_ ? -result : result;
}

std::unique_ptr<FLDComparator> FLDComparator::For(const RecordStore& store, int fieldNo, bool descending,
                                                  bool caseInsensitive) {
    if (store.Field(fieldNo).IsText())
        return std::make_unique<FLDString>(fieldNo, descending, store.CollationFor(caseInsensitive));
    return std::make_unique<FLDInt32>(fieldNo, descending);
}

FLDString::FLDString(int fieldNo, bool descending, const Collation& collation)
    : FLDComparator(fieldNo, descending), collation_(collation) {}

FLDString::~FLDString() = default;

void FLDString::BeginBulk(const RecordStore& store) {
    ranks_ = std::make_unique<CollationRanks>(store, fieldNo_, collation_);
}

void FLDString::EndBulk() { ranks_.reset(); }

int FLDString::CompareValues(const RecordStore& store, std::uint32_t a, std::uint32_t b) const {
    if (ranks_ && ranks_->Covers(a) && ranks_->Covers(b)) {
        const std::uint32_t x = ranks_->Rank(a), y = ranks_->Rank(b);
        return x < y ? -1 : (x > y ? 1 : 0);
    }
    return collation_.Compare(store.Text(a, fieldNo_), store.Text(b, fieldNo_));
}

int FLDInt32::CompareValues(const RecordStore& store, std::uint32_t a, std::uint32_t b) const {
    const std::int32_t x = store.Integer(a, fieldNo_);
    const std::int32_t y = store.Integer(b, fieldNo_);
    return x < y ? -1 : (x > y ? 1 : 0);
}
