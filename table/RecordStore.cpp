#include "table/RecordStore.h"

#include <algorithm>
#include <cstring>
#include <limits>
#include <new>

#include "table/DSIDX.h"
#include "table/Errors.h"

namespace {
constexpr std::uint32_t kSlotGrowth = 100;

}  // namespace

RecordStore::RecordStore(std::vector<FieldLayout> fields, std::uint32_t localeId)
    : fields_(std::move(fields)), integers_(fields_.size()), textColumn_(fields_.size()), localeId_(localeId) {
    arenas_.reserve(fields_.size());
    for (std::size_t f = 0; f < fields_.size(); ++f) {
        arenas_.emplace_back(0);
        if (fields_[f].IsText()) textColumn_[f] = textFieldCount_++;
    }
    IndexDescriptor defaultOrder;
    defaultOrder.Name = kDefaultOrderName;
    indexes_.push_back(std::make_unique<DSIDX>(*this, std::move(defaultOrder), nextIndexId_++));
    EnsureSlot(1);
}

RecordStore::~RecordStore() = default;

void RecordStore::SetLocaleId(std::uint32_t localeId) {
    localeId_ = localeId;
    caseSensitive_.reset();
    caseInsensitive_.reset();
    for (auto& index : indexes_) index->MakeComparators();
}

const Collation& RecordStore::CollationFor(bool caseInsensitive) const {
    auto& slot = caseInsensitive ? caseInsensitive_ : caseSensitive_;
    if (!slot) slot = std::make_unique<Collation>(localeId_, caseInsensitive);
    return *slot;
}

std::uint16_t RecordStore::EnsureSlot(std::uint32_t recordNumber) {
    if (recordNumber <= capacity_) return 0;
    std::uint32_t capacity = capacity_;
    while (capacity < recordNumber) capacity += kSlotGrowth;
    try {
        for (std::size_t f = 0; f < fields_.size(); ++f)
            if (!fields_[f].IsText()) integers_[f].resize(capacity + 1);
        textPlaces_.resize((static_cast<std::size_t>(capacity) + 1) * textFieldCount_);
        status_.resize(capacity + 1, rsFree);
    } catch (const std::bad_alloc&) {
        return dberr::NoMemory;
    }
    capacity_ = capacity;
    return 0;
}

void RecordStore::Reserve(std::uint32_t slots) {
    try {
        const std::size_t count = static_cast<std::size_t>(slots) + kSlotGrowth + 1;
        for (std::size_t f = 0; f < fields_.size(); ++f)
            if (!fields_[f].IsText()) integers_[f].reserve(count);
        textPlaces_.reserve(count * textFieldCount_);
        status_.reserve(count);
    } catch (const std::bad_alloc&) {
    }
}

// Texts live in the arena at any length, so widening only changes the layout.
std::uint16_t RecordStore::WidenTextField(int fieldNo, int size) {
    fields_[fieldNo - 1].Size = size;
    return 0;
}

// Only the deleted mark hides a record: a loaded row keeps whatever other
// status bits its packet gave it.
bool RecordStore::IsLive(std::uint32_t recordNumber) const {
    return recordNumber >= 1 && recordNumber <= slotCount_ && (status_[recordNumber] & rsDeleted) == 0;
}

void RecordStore::ReadRecord(std::uint32_t recordNumber, RecordBuffer& record) const {
    record.assign(fields_.size(), FieldValue{});
    for (int fieldNo = 1; fieldNo <= FieldCount(); ++fieldNo) {
        FieldValue& value = record[fieldNo - 1];
        value.Null = IsNull(recordNumber, fieldNo);
        if (value.Null) continue;
        if (Field(fieldNo).IsText())
            value.Text = Text(recordNumber, fieldNo);
        else
            value.Integer = Integer(recordNumber, fieldNo);
    }
}

bool RecordStore::Holds(std::uint32_t recordNumber, const RecordBuffer& record) const {
    for (int fieldNo = 1; fieldNo <= FieldCount(); ++fieldNo) {
        const FieldValue& value = record[fieldNo - 1];
        if (value.Null != IsNull(recordNumber, fieldNo)) return false;
        if (value.Null) continue;
        if (Field(fieldNo).IsText()) {
            if (Text(recordNumber, fieldNo) != std::string_view(value.Text).substr(0, Field(fieldNo).Size)) return false;
        } else if (Integer(recordNumber, fieldNo) != value.Integer) {
            return false;
        }
    }
    return true;
}

void RecordStore::StoreText(std::uint32_t recordNumber, int fieldNo, std::string_view text) {
    TextRef& ref = Place(recordNumber, fieldNo);
    PacketBuffer& arena = arenas_[fieldNo - 1];
    if (text.size() >= kNullText || text.size() > std::numeric_limits<std::uint32_t>::max() - arena.size())
        throw std::bad_alloc();
    ref.Offset = static_cast<std::uint32_t>(arena.size());
    ref.Length = static_cast<std::uint32_t>(text.size());
    arena.append(text);
}

template <class Value>
std::uint16_t RecordStore::WriteSlot(std::uint32_t recordNumber, const std::vector<Value>& record) {
    try {
        for (int fieldNo = 1; fieldNo <= FieldCount(); ++fieldNo) {
            const FieldLayout& field = Field(fieldNo);
            const Value& value = record[fieldNo - 1];
            if (field.IsText()) {
                if (value.Null) {
                    Place(recordNumber, fieldNo) = TextRef{};
                    continue;
                }
                std::string_view text = std::string_view(value.Text).substr(0, field.Size);
                text = text.substr(0, text.find('\0'));
                StoreText(recordNumber, fieldNo, text);
            } else {
                integers_[fieldNo - 1][recordNumber] = {value.Null ? 0 : value.Integer, value.Null};
            }
        }
    } catch (const std::bad_alloc&) {
        return dberr::NoMemory;
    }
    return 0;
}

void RecordStore::CopySlot(std::uint32_t from, std::uint32_t to) {
    for (int fieldNo = 1; fieldNo <= FieldCount(); ++fieldNo) {
        if (Field(fieldNo).IsText())
            Place(to, fieldNo) = Place(from, fieldNo);
        else
            integers_[fieldNo - 1][to] = integers_[fieldNo - 1][from];
    }
}

std::uint16_t RecordStore::AppendLoaded(std::uint8_t status, const std::vector<FieldView>& record) {
    auto lock = Lock();
    const std::uint32_t recordNumber = slotCount_ + 1;
    if (const auto code = EnsureSlot(recordNumber)) return code;
    if (const auto code = WriteSlot(recordNumber, record)) return code;
    status_[recordNumber] = status;
    slotCount_ = recordNumber;
    if (IsLive(recordNumber)) ++liveCount_;
    ++changeCount_;
    return 0;
}

std::uint16_t RecordStore::AppendLoadedStore(const RecordStore& other) {
    auto lock = Lock();
    const std::uint32_t count = other.slotCount_;
    if (count > std::numeric_limits<std::uint32_t>::max() - slotCount_ - 1) return dberr::NoMemory;
    // A text's place is an offset into its arena: the arenas together must fit
    // the offsets, as they must when every record is appended on its own.
    for (std::size_t f = 0; f < fields_.size(); ++f)
        if (other.arenas_[f].size() > std::numeric_limits<std::uint32_t>::max() - arenas_[f].size())
            return dberr::NoMemory;
    const std::uint32_t first = slotCount_ + 1;
    if (const auto code = EnsureSlot(slotCount_ + count)) return code;
    try {
        for (std::size_t f = 0; f < fields_.size(); ++f) {
            const int fieldNo = static_cast<int>(f + 1);
            if (!fields_[f].IsText()) {
                std::copy_n(other.integers_[f].begin() + 1, count, integers_[f].begin() + first);
                continue;
            }
            const auto shift = static_cast<std::uint32_t>(arenas_[f].size());
            arenas_[f].append(other.arenas_[f].view());
            for (std::uint32_t r = 0; r < count; ++r) {
                TextRef ref = other.Place(1 + r, fieldNo);
                if (ref.Length != kNullText) ref.Offset += shift;
                Place(first + r, fieldNo) = ref;
            }
        }
    } catch (const std::bad_alloc&) {
        return dberr::NoMemory;
    }
    std::copy_n(other.status_.begin() + 1, count, status_.begin() + first);
    slotCount_ += count;
    liveCount_ += other.liveCount_;
    changeCount_ += other.changeCount_;
    return 0;
}

std::uint16_t RecordStore::InsertRecord(const RecordBuffer& record, const CursorHint& hint,
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
    return 0;
}

std::uint16_t RecordStore::ChangeRecord(std::uint32_t recordNumber, const RecordBuffer& record) {
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
    return 0;
}

std::uint16_t RecordStore::DeleteRecord(std::uint32_t recordNumber) {
    auto lock = Lock();
    if (refusedChanges_ & kDeletes) return dberr::NotAllowed;
    if (!IsLive(recordNumber)) return 0;
    status_[recordNumber] |= rsDeleted;
    for (auto& index : indexes_) index->Remove(recordNumber);
    --liveCount_;
    ++changeCount_;
    return 0;
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

int RecordStore::FirstAutoIncCandidate() const {
    for (int fieldNo = 1; fieldNo <= FieldCount(); ++fieldNo)
        if (Field(fieldNo).Subtype == subtype::AutoInc && Field(fieldNo).ValueWidth() == 4 && !Field(fieldNo).IsText())
            return fieldNo;
    return 0;
}

DSIDX* RecordStore::FindIndex(std::string_view name) const {
    if (name.empty()) return &DefaultOrder();
    name = name.substr(0, kMaxIndexNameLength);
    const Collation& collation = CollationFor(false);
    for (const auto& index : indexes_)
        if (collation.Compare(index->Name(), name) == 0) return index.get();
    return nullptr;
}

std::uint16_t RecordStore::CreateIndex(const IndexDescriptor& descriptor) {
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
        return 0;
    }
    if (existing) return existing->Descriptor().SameDefinition(wanted) ? 0 : dberr::IndexExists;
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
    return 0;
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
        setAside_.push_back({std::move(removed), changeCount_, localeId_});
    } catch (const std::bad_alloc&) {
        // Only a shortcut is lost: the index is built anew when it is wanted.
    }
    return true;
}

std::unique_ptr<DSIDX> RecordStore::TakeSetAside(const IndexDescriptor& wanted) {
    std::unique_ptr<DSIDX> found;
    for (auto kept = setAside_.begin(); kept != setAside_.end(); ++kept) {
        const IndexDescriptor& held = kept->Index->Descriptor();
        if (kept->ChangeCount != changeCount_ || kept->LocaleId != localeId_) continue;
        if (!held.SameDefinition(wanted) || held.Primary != wanted.Primary) continue;
        found = std::move(kept->Index);
        setAside_.erase(kept);
        break;
    }
    return found;
}

void RecordStore::SetDefaultOrderKeys(IndexDescriptor descriptor) { DefaultOrder().Redefine(std::move(descriptor)); }

std::uint16_t RecordStore::RebuildIndexes() {
    auto lock = Lock();
    for (auto& index : indexes_)
        if (const auto code = index->Build()) return code;
    return 0;
}
