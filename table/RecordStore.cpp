#include "table/RecordStore.h"

#include <algorithm>
#include <limits>
#include <new>

#include "table/DSIDX.h"
#include "table/Errors.h"

RecordStore::RecordStore(std::vector<FieldLayout> fields, std::uint32_t localeId)
    : RecordData(std::move(fields), localeId) {
    IndexDescriptor defaultOrder;
    defaultOrder.Name = kDefaultOrderName;
    indexes_.push_back(std::make_unique<DSIDX>(*this, std::move(defaultOrder), nextIndexId_++));
}

RecordStore::~RecordStore() = default;

void RecordStore::SetLocaleId(std::uint32_t localeId) {
    RecordData::SetLocaleId(localeId);
    for (auto& index : indexes_) index->ForgetComparators();
}

pkt::Status RecordStore::InsertRecord(const RecordBuffer& record, const CursorHint& hint,
                                      std::uint32_t& recordNumber) {
    auto lock = Lock();
    if (refusedChanges_ & kInserts) return dberr::NotAllowed;
    if (autoIncField_ != 0 && autoIncValue_ > std::numeric_limits<std::int32_t>::max()) return dberr::KeysExhausted;
    const std::uint32_t slot = slotCount_ + 1;
    if (const auto code = EnsureSlot(slot)) return code;
    if (const auto code = WriteSlot(slot, record)) return code;
    if (autoIncField_ != 0) {
        integers_[autoIncField_ - 1][slot] = {static_cast<std::int32_t>(autoIncValue_), false};
    }
    status_[slot] = rsUnchanged;
    for (std::size_t i = 0; i < indexes_.size(); ++i) {
        const std::uint32_t cursorPosition = indexes_[i].get() == hint.Index ? hint.Position : 0;
        if (const auto code = indexes_[i]->Insert(slot, cursorPosition)) {
            for (std::size_t j = 0; j < i; ++j) indexes_[j]->Remove(slot);
            status_[slot] = rsFree;
            return code;
        }
    }
    slotCount_ = slot;
    ++liveCount_;
    if (autoIncField_ != 0) ++autoIncValue_;
    ++changeCount_;
    recordNumber = slot;
    return pkt::Ok;
}

pkt::Status RecordStore::ChangeRecord(std::uint32_t recordNumber, const RecordBuffer& record) {
    auto lock = Lock();
    if (refusedChanges_ & kEdits) return dberr::NotAllowed;
    const std::uint32_t candidate = slotCount_ + 1;
    if (const auto code = EnsureSlot(candidate)) return code;
    if (const auto code = WriteSlot(candidate, record)) return code;
    std::vector<DSIDX::Replacement> replacements(indexes_.size());
    for (std::size_t i = 0; i < indexes_.size(); ++i) {
        if (const auto code = indexes_[i]->Replace(recordNumber, candidate, replacements[i])) {
            for (std::size_t j = i; j-- > 0;) indexes_[j]->UndoReplacement(replacements[j], recordNumber);
            return code;
        }
    }
    CopySlot(candidate, recordNumber);
    for (std::size_t i = 0; i < indexes_.size(); ++i) indexes_[i]->CommitReplacement(replacements[i], recordNumber);
    ++changeCount_;
    return pkt::Ok;
}

pkt::Status RecordStore::DeleteRecord(std::uint32_t recordNumber) {
    auto lock = Lock();
    if (refusedChanges_ & kDeletes) return dberr::NotAllowed;
    if (!IsLive(recordNumber)) return pkt::Ok;
    status_[recordNumber] |= rsDeleted;
    for (auto& index : indexes_) index->Remove(recordNumber);
    --liveCount_;
    ++changeCount_;
    return pkt::Ok;
}

void RecordStore::SettleAutoIncValue(std::optional<std::int32_t> declared) {
    auto lock = Lock();
    std::int64_t next = std::max<std::int64_t>(declared.value_or(1), 1);
    if (autoIncField_ != 0) {
        // Deleted records count too: their keys were handed out once.
        for (std::uint32_t slot = 1; slot <= slotCount_; ++slot) {
            const IntegerValue& key = integers_[autoIncField_ - 1][slot];
            if (!key.Null) next = std::max<std::int64_t>(next, std::int64_t{key.Value} + 1);
        }
    }
    autoIncValue_ = next;
}

DSIDX* RecordStore::FindIndex(std::string_view name) const {
    if (name.empty()) return &DefaultOrder();
    name = name.substr(0, kMaxIndexNameLength);
    // Opening the collator costs more than a lookup: it is asked only about
    // names that the bytes alone cannot tell apart.
    for (const auto& index : indexes_) {
        const std::string_view candidate = index->Name();
        if (candidate == name) return index.get();
        if (Collation::SurelyUnequal(candidate, name)) continue;
        if (CollationFor(false).Compare(candidate, name) == 0) return index.get();
    }
    return nullptr;
}

pkt::Status RecordStore::CreateIndex(const IndexDescriptor& descriptor) {
    auto lock = Lock();
    IndexDescriptor wanted = descriptor;
    if (wanted.Name.empty()) wanted.Name = kDefaultOrderName;
    for (const int fieldNo : wanted.Fields)
        if (fieldNo < 1 || fieldNo > FieldCount() || Field(fieldNo).DataType == ftUnknown) return dberr::InvalidKeyType;
    DSIDX* existing = FindIndex(wanted.Name);
    if (existing == &DefaultOrder()) {
        if (existing->HasKeys() || existing->WasRedefined()) return dberr::DefaultOrderRedefined;
        if (const auto code = existing->RedefineAndBuild(wanted)) return code;
        defaultOrderKeysFromDefinition_ = true;
        defaultOrderKeyKind_ = wanted.Primary ? 2 : (wanted.Unique ? 1 : 0);
        return pkt::Ok;
    }
    if (existing) return existing->Descriptor().SameDefinition(wanted) ? dberr::Ok : dberr::IndexExists;
    std::unique_ptr<DSIDX> index = TakeSetAside(wanted);
    const bool setAside = index != nullptr;
    if (setAside) {
        index->Rename(wanted.Name);
    } else {
        index = std::make_unique<DSIDX>(*this, std::move(wanted), nextIndexId_);
        if (const auto code = index->Build()) return code;
    }
    try {
        indexes_.push_back(std::move(index));
    } catch (const std::bad_alloc&) {
        return dberr::NoMemory;
    }
    if (!setAside) ++nextIndexId_;
    return pkt::Ok;
}

bool RecordStore::DeleteIndex(std::string_view name) {
    auto lock = Lock();
    DSIDX* const index = FindIndex(name);
    if (!index || index->IsDefaultOrder()) return false;
    const auto place = std::find_if(indexes_.begin(), indexes_.end(), [&](const auto& held) { return held.get() == index; });
    std::unique_ptr<DSIDX> removed = std::move(*place);
    indexes_.erase(place);
    if (!removed->Built()) return true;
    constexpr std::size_t kMostSetAside = 8;
    try {
        if (setAside_.size() == kMostSetAside) setAside_.erase(setAside_.begin());
        setAside_.push_back({std::move(removed), ChangeCount(), LocaleId()});
    } catch (const std::bad_alloc&) {
        // Only a shortcut is lost: the index is built anew when it is wanted.
    }
    return true;
}

std::unique_ptr<DSIDX> RecordStore::TakeSetAside(const IndexDescriptor& wanted) {
    std::unique_ptr<DSIDX> found;
    for (auto kept = setAside_.begin(); kept != setAside_.end(); ++kept) {
        const IndexDescriptor& held = kept->Index->Descriptor();
        if (kept->ChangeCount != ChangeCount() || kept->LocaleId != LocaleId()) continue;
        if (!held.SameDefinition(wanted) || held.Primary != wanted.Primary) continue;
        found = std::move(kept->Index);
        setAside_.erase(kept);
        break;
    }
    return found;
}

void RecordStore::SetDefaultOrderKeys(IndexDescriptor descriptor) { DefaultOrder().Redefine(std::move(descriptor)); }

pkt::Status RecordStore::RebuildIndexes() {
    auto lock = Lock();
    for (auto& index : indexes_)
        if (const auto code = index->Build()) return code;
    return pkt::Ok;
}
