// TClientDataSet: cursor moves, bookmarks, views and reading rows for views.
#include "table/ClientDataSet.h"

#include <algorithm>
#include <charconv>
#include <optional>
#include <vector>

#include "table/ClientDataSetImpl.h"
#include "table/DSIDX.h"

namespace {

// First and Last: from one end, the nearest record becomes current; the flag of
// that end is set in any case, the other one only for an empty table.
void FromEnd(TClientDataSet::Impl& d, bool start) {
    d.CheckBrowseMode();
    auto lock = d.store->Lock();
    if (start) d.cursor->BeforeFirst(); else d.cursor->AfterLast();
    d.cursor->Move(start ? 1 : -1);
    d.Fetched();
    d.atStart = start || !d.HasCurrent();
    d.atEnd = !start || !d.HasCurrent();
    d.NotifyMoved();
}

// Next and Prior: one step; at an end the flag is set and the current record stays.
void Step(TClientDataSet::Impl& d, bool forward) {
    d.CheckBrowseMode();
    if (forward ? d.atEnd : d.atStart) return;
    auto lock = d.store->Lock();
    d.atStart = d.atEnd = false;
    const Cursor before = *d.cursor;
    d.cursor->Move(forward ? 1 : -1);
    if (d.HasCurrent()) {
        d.Fetched();
        d.NotifyMoved();
    } else {
        *d.cursor = before;
        (forward ? d.atEnd : d.atStart) = true;
    }
}

}  // namespace

void TClientDataSet::First() { FromEnd(*impl_, true); }
void TClientDataSet::Last() { FromEnd(*impl_, false); }
void TClientDataSet::Next() { Step(*impl_, true); }
void TClientDataSet::Prior() { Step(*impl_, false); }

bool TClientDataSet::AtEnd() const { return impl_->atEnd; }
bool TClientDataSet::AtStart() const { return impl_->atStart; }

int TClientDataSet::CountRecords() const {
    impl_->CheckActive();
    return static_cast<int>(impl_->cursor->Index().Count());
}

TBookmark TClientDataSet::TakeBookmark() {
    const Impl& d = *impl_;
    if (!d.Active() || d.state == dsInsert || !d.HasCurrent()) return std::nullopt;
    return d.currentBookmark;
}

void TClientDataSet::ReturnToBookmark(const TBookmark& bookmark) {
    if (!bookmark) return;
    Impl& d = *impl_;
    d.CheckBrowseMode();
    auto lock = d.store->Lock();
    const Cursor before = *d.cursor;
    d.cursor->Resolve(*bookmark);
    if (!d.HasCurrent()) {
        *d.cursor = before;
        throw EDatabaseError(dbtext::RecordNotFound);
    }
    d.Refetched();
    d.NotifyChanged();
}

void TClientDataSet::ReleaseBookmark(TBookmark& bookmark) { bookmark.reset(); }

// --- views

void TClientDataSet::AttachView(TDataSetView& view) {
    if (std::find(impl_->views.begin(), impl_->views.end(), &view) == impl_->views.end())
        impl_->views.push_back(&view);
}

void TClientDataSet::DetachView(TDataSetView& view) {
    auto& views = impl_->views;
    views.erase(std::remove(views.begin(), views.end(), &view), views.end());
}

void TClientDataSet::FreezeViews() { ++impl_->freezeCount; }

void TClientDataSet::ReleaseViews() {
    if (impl_->freezeCount == 0) return;
    if (--impl_->freezeCount == 0) impl_->NotifyChanged();
}

bool TClientDataSet::ViewsFrozen() const { return impl_->freezeCount > 0; }

TClientDataSet::TWalkHold::TWalkHold(Impl& impl)
    : impl_(impl), generation_(impl.baseGeneration), holding_(impl.Active()) {
    if (!holding_) return;
    impl_.store->LockObject().lock();
    ++impl_.walkHolds;
}

TClientDataSet::TWalkHold::~TWalkHold() {
    if (!holding_ || generation_ != impl_.baseGeneration) return;
    --impl_.walkHolds;
    impl_.store->LockObject().unlock();
}

TClientDataSet::TWalkHold TClientDataSet::HoldForWalk() const { return TWalkHold(*impl_); }

int TClientDataSet::CurrentRow() const {
    const Impl& d = *impl_;
    return d.HasCurrent() ? static_cast<int>(d.cursor->Position()) - 1 : -1;
}

namespace {
// The record at a 0-based row of the active index, or 0 when there is none.
std::uint32_t RecordAtRow(const TClientDataSet::Impl& d, int row, int fieldNo) {
    if (!d.Active() || row < 0 || fieldNo < 1 || fieldNo > d.store->FieldCount()) return 0;
    const DSIDX& index = d.cursor->Index();
    if (static_cast<std::uint32_t>(row) >= index.Count()) return 0;
    return index.RecordAt(static_cast<std::uint32_t>(row) + 1);
}

}  // namespace

std::string TClientDataSet::RowValue(int row, int fieldNo) const {
    const Impl& d = *impl_;
    const std::uint32_t recordNumber = RecordAtRow(d, row, fieldNo);
    if (recordNumber == 0) return {};
    auto lock = d.store->Lock();
    return DisplayText(d.ViewAt(recordNumber, fieldNo), d.store->Field(fieldNo).IsText());
}

bool TClientDataSet::RowValueIsNull(int row, int fieldNo) const {
    const Impl& d = *impl_;
    const std::uint32_t recordNumber = RecordAtRow(d, row, fieldNo);
    if (recordNumber == 0) return true;
    auto lock = d.store->Lock();
    d.CheckLoaded(fieldNo);
    return d.store->IsNull(recordNumber, fieldNo);
}

std::string_view TClientDataSet::TRowValues::Value(int fieldNo) const {
    const RecordStore& store = *impl_.store;
    if (fieldNo < 1 || fieldNo > store.FieldCount()) return {};
    impl_.CheckLoaded(fieldNo);
    // A null text reads as "" already.
    if (store.Field(fieldNo).IsText()) return store.Text(recordNumber_, fieldNo);
    if (store.IsNull(recordNumber_, fieldNo)) return {};
    const auto end =
        std::to_chars(digits_.data(), digits_.data() + digits_.size(), store.Integer(recordNumber_, fieldNo)).ptr;
    return {digits_.data(), static_cast<std::size_t>(end - digits_.data())};
}

std::optional<std::int32_t> TClientDataSet::TRowValues::Integer(int fieldNo) const {
    const RecordStore& store = *impl_.store;
    if (fieldNo < 1 || fieldNo > store.FieldCount() || store.Field(fieldNo).IsText()) return std::nullopt;
    impl_.CheckLoaded(fieldNo);
    return store.IsNull(recordNumber_, fieldNo) ? 0 : store.Integer(recordNumber_, fieldNo);
}

bool TClientDataSet::TRowValues::SameValue(int fieldNo, const TRowValues& other, int otherFieldNo) const {
    const RecordStore& store = *impl_.store;
    const RecordStore& otherStore = *other.impl_.store;
    const bool inRange = fieldNo >= 1 && fieldNo <= store.FieldCount() && otherFieldNo >= 1 &&
                         otherFieldNo <= otherStore.FieldCount();
    if (inRange) {
        impl_.CheckLoaded(fieldNo);
        other.impl_.CheckLoaded(otherFieldNo);
    }
    if (inRange && store.Field(fieldNo).IsText() && otherStore.Field(otherFieldNo).IsText())
        return store.Text(recordNumber_, fieldNo) == otherStore.Text(other.recordNumber_, otherFieldNo);
    if (inRange && !store.Field(fieldNo).IsText() && !otherStore.Field(otherFieldNo).IsText()) {
        const bool null = store.IsNull(recordNumber_, fieldNo);
        return null == otherStore.IsNull(other.recordNumber_, otherFieldNo) &&
               (null || store.Integer(recordNumber_, fieldNo) == otherStore.Integer(other.recordNumber_, otherFieldNo));
    }
    // A text against an integer, or a field that is not there: as they read.
    return Value(fieldNo) == other.Value(otherFieldNo);
}

int TClientDataSet::FirstRowWhere(int fromRow, const std::function<bool(const TRowValues&)>& test) const {
    // A search from the current record often stops within a few rows.
    constexpr std::uint32_t kRowsTriedInOrder = 64;
    const Impl& d = *impl_;
    if (!d.Active()) return -1;
    auto lock = d.store->Lock();
    const DSIDX& index = d.cursor->Index();
    const std::uint32_t first = static_cast<std::uint32_t>(std::max(fromRow, 0)) + 1;
    const std::uint32_t count = index.Count();
    if (first > count) return -1;
    TRowValues values(d);
    const std::uint32_t lastInOrder = std::min(count, first + kRowsTriedInOrder - 1);
    for (std::uint32_t position = first; position <= lastInOrder; ++position) {
        values.recordNumber_ = index.RecordAt(position);
        if (test(values)) return static_cast<int>(position) - 1;
    }
    if (lastInOrder == count) return -1;
    // Each remaining row's position, by record number (0 for the others); then
    // the records in storage order, the earliest position that passes winning.
    std::vector<std::uint32_t> positionOf(static_cast<std::size_t>(d.store->SlotCount()) + 1, 0);
    for (std::uint32_t position = lastInOrder + 1; position <= count; ++position)
        positionOf[index.RecordAt(position)] = position;
    std::uint32_t found = 0;
    for (std::uint32_t recordNumber = 1; recordNumber < positionOf.size(); ++recordNumber) {
        const std::uint32_t position = positionOf[recordNumber];
        if (position == 0 || (found != 0 && position > found)) continue;
        values.recordNumber_ = recordNumber;
        if (test(values)) found = position;
    }
    return found == 0 ? -1 : static_cast<int>(found) - 1;
}

TClientDataSet::TRowValues TClientDataSet::RecordValues(std::uint32_t record) const {
    const Impl& d = *impl_;
    if (!d.Active() || !d.store->IsLive(record)) throw EDatabaseError(dbtext::RecordNotFound);
    TRowValues values(d);
    values.recordNumber_ = record;
    return values;
}

void TClientDataSet::GoToRow(int row) {
    Impl& d = *impl_;
    d.CheckBrowseMode();
    auto lock = d.store->Lock();
    if (row < 0 || static_cast<std::uint32_t>(row) >= d.cursor->Index().Count()) return;
    d.cursor->GoTo(static_cast<std::uint32_t>(row) + 1);
    d.Refetched();
    d.NotifyMoved();
}
