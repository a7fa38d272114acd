#include "table/RecordData.h"

#include <algorithm>
#include <cstring>
#include <limits>
#include <new>

#include "table/Errors.h"

namespace {
constexpr std::uint32_t kSlotGrowth = 100;

}  // namespace

RecordData::RecordData(std::vector<FieldLayout> fields, std::uint32_t localeId)
    : fields_(std::move(fields)), integers_(fields_.size()), textColumn_(fields_.size()), localeId_(localeId) {
    arenas_.reserve(fields_.size());
    for (std::size_t f = 0; f < fields_.size(); ++f) {
        arenas_.emplace_back(0);
        if (fields_[f].IsText()) textColumn_[f] = textFieldCount_++;
    }
    // No memory for the first slots fails the store at once, as an insert that
    // finds none fails: a store is never left without them.
    if (const pkt::Status code = EnsureSlot(1)) throw EDBClient(code);
}

RecordData::~RecordData() = default;

void RecordData::SetLocaleId(std::uint32_t localeId) {
    localeId_ = localeId;
    caseSensitive_.reset();
    caseInsensitive_.reset();
}

const Collation& RecordData::CollationFor(bool caseInsensitive) const {
    auto& slot = caseInsensitive ? caseInsensitive_ : caseSensitive_;
    if (!slot) slot = std::make_unique<Collation>(localeId_, caseInsensitive);
    return *slot;
}

pkt::Status RecordData::EnsureSlot(std::uint32_t recordNumber) {
    if (recordNumber <= capacity_) return pkt::Ok;
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
    return pkt::Ok;
}

void RecordData::Reserve(std::uint32_t slots) {
    try {
        const std::size_t count = static_cast<std::size_t>(slots) + kSlotGrowth + 1;
        for (std::size_t f = 0; f < fields_.size(); ++f)
            if (!fields_[f].IsText()) integers_[f].reserve(count);
        textPlaces_.reserve(count * textFieldCount_);
        status_.reserve(count);
        // Each text is at most its field's width (a load widens a field before
        // it stores a longer one), and a field's texts together at most the
        // packet, for whose every kPacketBytesPerRow bytes a load asks a slot.
        // Room for a few huge pages or more is made at once, in huge pages;
        // less stays below a large block (the buffer rounds up to a power of
        // two), so that a small catalogue fills no huge page it would hardly use.
        for (std::size_t f = 0; f < fields_.size(); ++f) {
            if (!fields_[f].IsText()) continue;
            const std::size_t room =
                count * std::min(static_cast<std::size_t>(fields_[f].Size), static_cast<std::size_t>(kPacketBytesPerRow));
            arenas_[f].reserve(room >= 4 * memory::kHugePage ? room : std::min(room, memory::kHugeThreshold / 2));
        }
    } catch (const std::bad_alloc&) {
    }
}

// Texts live in the arena at any length, so widening only changes the layout.
pkt::Status RecordData::WidenTextField(int fieldNo, int size) {
    fields_[fieldNo - 1].Size = size;
    return pkt::Ok;
}

// Only the deleted mark hides a record: a loaded row keeps whatever other
// status bits its packet gave it.
bool RecordData::IsLive(std::uint32_t recordNumber) const {
    return recordNumber >= 1 && recordNumber <= slotCount_ && (status_[recordNumber] & rsDeleted) == 0;
}

void RecordData::ReadRecord(std::uint32_t recordNumber, RecordBuffer& record) const {
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

bool RecordData::Holds(std::uint32_t recordNumber, const RecordBuffer& record) const {
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

void RecordData::HoldPacket(std::shared_ptr<const ::HeldPacket> packet) {
    heldBytes_ = packet ? packet->View() : std::string_view();
    heldPacket_ = std::move(packet);
}

void RecordData::StoreText(std::uint32_t recordNumber, int fieldNo, std::string_view text) {
    TextRef& ref = Place(recordNumber, fieldNo);
    if (text.size() >= kNullText) throw std::bad_alloc();
    // A text read from the held packet stays where it is, unless its field is
    // narrow: a walk over a narrow field (a language, the subtitles) then reads
    // a few compact pages of its arena instead of pages all over the packet.
    // (Compared as addresses: a text of a buffer of its own lies wholly outside.)
    constexpr int kNarrowField = 16;
    const std::uintptr_t offset =
        reinterpret_cast<std::uintptr_t>(text.data()) - reinterpret_cast<std::uintptr_t>(heldBytes_.data());
    if (!heldBytes_.empty() && offset < kInPacket && offset <= heldBytes_.size() &&
        text.size() <= heldBytes_.size() - offset && Field(fieldNo).Size > kNarrowField) {
        ref.Offset = static_cast<std::uint32_t>(offset) | kInPacket;
        ref.Length = static_cast<std::uint32_t>(text.size());
        return;
    }
    PacketBuffer& arena = arenas_[fieldNo - 1];
    if (arena.size() >= kInPacket || text.size() > std::numeric_limits<std::uint32_t>::max() - arena.size())
        throw std::bad_alloc();
    ref.Offset = static_cast<std::uint32_t>(arena.size());
    ref.Length = static_cast<std::uint32_t>(text.size());
    arena.append(text);
}

template <class Value>
pkt::Status RecordData::WriteSlot(std::uint32_t recordNumber, const std::vector<Value>& record) {
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
    return pkt::Ok;
}

void RecordData::CopySlot(std::uint32_t from, std::uint32_t to) {
    for (int fieldNo = 1; fieldNo <= FieldCount(); ++fieldNo) {
        if (Field(fieldNo).IsText())
            Place(to, fieldNo) = Place(from, fieldNo);
        else
            integers_[fieldNo - 1][to] = integers_[fieldNo - 1][from];
    }
}

pkt::Status RecordData::AppendLoaded(std::uint8_t status, const std::vector<FieldView>& record) {
    auto lock = Lock();
    const std::uint32_t recordNumber = slotCount_ + 1;
    if (const auto code = EnsureSlot(recordNumber)) return code;
    if (const auto code = WriteSlot(recordNumber, record)) return code;
    status_[recordNumber] = status;
    slotCount_ = recordNumber;
    if (IsLive(recordNumber)) ++liveCount_;
    ++changeCount_;
    return pkt::Ok;
}

pkt::Status RecordData::AppendLoadedStore(const RecordData& other) {
    auto lock = Lock();
    const std::uint32_t count = other.slotCount_;
    if (count > std::numeric_limits<std::uint32_t>::max() - slotCount_ - 1) return dberr::NoMemory;
    // A text's place is an offset into its arena: the arenas together must fit
    // the offsets, as they must when every record is appended on its own. A
    // place in the packet both stores hold stays as it is.
    for (std::size_t f = 0; f < fields_.size(); ++f)
        if (arenas_[f].size() > kInPacket || other.arenas_[f].size() > kInPacket - arenas_[f].size())
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
                if (ref.Length != kNullText && (ref.Offset & kInPacket) == 0) ref.Offset += shift;
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
    return pkt::Ok;
}

int RecordData::FirstAutoIncCandidate() const {
    for (int fieldNo = 1; fieldNo <= FieldCount(); ++fieldNo)
        if (Field(fieldNo).Subtype == subtype::AutoInc && Field(fieldNo).ValueWidth() == 4 && !Field(fieldNo).IsText())
            return fieldNo;
    return 0;
}

// A load fills slots from views here; inserts and changes fill them from
// buffers in RecordStore.
template pkt::Status RecordData::WriteSlot(std::uint32_t, const std::vector<FieldValue>&);
