#pragma once
// The state behind TClientDataSet: the base and its cursor while the table is
// open, the edit state and buffer, the current record's bookmark, the end flags
// and the attached views.
//
// Invariant while browsing: the cursor stands on the current record, or before
// the first record when the table is empty.
#include <memory>
#include <string>
#include <vector>

#include "table/ClientDataSet.h"
#include "table/Cursor.h"
#include "table/RecordBuffer.h"
#include "table/RecordStore.h"

struct TClientDataSet::Impl {
    explicit Impl(TClientDataSet& owner) : owner(owner) {}

    TClientDataSet& owner;
    TFieldDefs fieldDefs;
    TIndexDefs indexDefs;
    bool indexDefsStale = false;
    std::string fileName;
    std::vector<std::string> loadOnly;  // see LoadOnly
    std::string indexName;  // the chosen index while the table is closed

    std::unique_ptr<RecordStore> store;
    std::unique_ptr<Cursor> cursor;
    std::vector<std::unique_ptr<TField>> fields;

    TDataSetState state = dsInactive;
    RecordBuffer buffer;
    // Which fields of the buffer were assigned in this edit: only their texts
    // lose trailing blanks at Post, a loaded value keeps what the file held.
    std::vector<bool> assigned;
    TBookmarkBlock currentBookmark{};
    bool atStart = true;
    bool atEnd = true;

    std::vector<TDataSetView*> views;
    int freezeCount = 0;

    // Walk holds on the present base's lock; the generation counts the bases, so
    // that a hold outliving its base knows there is nothing left to free.
    int walkHolds = 0;
    std::uint64_t baseGeneration = 0;

    bool Active() const { return store != nullptr; }
    void CheckActive() const;
    // Settles a pending edit or insert: posts a buffer with assigned fields,
    // cancels an untouched one.
    void CheckBrowseMode();
    bool HasCurrent() const { return cursor && cursor->OnRecord(); }
    // Notes the record the cursor landed on as the current one.
    void Fetched();
    // After an operation that re-placed the cursor: the end flags say only
    // whether the table is empty.
    void Refetched();

    // Takes over a new base and opens it on the given index with the first record current.
    void Open(std::unique_ptr<RecordStore> base, DSIDX& index);
    // Drops the base, cursor, fields and edit state.
    void Discard();
    // The same, but hands the base over instead of freeing it.
    std::unique_ptr<RecordStore> Release();
    // Frees the lock of every walk hold on the present base before it goes.
    void EndWalkHolds();

    // The value of a field in the record being edited or the current record
    // (null without one), and of a field in a stored record. The text is not
    // copied: it stays valid until the table changes, and the caller holds the
    // base's lock while it reads it.
    FieldView CurrentView(int fieldNo) const;
    FieldView ViewAt(std::uint32_t recordNumber, int fieldNo) const;
    // Raises "Field '...' was not loaded" for a field the load left unread.
    void CheckLoaded(int fieldNo) const {
        if (store->Field(fieldNo).Unread) RefuseUnread(fieldNo);
    }
    [[noreturn]] void RefuseUnread(int fieldNo) const;
    // "Dataset not in edit or insert mode" outside the edit states.
    void CheckEditing() const;
    // The edited record's value, marked as assigned.
    FieldValue& EditableValue(int fieldNo);
    // A new buffer for an edit or insert: nothing assigned yet.
    void StartBuffer();
    // Drops the buffer on leaving an edit state.
    void EndBuffer();

    void BuildIndexFrom(const TIndexDef& definition);
    void RereadIndexDefs();

    void NotifyChanged();
    void NotifyMoved();

    // Raises EDBClient for a nonzero engine code.
    static void Check(std::uint16_t code);
};

// What AsString and the views show: the text, or an integer's decimal form; ""
// for a null.
inline std::string DisplayText(const FieldView& value, bool isText) {
    if (value.Null) return {};
    return isText ? std::string(value.Text) : std::to_string(value.Integer);
}
