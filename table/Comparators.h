#pragma once
// Field comparators: one per key field of an index, chosen by the field's type.
//
// Each compares that field in two records of the store and gives -1, 0 or 1. A
// null is lower than any value and two nulls are equal; a descending key field
// negates the whole result, the null rule included, so its nulls come last.
#include <cstdint>
#include <memory>

class Collation;
class RecordData;

class FLDComparator {
public:
    FLDComparator(int fieldNo, bool descending) : fieldNo_(fieldNo), descending_(descending) {}
    virtual ~FLDComparator() = default;

    int Compare(const RecordData& store, std::uint32_t a, std::uint32_t b) const;

    // The comparator for a key field of the store.
    static std::unique_ptr<FLDComparator> For(const RecordData& store, int fieldNo, bool descending,
                                              bool caseInsensitive);
    // The same with the collation a text field is to compare by.
    static std::unique_ptr<FLDComparator> For(const RecordData& store, int fieldNo, bool descending,
                                              const Collation& textCollation);

protected:
    // Both values present.
    virtual int CompareValues(const RecordData& store, std::uint32_t a, std::uint32_t b) const = 0;
    int fieldNo_;

private:
    bool descending_;
};

// Texts by the table's collation (case-sensitive unless the key field says otherwise).
class FLDString final : public FLDComparator {
public:
    FLDString(int fieldNo, bool descending, const Collation& collation)
        : FLDComparator(fieldNo, descending), collation_(collation) {}

protected:
    int CompareValues(const RecordData& store, std::uint32_t a, std::uint32_t b) const override;

private:
    const Collation& collation_;
};

// Signed 32-bit integers.
class FLDInt32 final : public FLDComparator {
public:
    using FLDComparator::FLDComparator;

protected:
    int CompareValues(const RecordData& store, std::uint32_t a, std::uint32_t b) const override;
};
