#include "app/core/CatalogRescue.h"

#include <algorithm>
#include <limits>
#include <optional>
#include <unordered_set>

#include "app/core/Loans.h"
#include "layout/CatalogLayout.h"
#include "packet/AsciiCase.h"
#include "packet/DataPacketReader.h"
#include "packet/DataPacketWriter.h"
#include "table/FieldLayout.h"
#include "table/ParamValues.h"

namespace {

using Param = TDATAPACKET_READ::Param;
using Row = std::vector<TDATAPACKET_READ::ValueView>;

constexpr std::string_view kCounterName = "AUTOINCVALUE";

struct Layout {
    std::vector<ColumnDesc> Columns;
    // Where each column begins, and after them where the field list ends.
    std::vector<std::size_t> ColumnStarts;
    std::vector<std::vector<Param>> FieldParams;  // per column
    std::vector<std::size_t> TextWidths;          // per column: its "WIDTH", 0 for none
    std::vector<Param> TableParams;               // those read before any failure
    std::optional<std::size_t> Key;               // the column K, when it holds integers
    bool KeyCounts = false;                       // K is marked as the auto-increment field
};

bool IsCounter(const Param& param) { return SameIgnoringAsciiCase(param.Name, kCounterName); }

std::size_t TextWidth(const std::vector<Param>& params) {
    for (const Param& param : params) {
        if (!SameIgnoringAsciiCase(param.Name, "WIDTH") || param.Null) continue;
        const auto width = paramvalue::Integer(coltype::Plain(param.Type), param.Value);
        return width && *width > 0 ? static_cast<std::size_t>(*width) : 0;
    }
    return 0;
}

bool MarksAutoInc(const Param& param) {
    if (!SameIgnoringAsciiCase(param.Name, "SUBTYPE")) return false;
    const auto name = paramvalue::Text(coltype::Plain(param.Type), param.Value);
    return name && SameIgnoringAsciiCase(*name, "Autoinc");
}

// Reads the columns with their parameters, then the table parameters; `result`
// learns how far that went.
void ReadLayout(TDATAPACKET_READ& reader, Layout& layout, RescueResult& result) {
    ColumnDesc column;
    std::uint16_t status;
    layout.ColumnStarts.push_back(reader.Offset());
    while ((status = reader.NextColumn(column)) == pkt::Ok) {
        layout.Columns.push_back(column);
        auto& params = layout.FieldParams.emplace_back();
        Param param;
        while ((status = reader.NextParam(param)) == pkt::Ok) params.push_back(param);
        if (status != pkt::EndOfData) {
            result.StopCode = status;
            return;
        }
        layout.TextWidths.push_back(TextWidth(params));
        result.CleanBytes = reader.Offset();
        layout.ColumnStarts.push_back(result.CleanBytes);
    }
    if (status != pkt::EndOfData) {
        result.StopCode = status;
        return;
    }
    result.LayoutRead = true;
    result.CleanBytes = reader.Offset();
    Param param;
    while ((status = reader.NextParam(param)) == pkt::Ok) {
        layout.TableParams.push_back(param);
        result.CleanBytes = reader.Offset();
    }
    if (status != pkt::EndOfData) result.StopCode = status;

    for (std::size_t i = 0; i < layout.Columns.size(); ++i) {
        if (layout.Columns[i].NameView() != kKeyField || coltype::Plain(layout.Columns[i].Type) != coltype::Int32)
            continue;
        layout.Key = i;
        layout.KeyCounts = std::any_of(layout.FieldParams[i].begin(), layout.FieldParams[i].end(), MarksAutoInc);
    }
}

// The first column, from 0, that is not the expected field at its place (each
// with its kind of value: a 32-bit integer or a text); a missing field counts at
// the place where it should begin. Nothing when all match.
std::optional<std::size_t> FirstForeignColumn(const Layout& layout, const std::vector<RescuedField>& fields) {
    for (std::size_t i = 0; i < std::min(layout.Columns.size(), fields.size()); ++i) {
        const ColumnType type = layout.Columns[i].Type;
        const bool fits = fields[i].Number ? coltype::Plain(type) == coltype::Int32
                                           : coltype::TypeCode(type) == coltype::cString && !coltype::IsArray(type);
        if (layout.Columns[i].NameView() != fields[i].Name || !fits) return i;
    }
    if (layout.Columns.size() != fields.size()) return std::min(layout.Columns.size(), fields.size());
    return std::nullopt;
}

// The catalogue's fields (K, then S1 to S7 as the grid shows them) are told
// against first, so that a damaged catalogue learns where its own list broke;
// the loans file's fields are the one other list taken.
std::optional<std::size_t> FirstForeignColumn(const Layout& layout) {
    std::vector<RescuedField> catalog{{kKeyField, true}};
    for (const FilmFieldLayout& column : kFilmLayout) catalog.push_back({column.Name, column.Number});
    const auto foreign = FirstForeignColumn(layout, catalog);
    if (!foreign || !FirstForeignColumn(layout, {kLoansFields.begin(), kLoansFields.end()})) return std::nullopt;
    return foreign;
}

// A binary row is read by lengths alone, so a damaged length shifts every value
// after it and the reader reads on. Such a row shows itself by texts that no
// save writes: longer than the column's width, or holding a zero byte (a save
// cuts texts at one; an empty text may come as a single zero byte).
bool TextsFitTheirColumns(const Layout& layout, const Row& row) {
    for (std::size_t i = 0; i < row.size(); ++i) {
        const std::string_view text = row[i].Bytes;
        const bool emptyText = text == std::string_view("\0", 1);
        if (row[i].Null || emptyText || coltype::TypeCode(layout.Columns[i].Type) != coltype::cString) continue;
        if (text.find('\0') != std::string_view::npos) return false;
        if (layout.TextWidths[i] != 0 && text.size() > layout.TextWidths[i]) return false;
    }
    return true;
}

std::optional<std::int32_t> KeyOf(const Layout& layout, const Row& row) {
    const auto& value = row[*layout.Key];
    if (value.Null || value.Bytes.size() != sizeof(std::int32_t)) return std::nullopt;
    return static_cast<std::int32_t>(*paramvalue::Integer(coltype::Int32, value.Bytes));
}

// The key counter the file declares, or for a key marked auto-increment whose
// counter was lost, the first key.
std::optional<std::int64_t> DeclaredCounter(const Layout& layout) {
    std::optional<std::int64_t> counter;
    for (const Param& param : layout.TableParams)
        if (IsCounter(param) && !param.Null) counter = paramvalue::Integer(coltype::Plain(param.Type), param.Value);
    if (!counter && layout.KeyCounts) counter = 1;
    return counter;
}

// Reads the rows up to the first failure and decides which are taken; a
// counter is raised above every key taken.
void ScanRows(TDATAPACKET_READ& reader, std::size_t size, const Layout& layout, std::optional<std::int64_t>& counter,
              RescueResult& result) {
    std::unordered_set<std::int32_t> keys;
    std::uint8_t status;
    Row row;
    std::uint16_t code;
    while ((code = reader.NextRow(status, row)) == pkt::Ok) {
        if (!reader.IsXml() && !TextsFitTheirColumns(layout, row)) {
            code = pkt::BufferTooSmall;
            break;
        }
        ++result.RowsRead;
        result.CleanBytes = reader.Offset();
        if (!layout.Key) continue;
        const auto key = KeyOf(layout, row);
        if (!key || !keys.insert(*key).second) {
            result.SkippedRows.push_back(result.RowsRead);
            continue;
        }
        if (counter && *counter <= *key) counter = std::int64_t{*key} + 1;
    }
    if (code != pkt::EndOfData) result.StopCode = code;
    // A binary packet ends with its last row. Bytes after the rows its header
    // counts mean a damaged count: the file was not read whole.
    else if (!reader.IsXml() && reader.Offset() < size)
        result.StopCode = pkt::NotAPacket;
}

// A text column travels as plain text with a 4-byte length prefix in the
// rescued packet, whatever the damaged one declared: a broken quote can make a
// text longer than its prefix could count, and a damaged type word may carry
// marks that the table passes over but the writer refuses. The table keeps its
// widths from the "WIDTH" parameters. Other types stay as they are.
ColumnType RescuedType(ColumnType type) {
    const bool text =
        coltype::TypeCode(type) == coltype::cString && coltype::IsVarying(type) && !coltype::IsArray(type);
    return text ? coltype::String4 : type;
}

std::uint16_t WriteLayout(TDATAPACKET_WRITE& writer, const Layout& layout, std::optional<std::int64_t> counter) {
    if (const std::uint16_t status = writer.BeginPacket(3, static_cast<std::uint32_t>(layout.Columns.size())))
        return status;
    for (std::size_t i = 0; i < layout.Columns.size(); ++i) {
        ColumnDesc column = layout.Columns[i];
        column.Type = RescuedType(column.Type);
        if (const std::uint16_t status = writer.AddColumn(column)) return status;
        for (const Param& param : layout.FieldParams[i])
            if (const std::uint16_t status = writer.AddParam(0, param.Name, param.Type, param.Value.data(),
                                                             static_cast<std::uint32_t>(param.Value.size())))
                return status;
    }
    const std::string counterValue =
        counter ? paramvalue::Int32(static_cast<std::int32_t>(std::clamp<std::int64_t>(
                      *counter, std::numeric_limits<std::int32_t>::min(), std::numeric_limits<std::int32_t>::max())))
                : std::string();
    bool counterWritten = false;
    const auto addCounter = [&] {
        counterWritten = true;
        return writer.AddParam(1, kCounterName, coltype::Int32, counterValue.data(),
                               static_cast<std::uint32_t>(counterValue.size()));
    };
    for (const Param& param : layout.TableParams) {
        std::uint16_t status;
        if (IsCounter(param))
            status = counterWritten ? pkt::Ok : addCounter();
        else
            status = writer.AddParam(1, param.Name, param.Type, param.Value.data(),
                                     static_cast<std::uint32_t>(param.Value.size()));
        if (status) return status;
    }
    if (counter && !counterWritten)
        if (const std::uint16_t status = addCounter()) return status;
    return writer.AddParam(1, {}, 0, nullptr, 0);
}

bool IsText(ColumnType type) { return RescuedType(type) == coltype::String4; }

// Writes the row, its texts cut to kMaxTextSize bytes; each cut goes into `result`.
std::uint16_t WriteRow(TDATAPACKET_WRITE& writer, const Layout& layout, const Row& row, std::uint32_t number,
                       RescueResult& result) {
    static constexpr std::uint8_t kCurrent = rsUnchanged;
    static constexpr char kEmptyText = '\0';
    if (const std::uint16_t status = writer.PutValue(0, 1, &kCurrent)) return status;
    for (std::size_t i = 0; i < row.size(); ++i) {
        std::string_view bytes = row[i].Bytes;
        // A text ends at a zero byte when the table stores it.
        const std::string_view text = bytes.substr(0, bytes.find('\0'));
        if (!row[i].Null && IsText(layout.Columns[i].Type) && text.size() > kMaxTextSize) {
            result.Cuts.push_back({number, layout.Key ? KeyOf(layout, row) : std::nullopt,
                                   std::string(layout.Columns[i].NameView()), text.size()});
            bytes = text.substr(0, kMaxTextSize);
        }
        std::uint16_t status;
        if (row[i].Null)
            status = writer.PutValue(1, 0, nullptr);
        else if (bytes.empty())
            status = writer.PutValue(0, 1, &kEmptyText);
        else
            status = writer.PutValue(0, static_cast<std::int32_t>(bytes.size()), bytes.data());
        if (status) return status;
    }
    return pkt::Ok;
}

// The second pass: the same rows again, the skipped ones left out.
std::uint16_t WritePacket(std::string_view damaged, const Layout& layout, std::optional<std::int64_t> counter,
                          RescueResult& result) {
    TDATAPACKET_WRITE writer;
    if (const std::uint16_t status = writer.SetXmlFlags(0)) return status;
    if (const std::uint16_t status = WriteLayout(writer, layout, counter)) return status;
    TDATAPACKET_READ reader;
    if (const std::uint16_t status = reader.Start(damaged)) return status;
    auto skipped = result.SkippedRows.begin();
    std::uint8_t rowStatus;
    Row row;
    for (std::uint32_t number = 1; number <= result.RowsRead; ++number) {
        if (const std::uint16_t status = reader.NextRow(rowStatus, row)) return status;
        if (skipped != result.SkippedRows.end() && *skipped == number) {
            ++skipped;
            continue;
        }
        if (const std::uint16_t status = WriteRow(writer, layout, row, number, result)) return status;
    }
    return writer.FinishPacket(result.Packet);
}

}  // namespace

RescueResult RescueCatalog(std::string_view damaged) {
    RescueResult result;
    TDATAPACKET_READ reader;
    if (const std::uint16_t status = reader.Start(damaged)) {
        result.StopCode = status;
        return result;
    }
    Layout layout;
    ReadLayout(reader, layout, result);
    if (!result.LayoutRead) return result;
    // Rows read into fields the catalogue does not have would give a file that
    // no command opens; whatever follows the damaged field list is not trusted.
    if (const auto foreign = FirstForeignColumn(layout)) {
        result.LayoutRead = false;
        result.ForeignField = *foreign + 1;
        result.StopCode = pkt::NotAPacket;
        result.CleanBytes = layout.ColumnStarts[*foreign];
        return result;
    }
    std::optional<std::int64_t> counter = DeclaredCounter(layout);
    if (result.StopCode == pkt::Ok) ScanRows(reader, damaged.size(), layout, counter, result);
    if (const std::uint16_t status = WritePacket(damaged, layout, counter, result)) {
        // Columns the writer refuses (a type it has no form for), or no memory:
        // nothing can be rescued into them.
        result.LayoutRead = false;
        result.StopCode = status;
        result.RowsRead = 0;
        result.SkippedRows.clear();
        result.Cuts.clear();
        result.Packet.clear();
    }
    return result;
}
