#include "table/LoadRows.h"

#include <limits>
#include <memory>
#include <new>
#include <optional>
#include <stop_token>
#include <system_error>
#include <thread>

#include "packet/ByteOrder.h"
#include "packet/DataPacketReader.h"
#include "table/Errors.h"
#include "table/RecordStore.h"

namespace {

constexpr std::size_t kAllRows = std::numeric_limits<std::size_t>::max();

// Reads rows until the reader stands at `until` or after it (0), the rows end
// (pkt::EndOfData) or one is faulty (its code). A stop request ends the
// reading early with 0: its result is not used.
pkt::Status ReadRows(TDATAPACKET_READ& reader, RecordStore& store, std::size_t until, std::stop_token stop = {}) {
    const std::size_t fieldCount = static_cast<std::size_t>(store.FieldCount());
    std::vector<TDATAPACKET_READ::ValueView> values;
    std::vector<FieldView> record(fieldCount);
    std::uint8_t status = 0;
    while (reader.Offset() < until && !stop.stop_requested()) {
        if (const pkt::Status code = reader.NextRow(status, values)) return code;
        if (values.size() != fieldCount) return dberr::NotAPacket;
        for (std::size_t i = 0; i < fieldCount; ++i) {
            const auto& value = values[i];
            FieldView& target = record[i];
            const int fieldNo = static_cast<int>(i + 1);
            const FieldLayout& field = store.Field(fieldNo);
            // Whatever a reader hands out for an unread field, the store holds null.
            target.Null = value.Null || field.Unread;
            if (target.Null) continue;
            if (field.IsText()) {
                // The store cuts a text at a zero byte itself; only a field that
                // widens to its texts needs their length first.
                std::string_view text = value.Bytes;
                if (field.WidthFromValues) {
                    text = text.substr(0, text.find('\0'));
                    if (text.size() > static_cast<std::size_t>(field.Size)) {
                        if (text.size() > kMaxTextWidth) return dberr::BufferTooSmall;
                        if (const auto code = store.WidenTextField(fieldNo, static_cast<int>(text.size()))) return code;
                    }
                }
                target.Text = text;
            } else if (value.Bytes.size() == 4) {
                target.Integer = byteorder::Load<std::int32_t>(value.Bytes.data());
            } else {
                target.Null = true;
            }
        }
        if (const auto code = store.AppendLoaded(status, record)) return code;
    }
    return pkt::Ok;
}

pkt::Status ReadRemainingRows(TDATAPACKET_READ& reader, RecordStore& store) {
    const pkt::Status code = ReadRows(reader, store, kAllRows);
    return code == pkt::EndOfData ? pkt::Ok : code;
}

// The rows after the cut, read into a store of their own on a second thread.
struct SecondHalf {
    RecordStore Store;
    pkt::Status Code = pkt::Ok;
    // Ended by an exception (no memory, say): its rows are read again on the first thread.
    bool Thrown = false;

    // Its texts may stay in the packet the first store holds; room is made for
    // the rows the bytes after the cut can hold, as the first store's was.
    SecondHalf(const RecordStore& first, std::uint32_t rows) : Store(first.Fields(), first.LocaleId()) {
        Store.HoldPacket(first.HeldPacket());
        Store.Reserve(rows);
    }
};

// The first half is read here up to the cut. The second half counts only when
// this reader comes to stand exactly at the cut, between rows and without a
// fault before it; otherwise it is thrown away and the rows after the cut are
// read here too, as they are when no second thread can be had.
pkt::Status LoadHalves(TDATAPACKET_READ& reader, TDATAPACKET_READ& second, std::size_t cut, RecordStore& store) {
    std::optional<SecondHalf> half;
    // Declared after the half it fills, so that it ends first: an exception
    // leaving this function asks the second thread to stop and waits for it.
    std::jthread worker;
    try {
        // The bytes after the cut are no more than those before it.
        half.emplace(store, RoomForRows(cut));
        worker = std::jthread([&half, &second](std::stop_token stop) {
            try {
                // Held throughout, so that taking it for each row costs no atomic operation.
                auto lock = half->Store.Lock();
                half->Code = ReadRows(second, half->Store, kAllRows, stop);
            } catch (...) {
                half->Thrown = true;
            }
        });
    } catch (const std::bad_alloc&) {
        return ReadRemainingRows(reader, store);
    } catch (const std::system_error&) {
        return ReadRemainingRows(reader, store);
    }
    const pkt::Status code = ReadRows(reader, store, cut);
    if (code != 0 || reader.Offset() != cut) worker.request_stop();
    worker.join();
    if (code == pkt::EndOfData) return pkt::Ok;
    if (code) return code;
    if (reader.Offset() != cut || half->Thrown) return ReadRemainingRows(reader, store);
    if (half->Code != pkt::EndOfData) return half->Code;
    // A field widens to the longest value of either half.
    for (int fieldNo = 1; fieldNo <= store.FieldCount(); ++fieldNo) {
        const int size = half->Store.Field(fieldNo).Size;
        if (store.Field(fieldNo).WidthFromValues && size > store.Field(fieldNo).Size)
            if (const auto widened = store.WidenTextField(fieldNo, size)) return widened;
    }
    return store.AppendLoadedStore(half->Store);
}

}  // namespace

pkt::Status LoadRows(TDATAPACKET_READ& reader, RecordStore& store, std::size_t twoThreadsFrom) {
    std::size_t cut = 0;
    std::unique_ptr<TDATAPACKET_READ> second;
    if (const pkt::Status code = reader.SplitRows(twoThreadsFrom, cut, second)) return code;
    if (second) return LoadHalves(reader, *second, cut, store);
    return ReadRemainingRows(reader, store);
}
