#pragma once
// RecordStore: the table's base. It holds the field layout, the records (indexed
// by record number: each record's values and whether they are null; one status
// byte per record), the auto-increment field and counter, the change count, the
// locale and the indexes in creation order.
//
// An integer field has an array of the values with their null flags. A text
// field's bytes lie in that field's own arena; each record holds, side by side
// for all its text fields, where each text lies and how long it is, a null as a
// length no text has. So a text takes only its own bytes, not its field's full
// width; a walk reading one field touches only that field's bytes, and one
// reading several texts of a record finds all their places in one line. An arena
// only grows; a changed text is written anew and the old bytes stay unused until
// the store is discarded (the program reloads after every change, so little
// piles up).
//
// Record numbers start at 1 and follow the order of loading and inserting; they
// are never reused while the store lives, a deleted record keeps its slot. Slots
// grow in steps of 100. Slot SlotCount() + 1 is scratch room where a new or
// changed record is composed before the indexes are told of it.
//
// Every operation that reads or changes the store as a whole runs under Lock().
#include <cstdint>
#include <memory>
#include <mutex>
#include <optional>
#include <string_view>
#include <vector>

#include "memory/LargeBlocks.h"
#include "packet/PacketBuffer.h"
#include "table/Collation.h"
#include "table/FieldLayout.h"
#include "table/IndexDescriptor.h"
#include "table/RecordBuffer.h"
#include "table/ReentrantLock.h"

class DSIDX;

// Where the cursor stands when a record is inserted: a default-order index that
// is the cursor's index takes the new record at the cursor's position.
struct CursorHint {
    const DSIDX* Index = nullptr;
    std::uint32_t Position = 0;  // 0 when the cursor is not on a record
};

class RecordStore {
public:
    RecordStore(std::vector<FieldLayout> fields, std::uint32_t localeId);
    ~RecordStore();
    RecordStore(const RecordStore&) = delete;
    RecordStore& operator=(const RecordStore&) = delete;

    std::unique_lock<ReentrantLock> Lock() const { return std::unique_lock(lock_); }
    ReentrantLock& LockObject() const { return lock_; }

    // --- layout
    int FieldCount() const { return static_cast<int>(fields_.size()); }
    const std::vector<FieldLayout>& Fields() const { return fields_; }
    const FieldLayout& Field(int fieldNo) const { return fields_[fieldNo - 1]; }
    // Widens a text field (a load meeting a value longer than the column said).
    std::uint16_t WidenTextField(int fieldNo, int size);

    // --- records
    std::uint32_t SlotCount() const { return slotCount_; }
    std::uint32_t LiveCount() const { return liveCount_; }
    std::uint8_t Status(std::uint32_t recordNumber) const { return status_[recordNumber]; }
    // A record in use without the deleted mark (status bit 2).
    bool IsLive(std::uint32_t recordNumber) const;
    bool IsNull(std::uint32_t recordNumber, int fieldNo) const {
        return Field(fieldNo).IsText() ? Place(recordNumber, fieldNo).Length == kNullText
                                       : integers_[fieldNo - 1][recordNumber].Null;
    }
    // A null reads as the empty text and as 0.
    std::string_view Text(std::uint32_t recordNumber, int fieldNo) const {
        const TextRef ref = Place(recordNumber, fieldNo);
        if (ref.Length == kNullText) return {};
        return {arenas_[fieldNo - 1].data() + ref.Offset, ref.Length};
    }
    std::int32_t Integer(std::uint32_t recordNumber, int fieldNo) const { return integers_[fieldNo - 1][recordNumber].Value; }
    void ReadRecord(std::uint32_t recordNumber, RecordBuffer& record) const;
    // True when the buffer holds exactly what the store holds for the record.
    bool Holds(std::uint32_t recordNumber, const RecordBuffer& record) const;

    // Makes room for this many records at once (a load that knows roughly how
    // many rows follow); only an optimisation, failures are ignored.
    void Reserve(std::uint32_t slots);
    // A record read by a load, one value per field: stored as given (text cut
    // to the field's size and at a zero byte, trailing blanks kept), with its
    // status; no index is told.
    std::uint16_t AppendLoaded(std::uint8_t status, const std::vector<FieldView>& record);
    // The records another store of the same fields took by AppendLoaded,
    // appended in their order as if this store had taken them: a load that
    // read the rows of one packet into two stores at once.
    std::uint16_t AppendLoadedStore(const RecordStore& other);
    // A posted new record, its texts stored as given (cut to their fields'
    // sizes): the auto-increment field gets the counter, every index takes it.
    // On failure nothing changed.
    std::uint16_t InsertRecord(const RecordBuffer& record, const CursorHint& hint, std::uint32_t& recordNumber);
    // A posted change of a record; on failure nothing changed.
    std::uint16_t ChangeRecord(std::uint32_t recordNumber, const RecordBuffer& record);
    std::uint16_t DeleteRecord(std::uint32_t recordNumber);

    // --- changes the table refuses (code 0x2A04), as a packet's parameters ask
    // ("READONLY" refuses all three)
    enum ChangeKind : unsigned { kInserts = 1, kEdits = 2, kDeletes = 4 };
    void RefuseChanges(unsigned kinds) { refusedChanges_ |= kinds; }

    // --- auto-increment, change tracking, change count, locale
    int AutoIncField() const { return autoIncField_; }  // 0: none
    void SetAutoIncField(int fieldNo) { autoIncField_ = fieldNo; }
    // The first field with subtype Autoinc and width 4, or 0.
    int FirstAutoIncCandidate() const;
    // The key the next insert gets. A key is never 0 or negative, and never
    // wraps: once the counter has passed the largest 32-bit value, every insert
    // is refused (0x2603).
    std::int64_t AutoIncValue() const { return autoIncValue_; }
    // After a load: the declared counter, unless it would hand out a key that
    // is not above every key the records hold (none declared, 0, negative, or
    // behind the keys); then one more than the largest key, 1 when there is none.
    void SettleAutoIncValue(std::optional<std::int32_t> declared);
    bool TrackChanges() const { return trackChanges_; }
    void SetTrackChanges(bool track) { trackChanges_ = track; }
    std::uint32_t ChangeCount() const { return changeCount_; }
    std::uint32_t LocaleId() const { return localeId_; }
    void SetLocaleId(std::uint32_t localeId);
    const Collation& CollationFor(bool caseInsensitive) const;

    // --- indexes, in creation order; the default order is always the first
    const std::vector<std::unique_ptr<DSIDX>>& Indexes() const { return indexes_; }
    DSIDX& DefaultOrder() const { return *indexes_.front(); }
    // Names compare by the table's collation, case-sensitive; "" is the default order.
    DSIDX* FindIndex(std::string_view name) const;
    // Adds and builds an index, or accepts an identical one; codes 0x2601,
    // 0x2710, 0x2719, 0x2733. A failure leaves the indexes as they were.
    std::uint16_t CreateIndex(const IndexDescriptor& descriptor);
    // Rebuilds every index from the records (after a load).
    std::uint16_t RebuildIndexes();
    // Removes an index other than the default order; false when there is none
    // of that name. A built index is set aside while the records and the locale
    // stay as they are, and an index created again with its definition takes
    // its order instead of sorting anew: the same order a build would give.
    bool DeleteIndex(std::string_view name);
    // How the default order got its keys: by creating an index named for it (as
    // opposed to a packet parameter), and whether it is marked unique (1) or
    // primary (2).
    bool DefaultOrderKeysFromDefinition() const { return defaultOrderKeysFromDefinition_; }
    int DefaultOrderKeyKind() const { return defaultOrderKeyKind_; }
    void SetDefaultOrderKeyKind(int kind) { defaultOrderKeyKind_ = kind; }
    // Gives the default order keys read from a packet.
    void SetDefaultOrderKeys(IndexDescriptor descriptor);

    // --- parameters read from a packet and written back
    std::vector<StoredParam>& TableParams() { return tableParams_; }
    const std::vector<StoredParam>& TableParams() const { return tableParams_; }

private:
    // Where a text lies in its field's arena; a null has the length kNullText.
    static constexpr std::uint32_t kNullText = 0xFFFFFFFFu;
    struct TextRef {
        std::uint32_t Offset = 0;
        std::uint32_t Length = kNullText;
    };
    struct IntegerValue {
        std::int32_t Value = 0;
        bool Null = true;
    };

    std::uint16_t EnsureSlot(std::uint32_t recordNumber);
    // Fills a slot from one value per field (FieldValue or FieldView); 0x2501
    // when the arena cannot take the texts.
    template <class Value>
    std::uint16_t WriteSlot(std::uint32_t recordNumber, const std::vector<Value>& record);
    void StoreText(std::uint32_t recordNumber, int fieldNo, std::string_view text);
    void CopySlot(std::uint32_t from, std::uint32_t to);

    mutable ReentrantLock lock_;
    std::vector<FieldLayout> fields_;
    std::vector<memory::Vector<IntegerValue>> integers_;  // per integer field: value per slot
    // The places of one slot's texts lie side by side, one per text field in
    // field order, so that reading several texts of a record touches one line;
    // textColumn_ gives a text field's place within a slot.
    memory::Vector<TextRef> textPlaces_;
    std::vector<std::size_t> textColumn_;  // per field
    std::size_t textFieldCount_ = 0;
    TextRef& Place(std::uint32_t recordNumber, int fieldNo) {
        return textPlaces_[recordNumber * textFieldCount_ + textColumn_[fieldNo - 1]];
    }
    const TextRef& Place(std::uint32_t recordNumber, int fieldNo) const {
        return textPlaces_[recordNumber * textFieldCount_ + textColumn_[fieldNo - 1]];
    }
    // Per field, the bytes of its stored texts: a walk that reads one field
    // touches only that field's bytes, not whole records.
    std::vector<PacketBuffer> arenas_;
    memory::Vector<std::uint8_t> status_;
    std::uint32_t capacity_ = 0;  // slots 1..capacity_ exist
    std::uint32_t slotCount_ = 0;
    std::uint32_t liveCount_ = 0;
    int autoIncField_ = 0;
    std::int64_t autoIncValue_ = 1;
    bool trackChanges_ = true;
    unsigned refusedChanges_ = 0;  // ChangeKind bits
    std::uint32_t changeCount_ = 0;
    std::uint32_t localeId_ = 0;
    mutable std::unique_ptr<Collation> caseSensitive_;
    mutable std::unique_ptr<Collation> caseInsensitive_;
    std::vector<std::unique_ptr<DSIDX>> indexes_;
    std::uint32_t nextIndexId_ = 1;
    // Deleted indexes kept for CreateIndex, valid while the change count and
    // the locale are those they were deleted at; the oldest goes beyond a few.
    struct SetAsideIndex {
        std::unique_ptr<DSIDX> Index;
        std::uint32_t ChangeCount;
        std::uint32_t LocaleId;
    };
    std::vector<SetAsideIndex> setAside_;
    std::unique_ptr<DSIDX> TakeSetAside(const IndexDescriptor& wanted);
    bool defaultOrderKeysFromDefinition_ = false;
    int defaultOrderKeyKind_ = 0;
    std::vector<StoredParam> tableParams_;
};
