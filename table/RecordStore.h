#pragma once
// RecordStore: the table's base. It keeps the indexes (in creation order, the
// default order always first) up to date with the records it holds: a posted
// new, changed or deleted record reaches the records and every index together,
// or neither. The records themselves are RecordData's, the parameters a packet
// sets are StoreParameters'.
#include <cstdint>
#include <memory>
#include <optional>
#include <string_view>
#include <vector>

#include "packet/PacketStatus.h"
#include "table/FieldLayout.h"
#include "table/IndexDescriptor.h"
#include "table/RecordBuffer.h"
#include "table/RecordData.h"
#include "table/StoreParameters.h"

class DSIDX;

// Where the cursor stands when a record is inserted: a default-order index that
// is the cursor's index takes the new record at the cursor's position.
struct CursorHint {
    const DSIDX* Index = nullptr;
    std::uint32_t Position = 0;  // 0 when the cursor is not on a record
};

class RecordStore : public RecordData, public StoreParameters {
public:
    RecordStore(std::vector<FieldLayout> fields, std::uint32_t localeId);
    ~RecordStore();

    // A posted new record, its texts stored as given (cut to their fields'
    // sizes): the auto-increment field gets the counter, every index takes it.
    // On failure nothing changed.
    pkt::Status InsertRecord(const RecordBuffer& record, const CursorHint& hint, std::uint32_t& recordNumber);
    // A posted change of a record; on failure nothing changed.
    pkt::Status ChangeRecord(std::uint32_t recordNumber, const RecordBuffer& record);
    pkt::Status DeleteRecord(std::uint32_t recordNumber);

    // After a load: the declared counter, unless it would hand out a key that
    // is not above every key the records hold (none declared, 0, negative, or
    // behind the keys); then one more than the largest key, 1 when there is none.
    void SettleAutoIncValue(std::optional<std::int32_t> declared);
    // Also makes the indexes compare by the new locale.
    void SetLocaleId(std::uint32_t localeId);

    // --- indexes, in creation order; the default order is always the first
    const std::vector<std::unique_ptr<DSIDX>>& Indexes() const { return indexes_; }
    DSIDX& DefaultOrder() const { return *indexes_.front(); }
    // Names compare by the table's collation, case-sensitive; "" is the default order.
    DSIDX* FindIndex(std::string_view name) const;
    // Adds and builds an index, or accepts an identical one; codes 0x2601,
    // 0x2710, 0x2719, 0x2733. A failure leaves the indexes as they were.
    pkt::Status CreateIndex(const IndexDescriptor& descriptor);
    // Rebuilds every index from the records (after a load).
    pkt::Status RebuildIndexes();
    // Removes an index other than the default order; false when there is none
    // of that name. A built index is set aside while the records and the locale
    // stay as they are, and an index created again with its definition takes
    // its order instead of sorting anew: the same order a build would give.
    bool DeleteIndex(std::string_view name);
    // Gives the default order keys read from a packet.
    void SetDefaultOrderKeys(IndexDescriptor descriptor);

private:
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
};
