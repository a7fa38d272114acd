#pragma once
// RecordData: the records themselves. It holds the field layout, the records
// (indexed by record number: each record's values and whether they are null;
// one status byte per record), the change count and the locale with its
// collations. Comparators and indexes read the records through a const
// RecordData; RecordStore keeps the indexes up to date on top of it.
//
// An integer field has an array of the values with their null flags. A text
// lies either in the packet the store was loaded from, when the store holds it
// (HoldPacket) and the text stands there as it is, or in its field's own arena;
// each record holds, side by side for all its text fields, where each text lies
// and how long it is, a null as a length no text has. So a text takes only its
// own bytes, not its field's full width, and one reading several texts of a
// record finds all their places in one line. An arena only grows; a changed
// text is written anew and the old bytes stay unused until the store is
// discarded (the program reloads after every change, so little piles up).
//
// Record numbers start at 1 and follow the order of loading and inserting; they
// are never reused while the store lives, a deleted record keeps its slot. Slots
// grow in steps of 100. Slot SlotCount() + 1 is scratch room where a new or
// changed record is composed before the indexes are told of it.
//
// Every operation that reads or changes the store as a whole runs under Lock().
#include <algorithm>
#include <cstdint>
#include <memory>
#include <mutex>
#include <string_view>
#include <vector>

#include "memory/LargeBlocks.h"
#include "packet/PacketBuffer.h"
#include "packet/PacketStatus.h"
#include "table/Collation.h"
#include "table/FieldLayout.h"
#include "table/HeldPacket.h"
#include "table/RecordBuffer.h"
#include "table/ReentrantLock.h"

// How many records a load makes room for in a packet of this many bytes: one
// for every kPacketBytesPerRow. A catalogue's rows take well over that many
// bytes each; room that is reserved but never used costs no memory. (Counting
// the rows would cost a pass over the whole packet.)
inline constexpr std::uint64_t kPacketBytesPerRow = 64;
inline std::uint32_t RoomForRows(std::uint64_t packetBytes) {
    return static_cast<std::uint32_t>(std::min<std::uint64_t>(packetBytes / kPacketBytesPerRow, 1u << 26));
}

class RecordData {
public:
    RecordData(std::vector<FieldLayout> fields, std::uint32_t localeId);
    ~RecordData();
    RecordData(const RecordData&) = delete;
    RecordData& operator=(const RecordData&) = delete;

    std::unique_lock<ReentrantLock> Lock() const { return std::unique_lock(lock_); }
    ReentrantLock& LockObject() const { return lock_; }

    // --- layout
    int FieldCount() const { return static_cast<int>(fields_.size()); }
    const std::vector<FieldLayout>& Fields() const { return fields_; }
    const FieldLayout& Field(int fieldNo) const { return fields_[fieldNo - 1]; }
    // Widens a text field (a load meeting a value longer than the column said).
    pkt::Status WidenTextField(int fieldNo, int size);

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
        if (ref.Offset & kInPacket) return {heldBytes_.data() + (ref.Offset & ~kInPacket), ref.Length};
        return {arenas_[fieldNo - 1].data() + ref.Offset, ref.Length};
    }
    std::int32_t Integer(std::uint32_t recordNumber, int fieldNo) const { return integers_[fieldNo - 1][recordNumber].Value; }
    void ReadRecord(std::uint32_t recordNumber, RecordBuffer& record) const;
    // True when the buffer holds exactly what the store holds for the record.
    bool Holds(std::uint32_t recordNumber, const RecordBuffer& record) const;

    // Keeps the packet a load reads from: the loaded texts that stand in it as
    // they are read then stay there. Before the first record is loaded.
    void HoldPacket(std::shared_ptr<const ::HeldPacket> packet);
    const std::shared_ptr<const ::HeldPacket>& HeldPacket() const { return heldPacket_; }

    // Makes room for this many records at once (a load that knows roughly how
    // many rows follow: RoomForRows); only an optimisation, failures are ignored.
    void Reserve(std::uint32_t slots);
    // A record read by a load, one value per field: stored as given (text cut
    // to the field's size and at a zero byte, trailing blanks kept), with its
    // status; no index is told.
    pkt::Status AppendLoaded(std::uint8_t status, const std::vector<FieldView>& record);
    // The records another store of the same fields took by AppendLoaded,
    // appended in their order as if this store had taken them: a load that
    // read the rows of one packet, held by both, into two stores at once.
    pkt::Status AppendLoadedStore(const RecordData& other);

    // The first field with subtype Autoinc and width 4, or 0.
    int FirstAutoIncCandidate() const;
    std::uint32_t ChangeCount() const { return changeCount_; }
    std::uint32_t LocaleId() const { return localeId_; }
    // Drops the collations of the old locale.
    void SetLocaleId(std::uint32_t localeId);
    const Collation& CollationFor(bool caseInsensitive) const;

protected:
    // Where a text lies: with kInPacket set, the rest of the offset is into the
    // held packet, else it is into its field's arena. A null has the length
    // kNullText.
    static constexpr std::uint32_t kNullText = 0xFFFFFFFFu;
    static constexpr std::uint32_t kInPacket = 0x80000000u;
    struct TextRef {
        std::uint32_t Offset = 0;
        std::uint32_t Length = kNullText;
    };
    struct IntegerValue {
        std::int32_t Value = 0;
        bool Null = true;
    };

    pkt::Status EnsureSlot(std::uint32_t recordNumber);
    // Fills a slot from one value per field (FieldValue or FieldView); 0x2501
    // when the arena cannot take the texts.
    template <class Value>
    pkt::Status WriteSlot(std::uint32_t recordNumber, const std::vector<Value>& record);
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
    std::shared_ptr<const ::HeldPacket> heldPacket_;
    std::string_view heldBytes_;  // the held packet's bytes, or none
    memory::Vector<std::uint8_t> status_;
    std::uint32_t capacity_ = 0;  // slots 1..capacity_ exist
    std::uint32_t slotCount_ = 0;
    std::uint32_t liveCount_ = 0;
    std::uint32_t changeCount_ = 0;
    std::uint32_t localeId_ = 0;
    mutable std::unique_ptr<Collation> caseSensitive_;
    mutable std::unique_ptr<Collation> caseInsensitive_;
};
