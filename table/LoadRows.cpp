#include "table/LoadRows.h"

#include <algorithm>
#include <limits>
#include <memory>
#include <new>
#include <optional>
#include <stop_token>
#include <system_error>
#include <thread>

#include "packet/DataPacketReader.h"
#include "table/Errors.h"
#include "table/ParamValues.h"
#include "table/RecordStore.h"

namespace {

constexpr std::size_t kAllRows = std::numeric_limits<std::size_t>::max();

// A text field without "WIDTH" that meets a longer value doubles at least, so
// that a file of ever longer values does not widen the column for each row.
int WidenedSize(int size, std::size_t length) {
    const std::size_t wanted = std::max<std::size_t>(length, 2 * static_cast<std::size_t>(size));
    return static_cast<int>(std::min<std::size_t>(wanted, kMaxTextWidth));
}

// Per field, the lengths of the texts that were longer than every text before
// them in their field (and than kDefaultTextWidth): the only ones that can widen
// a field without "WIDTH", whatever width the rows before them left it at.
using LengthRecords = std::vector<std::vector<std::size_t>>;

// Reads rows until the reader stands at `until` or after it (0), the rows end
// (pkt::EndOfData) or one is faulty (its code). A stop request ends the
// reading early with 0: its result is not used.
std::uint16_t ReadRows(TDATAPACKET_READ& reader, RecordStore& store, const std::vector<LoadedField>& fields,
                       std::size_t until, LengthRecords* records = nullptr, std::stop_token stop = {}) {
    std::vector<TDATAPACKET_READ::ValueView> values;
    std::vector<FieldView> record(fields.size());
    std::uint8_t status = 0;
    while (reader.Offset() < until && !stop.stop_requested()) {
        if (const std::uint16_t code = reader.NextRow(status, values)) return code;
        if (values.size() != fields.size()) return dberr::NotAPacket;
        for (std::size_t i = 0; i < fields.size(); ++i) {
            const auto& value = values[i];
            FieldView& target = record[i];
            const int fieldNo = static_cast<int>(i + 1);
            target.Null = value.Null;
            if (value.Null) continue;
            if (store.Field(fieldNo).IsText()) {
                // The store cuts a text at a zero byte itself; only a field that
                // widens to its texts needs their length first.
                std::string_view text = value.Bytes;
                if (!fields[i].HasWidth) {
                    text = text.substr(0, text.find('\0'));
                    const int size = store.Field(fieldNo).Size;
                    if (static_cast<int>(text.size()) > size) {
                        if (text.size() > kMaxTextWidth) return dberr::BufferTooSmall;
                        if (const auto code = store.WidenTextField(fieldNo, WidenedSize(size, text.size()))) return code;
                    }
                    if (records) {
                        auto& longest = (*records)[i];
                        if (text.size() > (longest.empty() ? std::size_t{kDefaultTextWidth} : longest.back()))
                            longest.push_back(text.size());
                    }
                }
                target.Text = text;
            } else if (value.Bytes.size() == 4) {
                target.Integer = static_cast<std::int32_t>(*paramvalue::Integer(coltype::Int32, value.Bytes));
            } else {
                target.Null = true;
            }
        }
        if (const auto code = store.AppendLoaded(status, record)) return code;
    }
    return 0;
}

std::uint16_t ReadRemainingRows(TDATAPACKET_READ& reader, RecordStore& store, const std::vector<LoadedField>& fields) {
    const std::uint16_t code = ReadRows(reader, store, fields, kAllRows);
    return code == pkt::EndOfData ? 0 : code;
}

// The rows after the cut, read into a store of their own on a second thread.
struct SecondHalf {
    RecordStore Store;
    LengthRecords Lengths;
    std::uint16_t Code = 0;
    // Ended by an exception (no memory, say): its rows are read again on the first thread.
    bool Thrown = false;

    SecondHalf(const RecordStore& first, std::size_t fieldCount)
        : Store(first.Fields(), first.LocaleId()), Lengths(fieldCount) {}
};

// The first half is read here up to the cut. The second half counts only when
// this reader comes to stand exactly at the cut, between rows and without a
// fault before it; otherwise it is thrown away and the rows after the cut are
// read here too, as they are when no second thread can be had.
std::uint16_t LoadHalves(TDATAPACKET_READ& reader, TDATAPACKET_READ& second, std::size_t cut, RecordStore& store,
                         const std::vector<LoadedField>& fields) {
    std::optional<SecondHalf> half;
    // Declared after the half it fills, so that it ends first: an exception
    // leaving this function asks the second thread to stop and waits for it.
    std::jthread worker;
    try {
        half.emplace(store, fields.size());
        worker = std::jthread([&half, &second, &fields](std::stop_token stop) {
            try {
                // Held throughout, so that taking it for each row costs no atomic operation.
                auto lock = half->Store.Lock();
                half->Code = ReadRows(second, half->Store, fields, kAllRows, &half->Lengths, stop);
            } catch (...) {
                half->Thrown = true;
            }
        });
    } catch (const std::bad_alloc&) {
        return ReadRemainingRows(reader, store, fields);
    } catch (const std::system_error&) {
        return ReadRemainingRows(reader, store, fields);
    }
    const std::uint16_t code = ReadRows(reader, store, fields, cut);
    if (code != 0 || reader.Offset() != cut) worker.request_stop();
    worker.join();
    if (code == pkt::EndOfData) return 0;
    if (code) return code;
    if (reader.Offset() != cut || half->Thrown) return ReadRemainingRows(reader, store, fields);
    if (half->Code != pkt::EndOfData) return half->Code;
    // The second half's texts widen the fields as they would have, coming after the first half's.
    for (std::size_t i = 0; i < fields.size(); ++i) {
        const int fieldNo = static_cast<int>(i + 1);
        for (const std::size_t length : half->Lengths[i]) {
            const int size = store.Field(fieldNo).Size;
            if (static_cast<int>(length) > size)
                if (const auto widened = store.WidenTextField(fieldNo, WidenedSize(size, length))) return widened;
        }
    }
    return store.AppendLoadedStore(half->Store);
}

}  // namespace

std::uint16_t LoadRows(TDATAPACKET_READ& reader, RecordStore& store, const std::vector<LoadedField>& fields,
                       std::size_t twoThreadsFrom) {
    std::size_t cut = 0;
    std::unique_ptr<TDATAPACKET_READ> second;
    if (const std::uint16_t code = reader.SplitRows(twoThreadsFrom, cut, second)) return code;
    if (second) return LoadHalves(reader, *second, cut, store, fields);
    return ReadRemainingRows(reader, store, fields);
}
