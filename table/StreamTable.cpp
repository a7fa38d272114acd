#include "table/StreamTable.h"

#include <algorithm>
#include <limits>
#include <memory>
#include <new>
#include <system_error>
#include <thread>
#include <vector>

#include "packet/ByteOrder.h"
#include "packet/DataPacketWriter.h"
#include "table/DSIDX.h"
#include "table/Errors.h"
#include "table/ParamValues.h"
#include "table/RecordStore.h"

namespace {

constexpr std::uint32_t kPacketVersion = 3;
constexpr int kFieldParam = 0;
constexpr int kTableParam = 1;
constexpr std::uint16_t kDescendingFlag = 0x8000;
constexpr std::uint16_t kCaseInsensitiveFlag = 0x4000;
constexpr std::uint16_t kFieldNumberMask = 0x3FFF;

#define KINOVKA_TRY(call) \
    do {                                                   \
        if (const pkt::Status status_ = (call)) return status_; \
    } while (false)

// A text of `width` bytes takes one more in the record: up to 254 a 1-byte prefix counts it.
ColumnType ColumnTypeOf(const FieldLayout& field, int width) {
    if (!field.IsText()) return coltype::Int32;
    const ColumnType prefix = width + 1 <= 254 ? 1 : 2;
    return (coltype::String1 & ~coltype::SizeMask) | prefix;
}

pkt::Status AddParam(TDATAPACKET_WRITE& writer, int context, std::string_view name, ColumnType type,
                     const std::string& value) {
    return writer.AddParam(context, name, type, value.data(), static_cast<std::uint32_t>(value.size()));
}

pkt::Status WriteColumn(TDATAPACKET_WRITE& writer, const FieldLayout& field, int width) {
    ColumnDesc column;
    if (!column.SetName(field.Name)) return dberr::NotAllowed;
    column.Type = ColumnTypeOf(field, width);
    column.Attributes = field.Attributes;
    KINOVKA_TRY(writer.AddColumn(column));
    if (field.Subtype != 0)
        if (const auto name = SubtypeName(field.Subtype))
            KINOVKA_TRY(AddParam(writer, kFieldParam, "SUBTYPE", coltype::String1, paramvalue::ShortText(*name)));
    if (field.Scale != 0)
        KINOVKA_TRY(AddParam(writer, kFieldParam, "DECIMALS", coltype::Int16,
                             paramvalue::Int16(static_cast<std::int16_t>(field.Scale))));
    if (field.IsText() && width != 0)
        KINOVKA_TRY(AddParam(writer, kFieldParam, "WIDTH", coltype::Int16,
                             paramvalue::Int16(static_cast<std::int16_t>(width))));
    if (field.Calculated) KINOVKA_TRY(AddParam(writer, kFieldParam, "CALCULATED", coltype::Int16, paramvalue::Int16(1)));
    for (const StoredParam& param : field.Params)
        KINOVKA_TRY(AddParam(writer, kFieldParam, param.Name, param.Type, param.Value));
    return pkt::Ok;
}

pkt::Status WriteTableParams(TDATAPACKET_WRITE& writer, const RecordStore& store) {
    if (store.DefaultOrderKeysFromDefinition()) {
        const IndexDescriptor& keys = store.DefaultOrder().Descriptor();
        std::vector<std::uint16_t> order, plain;
        for (std::size_t i = 0; i < keys.Fields.size(); ++i) {
            std::uint16_t number = static_cast<std::uint16_t>(keys.Fields[i]);
            plain.push_back(number & kFieldNumberMask);
            if (keys.Descending[i]) number |= kDescendingFlag;
            if (keys.CaseInsensitive[i]) number |= kCaseInsensitiveFlag;
            order.push_back(number);
        }
        KINOVKA_TRY(AddParam(writer, kTableParam, "DEFAULT_ORDER", paramvalue::kUInt16ArrayType,
                             paramvalue::UInt16Array(order)));
        if (store.DefaultOrderKeyKind() != 0)
            KINOVKA_TRY(AddParam(writer, kTableParam, store.DefaultOrderKeyKind() == 2 ? "PRIMARY_KEY" : "UNIQUE_KEY",
                                 paramvalue::kUInt16ArrayType, paramvalue::UInt16Array(plain)));
    }
    // A spent counter is written as the largest key: read back, it is not above
    // the key it handed out last, so the load finds no key left either.
    if (store.AutoIncField() != 0)
        KINOVKA_TRY(AddParam(writer, kTableParam, "AUTOINCVALUE", coltype::Int32,
                             paramvalue::Int32(static_cast<std::int32_t>(std::min<std::int64_t>(
                                 store.AutoIncValue(), std::numeric_limits<std::int32_t>::max())))));
    for (const StoredParam& param : store.TableParams())
        KINOVKA_TRY(AddParam(writer, kTableParam, param.Name, param.Type, param.Value));
    // With stored parameters written, the first row closes the list instead.
    if (store.TableParams().empty()) KINOVKA_TRY(writer.AddParam(kTableParam, {}, 0, nullptr, 0));
    return pkt::Ok;
}

pkt::Status WriteRow(TDATAPACKET_WRITE& writer, const RecordStore& store, std::uint32_t recordNumber,
                     std::uint8_t status) {
    KINOVKA_TRY(writer.PutValue(0, 1, &status));
    for (int fieldNo = 1; fieldNo <= store.FieldCount(); ++fieldNo) {
        if (store.IsNull(recordNumber, fieldNo)) {
            KINOVKA_TRY(writer.PutValue(1, 0, nullptr));
        } else if (store.Field(fieldNo).IsText()) {
            const std::string_view text = store.Text(recordNumber, fieldNo);
            static const char kEmptyText = '\0';
            if (text.empty())
                KINOVKA_TRY(writer.PutValue(0, 1, &kEmptyText));
            else
                KINOVKA_TRY(writer.PutValue(0, static_cast<std::int32_t>(text.size()), text.data()));
        } else {
            char bytes[4];
            byteorder::Store(bytes, store.Integer(recordNumber, fieldNo));
            KINOVKA_TRY(writer.PutValue(0, sizeof bytes, bytes));
        }
    }
    return pkt::Ok;
}

// The records in the packet's order, at places 1..PlaceCount(): with records
// in the default order, in that order, else every slot.
std::uint32_t PlaceCount(const RecordStore& store) {
    const std::uint32_t ordered = store.DefaultOrder().Count();
    return ordered > 0 ? ordered : store.SlotCount();
}

std::uint32_t RecordAtPlace(const RecordStore& store, std::uint32_t place) {
    const DSIDX& order = store.DefaultOrder();
    return order.Count() > 0 ? order.RecordAt(place) : place;
}

// Visits each record at the places first..last, in the packet's order, with
// the status it is written with. Without change tracking, deleted records are
// left out and every written record is plain. Every live record is written,
// whatever other status bits a packet gave it: the table shows it, so leaving
// it out would lose it.
template <class Visit>
pkt::Status ForEachWrittenRecord(const RecordStore& store, std::uint32_t first, std::uint32_t last, Visit visit) {
    for (std::uint32_t place = first; place <= last; ++place) {
        const std::uint32_t recordNumber = RecordAtPlace(store, place);
        const std::uint8_t status = store.Status(recordNumber);
        if (store.TrackChanges()) KINOVKA_TRY(visit(recordNumber, status));
        else if ((status & rsDeleted) == 0) KINOVKA_TRY(visit(recordNumber, rsUnchanged));
    }
    return pkt::Ok;
}

pkt::Status WriteRows(TDATAPACKET_WRITE& writer, const RecordStore& store, std::uint32_t first, std::uint32_t last) {
    return ForEachWrittenRecord(store, first, last, [&](std::uint32_t recordNumber, std::uint8_t status) {
        return WriteRow(writer, store, recordNumber, status);
    });
}

// The rows of the second half of the places are written on a second thread
// into a writer of their own, and follow the first half's; the status is that
// of the first fault in the packet's order, as on one thread. The caller holds
// the store's lock throughout, so nothing changes the records meanwhile.
pkt::Status WriteRowsOnTwoThreads(TDATAPACKET_WRITE& writer, TDATAPACKET_WRITE& second, const RecordStore& store,
                                  std::uint32_t count) {
    const std::uint32_t cut = count / 2;
    pkt::Status secondCode = pkt::Ok;
    std::jthread worker;
    try {
        worker = std::jthread([&] {
            try {
                secondCode = WriteRows(second, store, cut + 1, count);
            } catch (const std::bad_alloc&) {
                secondCode = pkt::NoMemory;
            }
        });
    } catch (const std::system_error&) {
        return WriteRows(writer, store, 1, count);
    }
    const pkt::Status code = WriteRows(writer, store, 1, cut);
    worker.join();
    if (code) return code;
    if (secondCode) return secondCode;
    return writer.AppendRows(second);
}

// The width each field is written with: its own, or for a field that takes its
// width from its values, what the longest text written needs (at least
// kDefaultTextWidth, so that a reload keeps the room it had). Refused (0x2702)
// before the first byte when a width is more than the packet can carry, so
// that no save leaves a file that cannot be read back.
pkt::Status WrittenWidths(const RecordStore& store, std::vector<int>& widths) {
    bool fromValues = false;
    for (const FieldLayout& field : store.Fields()) {
        widths.push_back(field.WidthFromValues ? kDefaultTextWidth : field.Size);
        fromValues |= field.WidthFromValues;
    }
    if (fromValues) {
        // Measuring the texts cannot fail.
        const auto measure = [&](std::uint32_t recordNumber, std::uint8_t) -> pkt::Status {
            for (int fieldNo = 1; fieldNo <= store.FieldCount(); ++fieldNo) {
                int& width = widths[fieldNo - 1];
                if (store.Field(fieldNo).WidthFromValues)
                    width = std::max(width, static_cast<int>(store.Text(recordNumber, fieldNo).size()));
            }
            return pkt::Ok;
        };
        pkt::Ignore(ForEachWrittenRecord(store, 1, PlaceCount(store), measure));
    }
    for (int fieldNo = 1; fieldNo <= store.FieldCount(); ++fieldNo)
        if (store.Field(fieldNo).IsText() && widths[fieldNo - 1] > kMaxTextSize) return dberr::BufferTooSmall;
    return pkt::Ok;
}

}  // namespace

pkt::Status StreamTable(const RecordStore& store, TDATAPACKET_WRITE& writer, std::uint32_t twoThreadsFrom) {
    auto lock = store.Lock();
    if (store.FieldCount() == 0) return dberr::NotAllowed;
    std::vector<int> widths;
    KINOVKA_TRY(WrittenWidths(store, widths));
    KINOVKA_TRY(writer.BeginPacket(kPacketVersion, static_cast<std::uint32_t>(store.FieldCount())));
    for (int fieldNo = 1; fieldNo <= store.FieldCount(); ++fieldNo)
        KINOVKA_TRY(WriteColumn(writer, store.Field(fieldNo), widths[fieldNo - 1]));
    KINOVKA_TRY(WriteTableParams(writer, store));
    const std::uint32_t count = PlaceCount(store);
    if (count >= twoThreadsFrom)
        if (const std::unique_ptr<TDATAPACKET_WRITE> second = writer.RowWriter())
            return WriteRowsOnTwoThreads(writer, *second, store, count);
    return WriteRows(writer, store, 1, count);
}
