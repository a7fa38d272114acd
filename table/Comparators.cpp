#include "table/Comparators.h"

#include "table/Collation.h"
#include "table/RecordData.h"

int FLDComparator::Compare(const RecordData& store, std::uint32_t a, std::uint32_t b) const {
    const bool nullA = store.IsNull(a, fieldNo_);
    const bool nullB = store.IsNull(b, fieldNo_);
    int result;
    if (nullA || nullB)
        result = nullA == nullB ? 0 : (nullA ? -1 : 1);
    else
        result = CompareValues(store, a, b);
    return descending_ ? -result : result;
}

std::unique_ptr<FLDComparator> FLDComparator::For(const RecordData& store, int fieldNo, bool descending,
                                                  bool caseInsensitive) {
    // An integer field asks for no collation, so none is opened for it.
    if (!store.Field(fieldNo).IsText()) return std::make_unique<FLDInt32>(fieldNo, descending);
    return For(store, fieldNo, descending, store.CollationFor(caseInsensitive));
}

std::unique_ptr<FLDComparator> FLDComparator::For(const RecordData& store, int fieldNo, bool descending,
                                                  const Collation& textCollation) {
    if (store.Field(fieldNo).IsText()) return std::make_unique<FLDString>(fieldNo, descending, textCollation);
    return std::make_unique<FLDInt32>(fieldNo, descending);
}

int FLDString::CompareValues(const RecordData& store, std::uint32_t a, std::uint32_t b) const {
    return collation_.Compare(store.Text(a, fieldNo_), store.Text(b, fieldNo_));
}

int FLDInt32::CompareValues(const RecordData& store, std::uint32_t a, std::uint32_t b) const {
    const std::int32_t x = store.Integer(a, fieldNo_);
    const std::int32_t y = store.Integer(b, fieldNo_);
    return x < y ? -1 : (x > y ? 1 : 0);
}
