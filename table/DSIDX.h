#pragma once
// DSIDX: one index of a record store, an ordered array of record numbers.
//
// Entries are 1-based (entry 0 is never a record); Count() live records are in
// it. The change stamp is 0 after a (re)build and grows by 1 with every entry
// added or removed; an entry replaced in place leaves it. Order among equal keys
// is what the build's sort and the "after all equal keys" insertion produce, and
// callers can observe it, so both follow a fixed procedure.
#include <cstdint>
#include <memory>
#include <vector>

#include "memory/LargeBlocks.h"
#include "packet/PacketStatus.h"
#include "table/KeyRanks.h"
#include "table/Comparators.h"
#include "table/IndexDescriptor.h"
#include "table/IndexOrder.h"

class RecordData;

class DSIDX {
public:
    DSIDX(const RecordData& store, IndexDescriptor descriptor, std::uint32_t id);
    ~DSIDX();

    const IndexDescriptor& Descriptor() const { return descriptor_; }
    const std::string& Name() const { return descriptor_.Name; }
    std::uint32_t Id() const { return id_; }
    std::uint32_t ChangeStamp() const { return stamp_; }
    std::uint32_t Count() const { return static_cast<std::uint32_t>(entries_.size() - 1); }
    bool HasKeys() const { return !descriptor_.Fields.empty(); }
    bool IsDefaultOrder() const { return isDefaultOrder_; }
    bool Unique() const { return descriptor_.Unique; }

    std::uint32_t RecordAt(std::uint32_t position) const { return entries_[position]; }  // 1..Count()
    // Linear search from entry 1; 0 when the record is not in the index.
    std::uint32_t PositionOf(std::uint32_t recordNumber) const;

    // Key comparison of two records; record number 0 is lower and 0xFFFFFFFF
    // higher than every record.
    int CompareRecords(std::uint32_t a, std::uint32_t b) const;

    // Fills the index from the store's live records. On failure (0x2601 for a
    // unique index meeting equal keys) the index content is unusable. An index
    // with keys that is neither unique nor the default order is only marked to
    // be filled: EnsureBuilt fills it, and must have been called before a cursor
    // reads it. Until then the store's changes pass it by.
    pkt::Status Build();
    pkt::Status EnsureBuilt();
    bool Built() const { return built_; }
    // An order another table's index of the same definition holds (the same
    // key fields by name, with the same flags), for the build to check before
    // it sorts (table/OfferedOrder.h); kept only while the index is not built.
    void Offer(TIndexOrder order);

    // Gives the default-order index a new descriptor (keys of its own), to be
    // built next.
    void Redefine(IndexDescriptor descriptor);
    // The same, rebuilt at once. When the build fails the index is exactly as it
    // was: its descriptor, its entries in their order and its change stamp.
    pkt::Status RedefineAndBuild(IndexDescriptor descriptor);
    bool WasRedefined() const { return redefined_; }
    void Rename(std::string name) { descriptor_.Name = std::move(name); }

    // Enters a new record. cursorPosition is the cursor's position when this is
    // the cursor's index and the cursor stands on a record, else 0. The place the
    // record went to is stored in *placedAt.
    pkt::Status Insert(std::uint32_t recordNumber, std::uint32_t cursorPosition, std::uint32_t* placedAt = nullptr);
    // Takes a record out; false when it was not in the index.
    bool Remove(std::uint32_t recordNumber);

    // What re-placing a changed record did, so that it can be committed or undone.
    struct Replacement {
        bool Moved = false;
        std::uint32_t OldPosition = 0;
        std::uint32_t NewPosition = 0;
    };
    // The changed version of recordNumber sits in slot candidate. When its key
    // differs the entry is moved, under the candidate's number; a refusal leaves
    // the index as it was.
    pkt::Status Replace(std::uint32_t recordNumber, std::uint32_t candidate, Replacement& replacement);
    void CommitReplacement(const Replacement& replacement, std::uint32_t recordNumber);
    void UndoReplacement(const Replacement& replacement, std::uint32_t recordNumber);

    // The place after the last entry whose key is not greater than the record's.
    std::uint32_t InsertionPlace(std::uint32_t recordNumber) const;

    // Drops the comparators, which the next comparison makes anew (the store's
    // collation changed, or the key fields did).
    void ForgetComparators() { comparators_.clear(); }

private:
    const std::vector<std::unique_ptr<FLDComparator>>& Comparators() const;
    pkt::Status InsertKeyed(std::uint32_t recordNumber, std::uint32_t* placedAt);
    pkt::Status InsertAt(std::uint32_t position, std::uint32_t recordNumber);
    void RemoveAt(std::uint32_t position);
    pkt::Status Reserve(std::size_t capacity);
    pkt::Status BuildNow();
    pkt::Status Fill();
    // `distinct`: the sort found every key different from every other.
    pkt::Status Sort(bool& distinct);

    const RecordData& store_;
    IndexDescriptor descriptor_;
    std::uint32_t id_;
    bool isDefaultOrder_;
    bool redefined_ = false;
    bool built_ = true;
    // Made at the first comparison: a text key opens the table's collator,
    // which an index that is never sorted or searched does not need.
    mutable std::vector<std::unique_ptr<FLDComparator>> comparators_;
    // While a build runs: the live records' keys as numbers.
    std::unique_ptr<KeyRanks> buildRanks_;
    std::unique_ptr<const TIndexOrder> offered_;  // taken by the next build
    memory::Vector<std::uint32_t> entries_;  // entries_[0] stays 0
    std::size_t capacity_ = 0;
    std::uint32_t stamp_ = 0;
};
