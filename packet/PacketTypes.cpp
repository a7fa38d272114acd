#include "packet/PacketTypes.h"

#include "packet/AsciiCase.h"
#include "packet/PacketStatus.h"

#include <array>
#include <cstring>
#include <utility>

namespace {

using coltype::String1;
using coltype::UIntArray;
constexpr ColumnType Boolean16 = coltype::Boolean16, Int16 = coltype::Int16, Int32 = coltype::Int32;

// MINVALUE, MAXVALUE and DEFVALUE are written with the type passed along with the
// value and read back as single-byte strings.
constexpr std::array<std::pair<std::string_view, ColumnType>, 22> kKnownParams{{
    {"UNIQUE_KEY", UIntArray}, {"DEFAULT_ORDER", UIntArray}, {"CHANGE_LOG", UIntArray},
    {"SERVER_COL", String1},   {"DATASET_DELTA", Boolean16}, {"READONLY", Boolean16},
    {"SUBTYPE", String1},      {"DECIMALS", Int16},          {"WIDTH", Int16},
    {"LCID", Int16},           {"AUTOINCVALUE", Int32},      {"TABLENAME", String1},
    {"MD_FIELDLINKS", UIntArray}, {"TYPENAME", String1},     {"UPDATEMODE", Int16},
    {"MD_SEMANTICS", UIntArray},  {"CALCULATED", Boolean16}, {"DELTA", Boolean16},
    {"PRIMARY_KEY", UIntArray},   {"MINVALUE", String1},     {"MAXVALUE", String1},
    {"DEFVALUE", String1},
}};

constexpr std::array<std::pair<std::string_view, int>, 18> kSubtypes{{
    {"Text", 22},     {"Binary", 23},       {"Formatted", 24}, {"Ole", 25},
    {"Graphics", 26}, {"dBASEOle", 27},     {"TypedBinary", 28}, {"Money", 21},
    {"Autoinc", 29},  {"AccessOle", 30},    {"HMemo", 33},     {"HBinary", 34},
    {"ADTNestedTable", 35}, {"FixedChar", 31}, {"Reference", 70}, {"BFile", 36},
    {"ADTDate", 37},  {"Guid", 38},
}};

constexpr std::array<std::pair<std::string_view, ColumnType>, 18> kTypeNames{{
    {"i1", 0x10001},       {"i2", 0x10002},         {"i4", 0x10004},      {"i8", 0x10008},
    {"ui1", 0x20001},      {"ui2", 0x20002},        {"ui4", 0x20004},     {"ui8", 0x20008},
    {"IntArray", 0x810004}, {"UIntArray", 0x820004}, {"r8", 0x40008},     {"r10", 0x4000A},
    {"boolean", 0x30002},  {"bin.hex", 0x4B0001},   {"date", 0x60004},    {"time", 0x70004},
    {"dateTime", 0x80008}, {"SQLdateTime", 0x110010},
}};

}  // namespace

std::string_view ColumnDesc::NameView() const {
    return {Name, strnlen(Name, sizeof Name - 1)};
}

bool ColumnDesc::SetName(std::string_view name) {
    if (name.size() >= sizeof Name) return false;
    std::memset(Name, 0, sizeof Name);
    std::memcpy(Name, name.data(), name.size());
    return true;
}

std::uint32_t XmlFlagsForSaveFormat(int saveFormat) {
    switch (saveFormat) {
        case 1: return xmlflag::Xml | xmlflag::Metadata;
        case 2: return xmlflag::Xml | xmlflag::Metadata | xmlflag::Utf8;
        default: return 0;
    }
}

std::optional<ColumnType> KnownParamType(std::string_view name) {
    for (const auto& [known, type] : kKnownParams)
        if (SameIgnoringAsciiCase(known, name)) return type;
    return std::nullopt;
}

std::optional<int> SubtypeCode(std::string_view name) {
    for (const auto& [known, code] : kSubtypes)
        if (SameIgnoringAsciiCase(known, name)) return code;
    return std::nullopt;
}

std::optional<std::string_view> SubtypeName(int code) {
    for (const auto& [name, known] : kSubtypes)
        if (known == code) return name;
    return std::nullopt;
}

pkt::Status FieldTypeName(ColumnType type, std::string_view& name) {
    using namespace coltype;
    const unsigned code = TypeCode(type);
    const unsigned size = Size(type);
    if (code > MaxCode) return pkt::NotAllowed;
    const bool array = IsArray(type);
    const char* found = nullptr;
    switch (code) {
        case cInteger:
            if (array) found = "IntArray";
            else if (size == 1) found = "i1";
            else if (size == 2) found = "i2";
            else if (size == 4) found = "i4";
            break;
        case cUnsigned:
            if (array) found = "UIntArray";
            else if (size == 1) found = "ui1";
            else if (size == 2) found = "ui2";
            else if (size == 4) found = "ui4";
            break;
        case cBoolean:
            if (size == 1 || size == 2 || size == 4) found = "boolean";
            break;
        case cFloat:
            if (size == 8) found = "r8";
            break;
        case cBcd: found = "fixed"; break;
        case cDate: found = "date"; break;
        case cTime: found = "time"; break;
        case cDateTime: found = "dateTime"; break;
        case cString: found = "string"; break;
        case cWideString: found = "string.uni"; break;
        case cBytes: found = "bin.hex"; break;
        case cNested: found = "nested"; break;
        case cSqlTimeStamp: found = "SQLdateTime"; break;
        case cBcdFormatted: found = "fixedFMT"; break;
        default: break;
    }
    if (!found) return pkt::NoTypeName;
    name = found;
    return pkt::Ok;
}

ColumnType ColumnTypeFromName(std::string_view name) {
    auto starts = [&](std::string_view prefix) {
        return name.size() >= prefix.size() && SameIgnoringAsciiCase(name.substr(0, prefix.size()), prefix);
    };
    for (const auto& [known, type] : kTypeNames)
        if (SameIgnoringAsciiCase(known, name)) return type;
    if (SameIgnoringAsciiCase(name, "int")) return coltype::Int32;
    if (SameIgnoringAsciiCase(name, "uint")) return coltype::UInt32;
    if (SameIgnoringAsciiCase(name, "string")) return coltype::String1;
    if (SameIgnoringAsciiCase(name, "string.uni")) return coltype::WideString1;
    if (SameIgnoringAsciiCase(name, "nested")) return 0x50E0000;
    if (SameIgnoringAsciiCase(name, "struct")) return 0x10C0000;
    if (SameIgnoringAsciiCase(name, "fixedFMT")) return 0x120020;
    // "i" and "ui" look only at the character after the prefix.
    const std::size_t prefix = starts("ui") ? 2 : starts("i") ? 1 : 0;
    if (prefix) {
        const ColumnType base = prefix == 2 ? 0x20000 : 0x10000;
        if (name.size() == prefix) return base + 4;
        switch (name[prefix]) {
            case '1': return base + 1;
            case '2': return base + 2;
            case '4': return base + 4;
            case '8': return base + 8;
            default: return 0;
        }
    }
    if (starts("f")) return 0x50020;
    return 0;
}
