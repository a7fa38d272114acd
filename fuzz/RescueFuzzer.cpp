// Fuzz target: the rescue of a damaged catalogue over any block, XML or binary.
// It must stay inside the block (a heap block of exactly its size), and what it
// rescues must be exactly the rows the reader hands out before it stops, the
// ones left out for their key apart (texts too long for any width cut). When the rescued packet loads as a table,
// the table holds exactly those rows.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>
#include <vector>

#include "app/core/CatalogRescue.h"
#include "packet/DataPacketReader.h"
#include "table/ClientDataSet.h"
#include "table/FieldLayout.h"

namespace {

void Require(bool condition) {
    if (!condition) std::abort();
}

using Row = std::vector<TDATAPACKET_READ::ValueView>;

// An empty text comes as no bytes or as one zero byte.
// `original` as rescued: a text longer than any width is cut to the longest a packet carries.
bool SameValue(const TDATAPACKET_READ::ValueView& rescued, const TDATAPACKET_READ::ValueView& original) {
    const auto bytes = [](const TDATAPACKET_READ::ValueView& value) {
        const std::string_view text = value.Bytes.substr(0, value.Bytes.find('\0'));
        if (text.size() > kMaxTextSize) return text.substr(0, kMaxTextSize);
        return value.Bytes == std::string_view("\0", 1) ? std::string_view() : value.Bytes;
    };
    return rescued.Null == original.Null && (rescued.Null || bytes(rescued) == bytes(original));
}

// The damaged block's rows again, side by side with the rescued packet's.
void RequireRescuedRows(std::string_view damaged, const RescueResult& rescued) {
    TDATAPACKET_READ original, copy;
    Require(original.Start(damaged) == 0 && copy.Start(rescued.Packet) == 0);
    std::uint8_t status;
    Row originalRow, copyRow;
    auto skipped = rescued.SkippedRows.begin();
    for (std::uint32_t number = 1; number <= rescued.RowsRead; ++number) {
        Require(original.NextRow(status, originalRow) == 0);
        if (skipped != rescued.SkippedRows.end() && *skipped == number) {
            ++skipped;
            continue;
        }
        Require(copy.NextRow(status, copyRow) == 0 && status == 0 && copyRow.size() == originalRow.size());
        for (std::size_t i = 0; i < copyRow.size(); ++i) Require(SameValue(copyRow[i], originalRow[i]));
    }
    Require(skipped == rescued.SkippedRows.end());
    Require(copy.NextRow(status, copyRow) == pkt::EndOfData);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view damaged(reinterpret_cast<const char*>(data), size);
    const RescueResult rescued = RescueCatalog(damaged);
    Require(rescued.CleanBytes <= size);
    if (!rescued.LayoutRead) {
        Require(rescued.StopCode != 0 && rescued.Packet.empty() && rescued.RowsRead == 0);
        return 0;
    }
    RequireRescuedRows(damaged, rescued);
    TClientDataSet table;
    try {
        table.LoadFromBytes(rescued.Packet);
    } catch (const EDatabaseError&) {
        // Fields the table cannot hold: the command reports the file as unreadable.
        return 0;
    }
    Require(table.CountRecords() == static_cast<int>(rescued.RowsTaken()));
    return 0;
}
