// TClientDataSet: life cycle, edit states and record changes.
#include "table/ClientDataSet.h"

#include <algorithm>

#include "table/ClientDataSetImpl.h"
#include "table/DSIDX.h"
#include "table/TextFormat.h"

namespace {
constexpr std::size_t kMaxFieldNameLength = 31;

FieldLayout LayoutOf(const TFieldDef& definition) {
    FieldLayout field;
    field.Name = definition.Name;
    field.DataType = definition.DataType;
    switch (definition.DataType) {
        case ftString:
            if (definition.Size > kMaxTextSize) throw EDBClient(dberr::BufferTooSmall);
            field.Size = definition.Size > 0 ? definition.Size : 0;
            break;
        case ftInteger: break;
        case ftAutoInc: field.Subtype = subtype::AutoInc; break;
        default: throw EDatabaseError(FormatText(dbtext::UnknownFieldType, definition.Name));
    }
    if (definition.Required) field.Attributes |= caRequired;
    return field;
}
}  // namespace

// --- Impl

void TClientDataSet::Impl::CheckActive() const {
    if (!Active()) throw EDatabaseError(dbtext::ClosedDataset);
}

void TClientDataSet::Impl::Check(std::uint16_t code) {
    if (code != 0) throw EDBClient(code);
}

void TClientDataSet::Impl::CheckBrowseMode() {
    CheckActive();
    if (state != dsEdit && state != dsInsert) return;
    if (std::find(assigned.begin(), assigned.end(), true) != assigned.end())
        owner.Post();
    else
        owner.Cancel();
}

void TClientDataSet::Impl::Fetched() {
    if (HasCurrent()) currentBookmark = cursor->Bookmark();
}

void TClientDataSet::Impl::Refetched() {
    Fetched();
    atStart = atEnd = !HasCurrent();
}

void TClientDataSet::Impl::Open(std::unique_ptr<RecordStore> base, DSIDX& index) {
    EndWalkHolds();
    store = std::move(base);
    cursor = std::make_unique<Cursor>(index);
    fields.clear();
    for (int fieldNo = 1; fieldNo <= store->FieldCount(); ++fieldNo)
        fields.push_back(std::unique_ptr<TField>(new TField(owner, fieldNo)));
    state = dsBrowse;
    EndBuffer();
    cursor->Move(1);
    Fetched();
    atStart = true;
    atEnd = !HasCurrent();
    NotifyChanged();
}

void TClientDataSet::Impl::Discard() { Release(); }

std::unique_ptr<RecordStore> TClientDataSet::Impl::Release() {
    // The cursor and the fields refer to the base: they go before it leaves.
    if (cursor) indexName = owner.IndexName();
    cursor.reset();
    fields.clear();
    EndWalkHolds();
    std::unique_ptr<RecordStore> base = std::move(store);
    state = dsInactive;
    EndBuffer();
    atStart = atEnd = true;
    NotifyChanged();
    return base;
}

void TClientDataSet::Impl::EndWalkHolds() {
    for (; walkHolds > 0; --walkHolds) store->LockObject().unlock();
    ++baseGeneration;
}

void TClientDataSet::Impl::RefuseUnread(int fieldNo) const {
    throw EDatabaseError(FormatText(dbtext::FieldNotLoaded, store->Field(fieldNo).Name));
}

FieldView TClientDataSet::Impl::ViewAt(std::uint32_t recordNumber, int fieldNo) const {
    CheckLoaded(fieldNo);
    FieldView value;
    value.Null = store->IsNull(recordNumber, fieldNo);
    if (!value.Null) {
        if (store->Field(fieldNo).IsText())
            value.Text = store->Text(recordNumber, fieldNo);
        else
            value.Integer = store->Integer(recordNumber, fieldNo);
    }
    return value;
}

FieldView TClientDataSet::Impl::CurrentView(int fieldNo) const {
    if (state == dsEdit || state == dsInsert) {
        CheckLoaded(fieldNo);
        const FieldValue& value = buffer[fieldNo - 1];
        return {value.Null, value.Integer, value.Text};
    }
    if (!HasCurrent()) return {};
    return ViewAt(cursor->RecordNumber(), fieldNo);
}

void TClientDataSet::Impl::CheckEditing() const {
    if (state != dsEdit && state != dsInsert) throw EDatabaseError(dbtext::NotEditing);
}

FieldValue& TClientDataSet::Impl::EditableValue(int fieldNo) {
    CheckEditing();
    assigned[fieldNo - 1] = true;
    return buffer[fieldNo - 1];
}

void TClientDataSet::Impl::StartBuffer() {
    assigned.assign(buffer.size(), false);
}

void TClientDataSet::Impl::EndBuffer() {
    buffer.clear();
    assigned.clear();
}

void TClientDataSet::Impl::NotifyChanged() {
    if (freezeCount > 0) return;
    for (auto* view : std::vector<TDataSetView*>(views)) view->DataSetChanged();
}

void TClientDataSet::Impl::NotifyMoved() {
    if (freezeCount > 0) return;
    for (auto* view : std::vector<TDataSetView*>(views)) view->CurrentRecordChanged();
}

// --- life cycle

TClientDataSet::TClientDataSet() : impl_(std::make_unique<Impl>(*this)) {}

TClientDataSet::~TClientDataSet() {
    try {
        Close();
    } catch (...) {
        // A destructor cannot report the failed save; the base goes regardless.
    }
    if (impl_->Active()) impl_->Discard();
}

TFieldDefs& TClientDataSet::FieldDefs() { return impl_->fieldDefs; }

TIndexDefs& TClientDataSet::IndexDefs() {
    if (impl_->Active() && impl_->indexDefsStale) impl_->RereadIndexDefs();
    return impl_->indexDefs;
}

bool TClientDataSet::Active() const { return impl_->Active(); }
TDataSetState TClientDataSet::State() const { return impl_->state; }

void TClientDataSet::CreateEmpty() {
    Impl& d = *impl_;
    if (d.Active()) throw EDatabaseError(dbtext::OpenDataset);
    if (d.fieldDefs.Count() == 0) throw EDatabaseError(dbtext::NoFieldsDefined);
    std::vector<FieldLayout> layout;
    for (int i = 0; i < d.fieldDefs.Count(); ++i) {
        const TFieldDef& definition = d.fieldDefs[i];
        if (definition.Name.size() > kMaxFieldNameLength)
            throw EDatabaseError(FormatText(dbtext::FieldNameTooLong, definition.Name, kMaxFieldNameLength));
        layout.push_back(LayoutOf(definition));
    }
    auto base = std::make_unique<RecordStore>(std::move(layout), 0);
    base->SetAutoIncField(base->FirstAutoIncCandidate());
    for (int i = 0; i < d.indexDefs.Count(); ++i)
        Impl::Check(base->CreateIndex(IndexDescriptor::Encode(d.indexDefs[i], base->Fields())));
    DSIDX* index = base->FindIndex(d.indexName);
    if (!index) throw EDatabaseError(FormatText(dbtext::IndexNotFound, d.indexName));
    d.indexDefsStale = false;
    d.Open(std::move(base), *index);
}

void TClientDataSet::Close() {
    Impl& d = *impl_;
    if (!d.Active()) return;
    if (d.state == dsEdit || d.state == dsInsert) Cancel();
    // A failed save keeps the table open, so that nothing is lost with it.
    if (!d.fileName.empty() && d.store->ChangeCount() > 0) SaveToFile(d.fileName, dfBinary);
    d.Discard();
}

bool TClientDataSet::TrackChanges() const { return impl_->Active() ? impl_->store->TrackChanges() : true; }

void TClientDataSet::SetTrackChanges(bool track) {
    impl_->CheckActive();
    auto lock = impl_->store->Lock();
    impl_->store->SetTrackChanges(track);
}

const std::string& TClientDataSet::FileName() const { return impl_->fileName; }
void TClientDataSet::SetFileName(std::string fileName) { impl_->fileName = std::move(fileName); }

std::uint32_t TClientDataSet::Locale() const { return impl_->Active() ? impl_->store->LocaleId() : 0; }
std::uint32_t TClientDataSet::ChangeCount() const { return impl_->Active() ? impl_->store->ChangeCount() : 0; }

// --- fields

int TClientDataSet::FieldCount() const { return static_cast<int>(impl_->fields.size()); }

TField& TClientDataSet::Fields(int index) {
    if (index < 0 || index >= FieldCount()) throw EDatabaseError(FormatText(dbtext::IndexOutOfBounds, "", index));
    return *impl_->fields[index];
}

TField& TClientDataSet::FieldNamed(std::string_view name) {
    if (impl_->Active())
        if (const int fieldNo = FindFieldNumber(impl_->store->Fields(), name)) return *impl_->fields[fieldNo - 1];
    throw EDatabaseError(FormatText(dbtext::FieldNotFound, std::string(name)));
}

// --- records

void TClientDataSet::Insert() {
    Impl& d = *impl_;
    d.CheckBrowseMode();
    d.buffer.assign(d.store->FieldCount(), FieldValue{});
    d.StartBuffer();
    d.state = dsInsert;
    d.NotifyChanged();
}

void TClientDataSet::Edit() {
    Impl& d = *impl_;
    d.CheckActive();
    if (d.state == dsEdit || d.state == dsInsert) return;
    if (!d.HasCurrent()) return Insert();
    auto lock = d.store->Lock();
    d.store->ReadRecord(d.cursor->RecordNumber(), d.buffer);
    d.StartBuffer();
    d.state = dsEdit;
}

void TClientDataSet::Post() {
    Impl& d = *impl_;
    d.CheckActive();
    if (d.state != dsEdit && d.state != dsInsert) return;
    auto lock = d.store->Lock();
    const bool inserting = d.state == dsInsert;
    // What reaches the store: the texts assigned in this edit without their
    // trailing blanks. A failed post leaves the buffer as the caller filled it.
    RecordBuffer record = d.buffer;
    for (int fieldNo = 1; fieldNo <= d.store->FieldCount(); ++fieldNo) {
        std::string& text = record[fieldNo - 1].Text;
        if (d.assigned[fieldNo - 1] && d.store->Field(fieldNo).IsText()) text.erase(text.find_last_not_of(' ') + 1);
    }
    // An unchanged record posts as it is, whatever the rules for new values say.
    const bool unchanged = !inserting && d.store->Holds(d.cursor->RecordNumber(), record);
    for (int fieldNo = 1; fieldNo <= d.store->FieldCount() && !unchanged; ++fieldNo) {
        const FieldLayout& field = d.store->Field(fieldNo);
        // The auto-increment value is the engine's to give, so it cannot be missing.
        if (!field.IsRequired() || (inserting && fieldNo == d.store->AutoIncField())) continue;
        const FieldValue& value = record[fieldNo - 1];
        if (value.Null || (field.IsText() && value.Text.empty())) throw EDBClient(dberr::RequiredField);
    }
    if (inserting) {
        CursorHint hint{&d.cursor->Index(), d.HasCurrent() ? d.cursor->Position() : 0};
        std::uint32_t recordNumber = 0;
        Impl::Check(d.store->InsertRecord(record, hint, recordNumber));
        d.cursor->GoTo(d.cursor->Index().PositionOf(recordNumber));
    } else {
        if (!unchanged) Impl::Check(d.store->ChangeRecord(d.cursor->RecordNumber(), record));
        d.cursor->CatchUp();
    }
    d.state = dsBrowse;
    d.EndBuffer();
    d.Refetched();
    d.NotifyChanged();
}

void TClientDataSet::Cancel() {
    Impl& d = *impl_;
    d.CheckActive();
    if (d.state != dsEdit && d.state != dsInsert) return;
    d.state = dsBrowse;
    d.EndBuffer();
    d.NotifyChanged();
}

void TClientDataSet::Delete() {
    Impl& d = *impl_;
    d.CheckActive();
    auto lock = d.store->Lock();
    if (d.cursor->Index().Count() == 0) throw EDatabaseError(dbtext::EmptyDataset);
    if (d.state == dsInsert) return Cancel();
    if (d.state == dsEdit) Cancel();
    if (!d.HasCurrent()) return;
    Impl::Check(d.store->DeleteRecord(d.cursor->RecordNumber()));
    d.cursor->CatchUp();
    // The follower now holds the deleted record's place; after the last record
    // the one before becomes current.
    const std::uint32_t count = d.cursor->Index().Count();
    const std::uint32_t position = d.cursor->Position();
    if (count == 0)
        d.cursor->BeforeFirst();
    else
        d.cursor->GoTo(position >= 1 && position <= count ? position : count);
    d.Refetched();
    d.NotifyChanged();
}
