#include "table/LoadTable.h"

#include <algorithm>
#include <cstring>
#include <limits>
#include <unordered_set>

#include "packet/DataPacketReader.h"
#include "packet/PacketInput.h"
#include "packet/ValueText.h"
#include "table/Collation.h"
#include "table/DSIDX.h"
#include "table/Errors.h"
#include "table/HeldPacket.h"
#include "table/LoadRows.h"
#include "table/ParamValues.h"
#include "table/RecordStore.h"

namespace {

#define KINOVKA_TRY(call) \
    do {                                                   \
        if (const pkt::Status status_ = (call)) return status_; \
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

using Param = TDATAPACKET_READ::Param;

// An attribute whose text did not read in the type its name gives, handed out
// as that text: kept so, it is written back as it was read, where kept as the
// zeros of its type it would come back as another, valid value.
bool IsKeptText(const Param& param) { return param.Null && coltype::TypeCode(param.Type) == coltype::cString; }

// A parameter that travels with the table. One of a type the writer has no name
// for (a binary packet's 64-bit integer, say) refuses the load: accepted, it
// would make every later save of the table fail.
pkt::Status Keep(std::vector<StoredParam>& params, const Param& param) {
    std::string_view typeName;
    if (const pkt::Status code = FieldTypeName(param.Type, typeName)) return code;
    params.push_back({param.Name, param.Type, param.Value});
    return pkt::Ok;
}

pkt::Status ApplyFieldParam(FieldLayout& layout, const Param& param) {
    if (SameName(param.Name, "CALCULATED")) {
        // Its presence is its meaning; the save writes it as the number 1.
        layout.Calculated = true;
        return pkt::Ok;
    }
    if (SameName(param.Name, "SUBTYPE")) {
        const auto name = paramvalue::Text(param.Type, param.Value);
        if (!name) return dberr::BufferTooSmall;
        if (const auto code = SubtypeCode(*name)) {
            layout.Subtype = *code;
            if (*code == subtype::AutoInc) layout.Attributes |= caReadOnly;
            return pkt::Ok;
        }
        layout.Subtype = subtype::Unknown;
    } else if (SameName(param.Name, "DECIMALS")) {
        // A scale or width that does not read counts as absent.
        if (const auto scale = paramvalue::Integer(param.Type, param.Value)) layout.Scale = static_cast<int>(*scale);
        return pkt::Ok;
    } else if (SameName(param.Name, "WIDTH") || SameName(param.Name, "ELEMENTS")) {
        const auto width = paramvalue::Integer(param.Type, param.Value);
        if (width && *width < 0) return dberr::BufferTooSmall;
        // 0, or more than a save could write back: the width comes from the values.
        if (width && *width > 0 && *width <= kMaxTextSize) layout.Size = static_cast<int>(*width);
        return pkt::Ok;
    }
    if (param.Null && !IsKeptText(param)) return pkt::Ok;
    return Keep(layout.Params, param);
}

pkt::Status ReadColumns(TDATAPACKET_READ& reader, std::vector<FieldLayout>& fields) {
    ColumnDesc column;
    pkt::Status status;
    std::unordered_set<std::string> names;
    while ((status = reader.NextColumn(column)) == 0) {
        FieldLayout field;
        field.Name = std::string(column.NameView());
        // Rows name their values by column, so two columns of one name could not
        // be told apart in the XML form: such a table would not save faithfully.
        if (!names.insert(field.Name).second) return dberr::NotAPacket;
        field.Attributes = column.Attributes;
        if (coltype::TypeCode(column.Type) == coltype::cString && coltype::IsVarying(column.Type) &&
            !coltype::IsArray(column.Type))
            field.DataType = ftString;
        else if (coltype::Plain(column.Type) == coltype::Int32)
            field.DataType = ftInteger;
        else
            return dberr::InvalidKeyType;  // a column type this table cannot hold
        Param param;
        while ((status = reader.NextParam(param)) == 0) KINOVKA_TRY(ApplyFieldParam(field, param));
        if (status != pkt::EndOfData) return status;
        if (field.IsText() && field.Size == 0) {
            field.Size = kDefaultTextWidth;
            field.WidthFromValues = true;
        }
        if (!field.IsText() && field.Subtype == subtype::AutoInc) field.DataType = ftAutoInc;
        fields.push_back(std::move(field));
    }
    return status == pkt::EndOfData ? pkt::Ok : status;
}

// A flag parameter ("READONLY", "DISABLE_INSERTS", ...) is set by a true
// boolean or a nonzero number; a text by what its first letter ("T", "F") or
// its number says, and one that says neither by being there.
bool FlagIsSet(const Param& param) {
    if (coltype::TypeCode(param.Type) == coltype::cBoolean)
        return param.Value.find_first_not_of('\0') != std::string::npos;
    if (const auto number = paramvalue::Integer(param.Type, param.Value)) return *number != 0;
    const auto text = paramvalue::Text(param.Type, param.Value);
    if (!text || text->empty()) return true;
    if (text->front() == 'T' || text->front() == 't') return true;
    if (text->front() == 'F' || text->front() == 'f') return false;
    std::int64_t number;
    return !ReadIntegerText(*text, number) || number != 0;
}

// The changes a table parameter refuses (RecordStore::ChangeKind bits).
unsigned RefusedChanges(const Param& param) {
    unsigned kinds = 0;
    if (SameName(param.Name, "READONLY")) kinds = RecordStore::kInserts | RecordStore::kEdits | RecordStore::kDeletes;
    else if (SameName(param.Name, "DISABLE_INSERTS")) kinds = RecordStore::kInserts;
    else if (SameName(param.Name, "DISABLE_EDITS")) kinds = RecordStore::kEdits;
    else if (SameName(param.Name, "DISABLE_DELETES")) kinds = RecordStore::kDeletes;
    return kinds != 0 && FlagIsSet(param) ? kinds : 0;
}

// What the table parameters ask for once the store exists.
struct TableSettings {
    std::optional<std::int32_t> AutoIncValue;
    std::uint32_t LocaleId = 0;
    bool ChangeSet = false;
    unsigned RefusedChanges = 0;
    std::optional<std::vector<std::uint32_t>> DefaultOrder;
    std::vector<std::pair<std::string, std::vector<std::uint32_t>>> KeyLists;  // PRIMARY_KEY, UNIQUE_KEY
    std::vector<StoredParam> Stored;
};

pkt::Status ReadTableParams(TDATAPACKET_READ& reader, TableSettings& settings) {
    Param param;
    pkt::Status status;
    while ((status = reader.NextParam(param)) == 0) {
        const std::string& name = param.Name;
        // A change set by being there, whatever the value says.
        if (SameName(name, "DATASET_DELTA") || SameName(name, "DELTA")) settings.ChangeSet = true;
        settings.RefusedChanges |= RefusedChanges(param);
        // Unreadable counts as absent for what the table takes from the value,
        // as for a column's parameters: a damaged "AUTOINCVALUE" then leaves the
        // next key to the keys held rather than handing out wrong ones.
        if (param.Null) {
            if (IsKeptText(param) && !SameName(name, "AUTOINCVALUE")) KINOVKA_TRY(Keep(settings.Stored, param));
            continue;
        }
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
        } else if (SameName(name, "MD_FIELDLINKS")) {
            store = false;
        }
        if (store) KINOVKA_TRY(Keep(settings.Stored, param));
    }
    return status == pkt::EndOfData ? pkt::Ok : status;
}

// Key fields with their flags, checked against the store's fields.
pkt::Status DescriptorOf(const RecordStore& store, const std::vector<std::uint32_t>& numbers,
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
    return pkt::Ok;
}

bool SameKeys(const IndexDescriptor& a, const IndexDescriptor& b) {
    return a.Fields == b.Fields && a.Descending == b.Descending && a.CaseInsensitive == b.CaseInsensitive;
}

// The default order takes its keys from "DEFAULT_ORDER"; a key list naming the
// same keys marks it primary or unique, any other becomes an index of its own.
pkt::Status ApplyKeys(RecordStore& store, const TableSettings& settings) {
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
    return pkt::Ok;
}

// Marks the fields `only` leaves out as unread and tells the reader; true when
// there is one. Some are read whatever `only` says, because the load itself
// needs their values: a field whose width comes from its values (one too long
// refuses the load), an auto-increment field (its highest key is the next
// key's floor) and the keys the packet names (their indexes are built here).
bool LeaveUnread(TDATAPACKET_READ& reader, std::vector<FieldLayout>& fields, const TableSettings& settings,
                 const FieldsToRead& only) {
    if (only.empty()) return false;
    std::vector<bool> needed(fields.size() + 1);
    auto need = [&](const std::vector<std::uint32_t>& numbers) {
        for (const std::uint32_t number : numbers)
            if ((number & kFieldNumberMask) < needed.size()) needed[number & kFieldNumberMask] = true;
    };
    if (settings.DefaultOrder) need(*settings.DefaultOrder);
    for (const auto& keys : settings.KeyLists) need(keys.second);
    std::vector<bool> unread(fields.size());
    for (std::size_t i = 0; i < fields.size(); ++i) {
        const FieldLayout& field = fields[i];
        unread[i] = !needed[i + 1] && !field.WidthFromValues && field.DataType != ftAutoInc &&
                    std::find(only.begin(), only.end(), field.Name) == only.end();
        fields[i].Unread = unread[i];
    }
    reader.LeaveUnread(unread);
    return std::find(unread.begin(), unread.end(), true) != unread.end();
}

// Builds the store from a started reader; `rows` is how many rows to make room
// for. The store keeps `held`, the packet the reader reads, when there is one.
pkt::Status LoadStarted(TDATAPACKET_READ& reader, std::uint32_t rows, std::size_t twoThreadsFrom,
                        std::shared_ptr<const HeldPacket> held, const FieldsToRead& only,
                        std::unique_ptr<RecordStore>& result) {
    std::vector<FieldLayout> fields;
    KINOVKA_TRY(ReadColumns(reader, fields));
    TableSettings settings;
    KINOVKA_TRY(ReadTableParams(reader, settings));
    if (LeaveUnread(reader, fields, settings, only))
        settings.RefusedChanges |= RecordStore::kInserts | RecordStore::kEdits | RecordStore::kDeletes;
    auto store = std::make_unique<RecordStore>(std::move(fields), settings.LocaleId);
    auto lock = store->Lock();
    store->TableParams() = std::move(settings.Stored);
    // A key column marked "Autoinc" keeps handing out keys when the counter was
    // lost or damaged: without it a new record would get no key, and the unique
    // key index would then refuse every record after that one.
    store->SetAutoIncField(store->FirstAutoIncCandidate());
    if (settings.ChangeSet) store->SetTrackChanges(false);
    store->RefuseChanges(settings.RefusedChanges);
    store->HoldPacket(std::move(held));
    store->Reserve(rows);
    KINOVKA_TRY(LoadRows(reader, *store, twoThreadsFrom));
    store->SettleAutoIncValue(settings.AutoIncValue);
    KINOVKA_TRY(ApplyKeys(*store, settings));
    lock.unlock();
    result = std::move(store);
    return pkt::Ok;
}

}  // namespace

pkt::Status LoadTable(std::string_view packet, std::unique_ptr<RecordStore>& result, std::size_t twoThreadsFrom,
                      const FieldsToRead& only) {
    result.reset();
    TDATAPACKET_READ reader;
    KINOVKA_TRY(reader.Start(packet));
    return LoadStarted(reader, RoomForRows(packet.size()), twoThreadsFrom, nullptr, only, result);
}

pkt::Status LoadTable(PacketInput& input, std::uint64_t size, std::unique_ptr<RecordStore>& result,
                      const FieldsToRead& only) {
    result.reset();
    if (size > 0 && size < std::numeric_limits<std::size_t>::max() / 4) {
        auto held = std::make_shared<HeldPacket>(static_cast<std::size_t>(size));
        held->ReadAll(input);
        TDATAPACKET_READ reader;
        KINOVKA_TRY(reader.Start(held->View()));
        const std::uint32_t rows = RoomForRows(held->View().size());
        return LoadStarted(reader, rows, kTwoThreadsFrom, std::move(held), only, result);
    }
    TDATAPACKET_READ reader;
    KINOVKA_TRY(reader.Start(input));
    return LoadStarted(reader, RoomForRows(size), kTwoThreadsFrom, nullptr, only, result);
}
