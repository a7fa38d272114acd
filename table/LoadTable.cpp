#include "table/LoadTable.h"

#include <cstring>
#include <limits>
#include <unordered_set>

#include "memory/LargeBlocks.h"
#include "packet/DataPacketReader.h"
#include "packet/PacketInput.h"
#include "table/Collation.h"
#include "table/DSIDX.h"
#include "table/Errors.h"
#include "table/LoadRows.h"
#include "table/ParamValues.h"
#include "table/RecordStore.h"

namespace {

#define KINOVKA_TRY(call) \
    do {                                                   \
        if (const std::uint16_t status_ = (call)) return status_; \
    } while (false)

constexpr std::uint32_t kDescendingFlag = 0x8000;
constexpr std::uint32_t kCaseInsensitiveFlag = 0x4000;
constexpr std::uint32_t kFieldNumberMask = 0x3FFF;

bool SameName(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        auto upper = [](char c) { return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c; };
        if (upper(a[i]) != upper(b[i])) return false;
    }
    return true;
}

std::uint16_t ApplyFieldParam(LoadedField& field, const TDATAPACKET_READ::Param& param) {
    FieldLayout& layout = field.Layout;
    if (SameName(param.Name, "SUBTYPE")) {
        const auto name = paramvalue::Text(param.Type, param.Value);
        if (!name) return dberr::BufferTooSmall;
        if (const auto code = SubtypeCode(*name)) {
            layout.Subtype = *code;
            if (*code == subtype::AutoInc) layout.Attributes |= caReadOnly;
            return 0;
        }
        layout.Subtype = subtype::Unknown;
    } else if (SameName(param.Name, "DECIMALS")) {
        const auto scale = paramvalue::Integer(param.Type, param.Value);
        if (!scale) return dberr::BufferTooSmall;
        layout.Scale = static_cast<int>(*scale);
        return 0;
    } else if (SameName(param.Name, "WIDTH") || SameName(param.Name, "ELEMENTS")) {
        const auto width = paramvalue::Integer(param.Type, param.Value);
        if (!width || *width < 0 || *width > kMaxTextWidth) return dberr::BufferTooSmall;
        layout.Size = static_cast<int>(*width);
        field.HasWidth = true;
        return 0;
    } else if (SameName(param.Name, "CALCULATED")) {
        layout.Calculated = true;
        return 0;
    }
    layout.Params.push_back({param.Name, param.Type, param.Value});
    return 0;
}

std::uint16_t ReadColumns(TDATAPACKET_READ& reader, std::vector<LoadedField>& fields) {
    ColumnDesc column;
    std::uint16_t status;
    std::unordered_set<std::string> names;
    while ((status = reader.NextColumn(column)) == 0) {
        LoadedField field;
        field.Layout.Name = std::string(column.NameView());
        // Rows name their values by column, so two columns of one name could not
        // be told apart in the XML form: such a table would not save faithfully.
        if (!names.insert(field.Layout.Name).second) return dberr::NotAPacket;
        field.Layout.Attributes = column.Attributes;
        if (coltype::TypeCode(column.Type) == coltype::cString && coltype::IsVarying(column.Type) &&
            !coltype::IsArray(column.Type))
            field.Layout.DataType = ftString;
        else if (coltype::Plain(column.Type) == coltype::Int32)
            field.Layout.DataType = ftInteger;
        else
            return dberr::InvalidKeyType;  // a column type this table cannot hold
        TDATAPACKET_READ::Param param;
        // A value the reader could not read counts as absent: kept, it would be
        // written back as some other, valid value.
        while ((status = reader.NextParam(param)) == 0)
            if (!param.Null) KINOVKA_TRY(ApplyFieldParam(field, param));
        if (status != pkt::EndOfData) return status;
        if (field.Layout.IsText() && !field.HasWidth) field.Layout.Size = kDefaultTextWidth;
        if (!field.Layout.IsText() && field.Layout.Subtype == subtype::AutoInc) field.Layout.DataType = ftAutoInc;
        fields.push_back(std::move(field));
    }
    return status == pkt::EndOfData ? 0 : status;
}

// What the table parameters ask for once the store exists.
struct TableSettings {
    std::optional<std::int32_t> AutoIncValue;
    std::uint32_t LocaleId = 0;
    bool ChangeSet = false;
    std::optional<std::vector<std::uint32_t>> DefaultOrder;
    std::vector<std::pair<std::string, std::vector<std::uint32_t>>> KeyLists;  // PRIMARY_KEY, UNIQUE_KEY
    std::vector<StoredParam> Stored;
};

std::uint16_t ReadTableParams(TDATAPACKET_READ& reader, TableSettings& settings) {
    TDATAPACKET_READ::Param param;
    std::uint16_t status;
    while ((status = reader.NextParam(param)) == 0) {
        // Unreadable counts as absent, as for a column's parameters.
        if (param.Null) continue;
        const std::string& name = param.Name;
        bool store = true;
        if (SameName(name, "DEFAULT_ORDER") || SameName(name, "PRIMARY_KEY") || SameName(name, "UNIQUE_KEY")) {
            auto numbers = paramvalue::IntegerArray(param.Type, param.Value);
            if (!numbers) return dberr::BufferTooSmall;
            if (SameName(name, "DEFAULT_ORDER"))
                settings.DefaultOrder = std::move(*numbers);
            else
                settings.KeyLists.emplace_back(SameName(name, "PRIMARY_KEY") ? "PRIMARY_KEY" : "UNIQUE_KEY",
                                               std::move(*numbers));
        } else if (SameName(name, "CHANGE_LOG")) {
            // Without change tracking there is no log to rebuild; only its form is checked.
            if (!coltype::IsArray(param.Type) || coltype::Size(param.Type) != 4 ||
                !paramvalue::IntegerArray(param.Type, param.Value))
                return dberr::BufferTooSmall;
            store = false;
        } else if (SameName(name, "AUTOINCVALUE")) {
            const auto value = paramvalue::Integer(param.Type, param.Value);
            if (!value) return dberr::BufferTooSmall;
            settings.AutoIncValue = static_cast<std::int32_t>(*value);
            store = false;
        } else if (SameName(name, "LCID")) {
            const auto value = paramvalue::Integer(param.Type, param.Value);
            if (value && *value > 0 && *value <= 0xFFFFFFFF &&
                Collation::IsInstalledLocale(static_cast<std::uint32_t>(*value)))
                settings.LocaleId = static_cast<std::uint32_t>(*value);
        } else if (SameName(name, "DATASET_DELTA") || SameName(name, "DELTA")) {
            settings.ChangeSet = true;
        } else if (SameName(name, "MD_FIELDLINKS")) {
            store = false;
        }
        if (store) settings.Stored.push_back({param.Name, param.Type, param.Value});
    }
    return status == pkt::EndOfData ? 0 : status;
}

// Key fields with their flags, checked against the store's fields.
std::uint16_t DescriptorOf(const RecordStore& store, const std::vector<std::uint32_t>& numbers,
                           IndexDescriptor& descriptor) {
    for (const std::uint32_t number : numbers) {
        if (descriptor.Fields.size() == kMaxKeyFields) break;
        const int fieldNo = static_cast<int>(number & kFieldNumberMask);
        if (fieldNo < 1 || fieldNo > store.FieldCount()) return dberr::InvalidKeyType;
        descriptor.Fields.push_back(fieldNo);
        descriptor.Descending.push_back((number & kDescendingFlag) != 0);
        descriptor.CaseInsensitive.push_back((number & kCaseInsensitiveFlag) != 0);
        descriptor.KeyLength += store.Field(fieldNo).ValueWidth();
    }
    return 0;
}

bool SameKeys(const IndexDescriptor& a, const IndexDescriptor& b) {
    return a.Fields == b.Fields && a.Descending == b.Descending && a.CaseInsensitive == b.CaseInsensitive;
}

// The default order takes its keys from "DEFAULT_ORDER"; a key list naming the
// same keys marks it primary or unique, any other becomes an index of its own.
std::uint16_t ApplyKeys(RecordStore& store, const TableSettings& settings) {
    IndexDescriptor order;
    if (settings.DefaultOrder) KINOVKA_TRY(DescriptorOf(store, *settings.DefaultOrder, order));
    std::vector<IndexDescriptor> separate;
    for (const auto& [name, numbers] : settings.KeyLists) {
        IndexDescriptor keys;
        KINOVKA_TRY(DescriptorOf(store, numbers, keys));
        const bool primary = name == "PRIMARY_KEY";
        if (settings.DefaultOrder && SameKeys(keys, order)) {
            order.Unique = true;
            order.Primary = primary;
            store.SetDefaultOrderKeyKind(primary ? 2 : 1);
            continue;
        }
        keys.Name = name;
        keys.Unique = true;
        keys.Primary = primary;
        separate.push_back(std::move(keys));
    }
    if (settings.DefaultOrder) store.SetDefaultOrderKeys(order);
    KINOVKA_TRY(store.RebuildIndexes());
    for (const auto& keys : separate) KINOVKA_TRY(store.CreateIndex(keys));
    return 0;
}

// A catalogue's rows take well over this many bytes each; room that is
// reserved but never used costs no memory. (Counting the rows would cost a
// pass over the whole packet.)
std::uint32_t RoomForRows(std::uint64_t packetBytes) {
    constexpr std::uint64_t kBytesPerRow = 64;
    return static_cast<std::uint32_t>(std::min<std::uint64_t>(packetBytes / kBytesPerRow, 1u << 26));
}

// Builds the store from a started reader; `rows` is how many rows to make room for.
std::uint16_t LoadStarted(TDATAPACKET_READ& reader, std::uint32_t rows, std::size_t twoThreadsFrom,
                          std::unique_ptr<RecordStore>& result) {
    std::vector<LoadedField> fields;
    KINOVKA_TRY(ReadColumns(reader, fields));
    TableSettings settings;
    KINOVKA_TRY(ReadTableParams(reader, settings));
    std::vector<FieldLayout> layout;
    for (const auto& field : fields) layout.push_back(field.Layout);
    auto store = std::make_unique<RecordStore>(std::move(layout), settings.LocaleId);
    auto lock = store->Lock();
    store->TableParams() = std::move(settings.Stored);
    // A key column marked "Autoinc" keeps handing out keys when the counter was
    // lost or damaged: without it a new record would get no key, and the unique
    // key index would then refuse every record after that one.
    store->SetAutoIncField(store->FirstAutoIncCandidate());
    if (settings.ChangeSet) store->SetTrackChanges(false);
    store->Reserve(rows);
    KINOVKA_TRY(LoadRows(reader, *store, fields, twoThreadsFrom));
    store->SettleAutoIncValue(settings.AutoIncValue);
    KINOVKA_TRY(ApplyKeys(*store, settings));
    lock.unlock();
    result = std::move(store);
    return 0;
}

// A packet read whole from its input into one large block, so that its rows can
// be read on two threads.
class WholePacket {
public:
    explicit WholePacket(std::size_t expected)
        : data_(static_cast<char*>(memory::Allocate(expected + 1))), capacity_(expected + 1) {}
    // One byte of room more than expected sees the end without another read, unless the input grew.
    void ReadAll(PacketInput& input) {
        while (const std::size_t got = input.Read(data_ + size_, capacity_ - size_)) {
            size_ += got;
            if (size_ == capacity_) {
                data_ = static_cast<char*>(memory::Resize(data_, capacity_, 2 * capacity_));
                capacity_ *= 2;
            }
        }
    }
    ~WholePacket() { memory::Free(data_, capacity_); }
    WholePacket(const WholePacket&) = delete;
    WholePacket& operator=(const WholePacket&) = delete;
    std::string_view View() const { return {data_, size_}; }

private:
    char* data_;
    std::size_t capacity_;
    std::size_t size_ = 0;
};

}  // namespace

std::uint16_t LoadTable(std::string_view packet, std::unique_ptr<RecordStore>& result, std::size_t twoThreadsFrom) {
    result.reset();
    TDATAPACKET_READ reader;
    KINOVKA_TRY(reader.Start(packet));
    return LoadStarted(reader, RoomForRows(packet.size()), twoThreadsFrom, result);
}

std::uint16_t LoadTable(PacketInput& input, std::uint64_t size, std::unique_ptr<RecordStore>& result) {
    result.reset();
    if (size >= kTwoThreadsFrom && size < std::numeric_limits<std::size_t>::max() / 4) {
        WholePacket whole(static_cast<std::size_t>(size));
        whole.ReadAll(input);
        return LoadTable(whole.View(), result);
    }
    TDATAPACKET_READ reader;
    KINOVKA_TRY(reader.Start(input));
    return LoadStarted(reader, RoomForRows(size), kTwoThreadsFrom, result);
}
