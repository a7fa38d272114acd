#include "table/Cursor.h"

#include "table/DSIDX.h"
#include "table/Errors.h"

namespace {

// A cursor reads its index from the moment it stands on it.
DSIDX& Built(DSIDX& index) {
    if (const auto code = index.EnsureBuilt()) throw EDBClient(code);
    return index;
}

}  // namespace

Cursor::Cursor(DSIDX& index) : index_(&Built(index)), status_(dberr::BOF), seenStamp_(index.ChangeStamp()) {}

void Cursor::CatchUp() {
    if (seenStamp_ != index_->ChangeStamp()) Refind();
}

void Cursor::Refind() {
    const std::uint32_t count = index_->Count();
    if (status_ == 0) {
        const bool stillThere = position_ >= 1 && position_ <= count && index_->RecordAt(position_) == recordNumber_;
        if (!stillThere) {
            if (const std::uint32_t found = index_->PositionOf(recordNumber_)) {
                position_ = found;
            } else {
                status_ = dberr::RecordLeftIndex;
                if (index_->Unique() && index_->HasKeys()) position_ = index_->InsertionPlace(recordNumber_);
            }
        }
    } else if (status_ == dberr::EndOfData) {
        position_ = count + 1;
    }
    seenStamp_ = index_->ChangeStamp();
}

void Cursor::BeforeFirst() {
    position_ = 0;
    status_ = dberr::BOF;
    recordNumber_ = 0;
    seenStamp_ = index_->ChangeStamp();
}

void Cursor::AfterLast() {
    position_ = index_->Count() + 1;
    status_ = dberr::EndOfData;
    recordNumber_ = 0;
    seenStamp_ = index_->ChangeStamp();
}

void Cursor::GoTo(std::uint32_t position) {
    if (position == 0) return BeforeFirst();
    if (position > index_->Count()) return AfterLast();
    position_ = position;
    status_ = 0;
    recordNumber_ = index_->RecordAt(position);
    seenStamp_ = index_->ChangeStamp();
}

std::uint32_t Cursor::Move(int steps) {
    CatchUp();
    const std::int64_t count = index_->Count();
    std::int64_t target;
    if (steps > 0) {
        const std::int64_t from = status_ == dberr::BOF ? 0 : position_;
        // From the place of a left record the first step lands on its follower,
        // which now holds that very place.
        target = from + steps - (status_ == dberr::RecordLeftIndex ? 1 : 0);
        if (target <= count) GoTo(static_cast<std::uint32_t>(target)); else AfterLast();
    } else if (steps < 0) {
        const std::int64_t from = status_ == dberr::EndOfData ? count + 1 : position_;
        target = from + steps;
        if (target >= 1) GoTo(static_cast<std::uint32_t>(target)); else BeforeFirst();
    }
    return status_;
}

TBookmarkBlock Cursor::Bookmark() const {
    return {position_, status_, recordNumber_, seenStamp_, index_->Id()};
}

void Cursor::Resolve(const TBookmarkBlock& bookmark) {
    CatchUp();
    std::uint32_t target;
    if (bookmark.IndexId == index_->Id() && bookmark.ChangeStamp == index_->ChangeStamp())
        target = bookmark.Position;
    else
        target = bookmark.RecordNumber == 0 ? 0 : index_->PositionOf(bookmark.RecordNumber);
    if (target == 0) return BeforeFirst();
    if (target > index_->Count()) return AfterLast();
    GoTo(target);
    status_ = bookmark.Status;
}

void Cursor::SwitchTo(DSIDX& index) {
    const bool onRecord = OnRecord();
    const TBookmarkBlock bookmark = Bookmark();
    index_ = &Built(index);
    seenStamp_ = index.ChangeStamp();
    if (!onRecord) return BeforeFirst();
    Resolve(bookmark);
}
