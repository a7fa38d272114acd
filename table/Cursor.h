#pragma once
// Cursor: a position in one index of a record store.
//
// Position is 1-based in the index's order; 0 stands before the first record and
// Count() + 1 after the last. Status is 0 on a record, 0x2201 before the first,
// 0x2202 after the last, 0x2204 on the place of a record that has left the index.
// The cursor remembers the index's change stamp it last saw and catches up with
// the index whenever the stamp has moved.
#include <cstdint>

#include "table/Bookmark.h"

class DSIDX;

class Cursor {
public:
    explicit Cursor(DSIDX& index);

    DSIDX& Index() const { return *index_; }
    std::uint32_t Position() const { return position_; }
    std::uint32_t Status() const { return status_; }
    std::uint32_t RecordNumber() const { return recordNumber_; }
    bool OnRecord() const { return status_ == 0; }

    // Re-finds the cursor's record after the index changed under it.
    void CatchUp();
    // The same whatever the stamp says: a rebuild in another order can leave the
    // stamp where the cursor last saw it.
    void Refind();

    void BeforeFirst();
    void AfterLast();
    // 1..Count(): on that record; 0: before the first; beyond: after the last.
    void GoTo(std::uint32_t position);
    // steps > 0 forward, < 0 backward; gives the status reached.
    std::uint32_t Move(int steps);

    TBookmarkBlock Bookmark() const;
    // By position when the bookmark is of this index at its present stamp, else
    // by record number; a record number not in the index goes before the first.
    void Resolve(const TBookmarkBlock& bookmark);
    // Changes to another index keeping the current record; off a record the cursor
    // goes before the first record.
    void SwitchTo(DSIDX& index);

private:
    DSIDX* index_;
    std::uint32_t position_ = 0;
    std::uint32_t status_;
    std::uint32_t recordNumber_ = 0;
    std::uint32_t seenStamp_;
};
