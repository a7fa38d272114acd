// Fuzz target: TClientDataSet::LoadFromBytes over any block, XML or binary, and
// the load of the same block arriving in pieces, as files are loaded, which must
// give the same table or the same code.
// A block either loads or fails with the table's own error (EDBClient with the
// status code, or EDatabaseError); anything else escaping is a fault. A table
// that loaded must be readable in full, and every save of it must either fail
// with a code or give a packet that loads again with the same records.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <limits>
#include <string>
#include <string_view>
#include <vector>

#include "fuzz/PiecewiseInput.h"
#include "packet/DataPacketWriter.h"
#include "table/ClientDataSet.h"
#include "table/LoadTable.h"
#include "table/RecordStore.h"
#include "table/StreamTable.h"

namespace {

using Image = std::vector<std::vector<std::string>>;

// Every field of every record in the order of the default index, null apart.
Image ReadAll(TClientDataSet& table) {
    Image image;
    for (table.First(); !table.AtEnd(); table.Next()) {
        std::vector<std::string> row;
        for (int i = 0; i < table.FieldCount(); ++i) {
            const TField& field = table.Fields(i);
            row.push_back(field.IsNull() ? std::string("\x01null") : field.AsString());
        }
        image.push_back(std::move(row));
    }
    return image;
}

// The XML form carries a column's values in attributes named after the column,
// so only names made of letters, digits and "_" come back value for value;
// other names belong to packets from elsewhere, not to catalogues.
bool PlainColumnNames(TClientDataSet& table) {
    for (int i = 0; i < table.FieldCount(); ++i) {
        const std::string& name = table.Fields(i).FieldName();
        for (const char c : name) {
            const bool plain = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_';
            if (!plain) return false;
        }
    }
    return true;
}

void Require(bool condition) {
    if (!condition) std::abort();
}

// The packet a loaded store writes (binary, which carries everything exactly),
// or the load's status code.
std::string LoadAndWrite(std::uint16_t code, const std::unique_ptr<RecordStore>& store) {
    if (code) return "code " + std::to_string(code);
    TDATAPACKET_WRITE writer;
    std::string packet;
    if (StreamTable(*store, writer) || writer.FinishPacket(packet)) return "unwritable";
    return packet;
}

// A file of unknown size is loaded as it is read, in pieces, one of known size
// is read whole and kept by the store, and a large block's rows are read on two
// threads; each must give what the whole block read row after row gives.
void RequireSameLoadInPieces(std::string_view block) {
    std::unique_ptr<RecordStore> whole, pieces, held, halves;
    const std::uint16_t wholeCode = LoadTable(block, whole, std::numeric_limits<std::size_t>::max());
    const std::string expected = LoadAndWrite(wholeCode, whole);
    PiecewiseInput input(block);
    const std::uint16_t piecesCode = LoadTable(input, 0, pieces);
    Require(LoadAndWrite(piecesCode, pieces) == expected);
    PiecewiseInput file(block);
    const std::uint16_t heldCode = LoadTable(file, block.size(), held);
    Require(LoadAndWrite(heldCode, held) == expected);
    const std::uint16_t halvesCode = LoadTable(block, halves, 1);
    Require(LoadAndWrite(halvesCode, halves) == expected);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view block(reinterpret_cast<const char*>(data), size);
    if (!block.empty()) RequireSameLoadInPieces(block);
    TClientDataSet table;
    try {
        table.LoadFromBytes(block);
    } catch (const EDatabaseError&) {
        Require(!table.Active());
        return 0;
    }
    const Image image = ReadAll(table);
    for (const TDataPacketFormat format : {dfBinary, dfXML, dfXMLUTF8}) {
        std::string saved;
        try {
            saved = table.SaveToBytes(format);
        } catch (const EDBClient&) {
            // Some tables can be read but not written (a size-8 integer parameter
            // has no XML type name, a table without columns makes no packet): the
            // save says so with its code and writes nothing.
            continue;
        }
        TClientDataSet reloaded;
        reloaded.LoadFromBytes(saved);  // an exception here is a fault: let it escape
        const Image again = ReadAll(reloaded);
        Require(again.size() == image.size());
        // The UTF-8 form cannot carry every byte of every field type unchanged,
        // so only the two exact forms are compared value by value.
        if (format == dfBinary || (format == dfXML && PlainColumnNames(table))) Require(again == image);
    }
    return 0;
}
