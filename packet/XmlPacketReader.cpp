#include "packet/XmlPacketReader.h"

#include "packet/AsciiCase.h"
#include "packet/ByteOrder.h"
#include "packet/PacketStatus.h"
#include "packet/ValueLayout.h"
#include "packet/ValueText.h"
#include "packet/XmlText.h"

namespace {

using Param = PacketParam;

// A parameter's name ends at a zero byte, as it does when the name is written:
// read with one inside, it would come back from the next save as another name.
std::string_view ParamName(std::string_view name) { return name.substr(0, name.find('\0')); }

bool IsSupportedColumnType(ColumnType type) {
    return type != 0 && valuelayout::IsSupported(type) && coltype::TypeCode(type) != coltype::cNested;
}

// A type a PARAM element may name: one the writer can name again. A value of a
// type it has no name for (i8, ui8, r10) could never be saved, so it is read as
// the text it is, as a type name not known at all is.
bool IsWritableParamType(ColumnType type) {
    std::string_view name;
    return IsSupportedColumnType(type) && FieldTypeName(type, name) == pkt::Ok;
}

// The widest value a 1-byte prefix can count; longer texts read from an
// attribute get a wider prefix instead of being cut.
ColumnType WithRoomFor(ColumnType type, std::size_t length) {
    if (!coltype::IsVarying(type) || valuelayout::FitsPrefix(type, length)) return type;
    return (type & ~coltype::SizeMask) | (length <= 0xFFFF ? 2 : 4);
}

}  // namespace

XmlPacketReader::XmlPacketReader(std::string_view block) : tokens_(block) { scratch_.reserve(4096); }

XmlPacketReader::XmlPacketReader(PacketInput& input, std::string_view first) : tokens_(input, first) {
    scratch_.reserve(4096);
}

XmlPacketReader::XmlPacketReader(const XmlPacketReader& from, std::size_t offset)
    : tokens_(from.tokens_, offset), utf8_(from.utf8_), stage_(from.stage_), plainRows_(from.plainRows_),
      xmlColumns_(from.xmlColumns_) {
    columns_ = from.columns_;
    scratch_.reserve(4096);
}

pkt::Status XmlPacketReader::Start() {
    if (const pkt::Status status = tokens_.ReadHeader(utf8_)) return status;
    XmlElement element;
    if (const pkt::Status status = tokens_.Next(element)) return status;
    if (element.Kind == XmlKind::Start && element.Name == "DATAPACKET")
        if (const pkt::Status status = tokens_.Next(element)) return status;
    if (element.Kind != XmlKind::Start || element.Name != "METADATA") return pkt::NotAPacket;
    if (const pkt::Status status = tokens_.Next(element)) return status;
    if (element.Name != "FIELDS" || (element.Kind != XmlKind::Start && element.Kind != XmlKind::Empty))
        return pkt::NotAPacket;
    stage_ = element.Kind == XmlKind::Start ? Stage::Fields : Stage::FieldsDone;
    return pkt::Ok;
}

pkt::Status XmlPacketReader::NextColumn(ColumnDesc& column) {
    if (stage_ == Stage::FieldParams) {
        Param skipped;
        pkt::Status status;
        while ((status = NextParam(skipped)) == pkt::Ok) {
        }
        if (status != pkt::EndOfData) return status;
    }
    if (stage_ != Stage::Fields) return pkt::EndOfData;
    XmlElement element;
    if (const pkt::Status status = tokens_.Next(element)) return status;
    if (element.Kind == XmlKind::End) {
        stage_ = Stage::FieldsDone;
        return pkt::EndOfData;
    }
    if (element.Name != "FIELD" || element.Kind == XmlKind::Text) return pkt::NotAPacket;
    return ReadColumn(element.Kind == XmlKind::Start, column);
}

pkt::Status XmlPacketReader::ReadColumn(bool hasChildren, ColumnDesc& column) {
    Column read;
    XmlAttribute* name = tokens_.Find("attrname");
    if (!name) {
        name = tokens_.Find("tagname");
        read.Tagged = true;
    }
    if (!name) return pkt::NotAPacket;
    name->Used = true;
    read.LookupName = name->Value;
    read.Opening = xmlsyntax::AttributeOpening(read.LookupName);

    XmlAttribute* type = tokens_.Find("fieldtype");
    if (!type) return pkt::InvalidKeyType;
    type->Used = true;
    read.Type = ColumnTypeFromName(type->Value);
    if (!IsSupportedColumnType(read.Type)) return pkt::InvalidKeyType;

    ColumnDesc desc;
    desc.Type = read.Type;
    static constexpr std::pair<std::string_view, std::uint16_t> kFlags[] = {
        {"readonly", caReadOnly}, {"hidden", caHidden}, {"required", caRequired}, {"linkfield", caLink}};
    for (const auto& [flag, bit] : kFlags) {
        if (XmlAttribute* attribute = tokens_.Find(flag)) {
            attribute->Used = true;
            if (SameIgnoringAsciiCase(attribute->Value, "true")) desc.Attributes |= bit;
        }
    }
    XmlAttribute* ownName = tokens_.Find("fieldname");
    if (ownName) ownName->Used = true;
    scratch_.clear();
    AppendDecoded(scratch_, ownName ? ownName->Value : read.LookupName, utf8_);
    // A name that does not fit the descriptor is refused rather than cut.
    if (!desc.SetName(scratch_)) return pkt::NotAPacket;

    xmlColumns_.push_back(read);
    columns_.push_back(desc);
    column = desc;
    BeginParams(hasChildren);
    stage_ = Stage::FieldParams;
    return pkt::Ok;
}

void XmlPacketReader::BeginParams(bool hasChildren) {
    nextAttribute_ = 0;
    attributesDone_ = false;
    paramChildren_ = hasChildren;
}

pkt::Status XmlPacketReader::NextParam(Param& param) {
    switch (stage_) {
        case Stage::FieldParams: {
            const pkt::Status status = NextParamOfElement(param);
            if (status == pkt::EndOfData) stage_ = Stage::Fields;
            return status;
        }
        case Stage::FieldsDone: {
            XmlElement element;
            if (const pkt::Status status = tokens_.Next(element)) return status;
            if (element.Kind == XmlKind::End) {
                stage_ = Stage::MetadataDone;
                return pkt::EndOfData;
            }
            if (element.Name != "PARAMS" || element.Kind == XmlKind::Text) return pkt::NotAPacket;
            BeginParams(element.Kind == XmlKind::Start);
            stage_ = Stage::TableParams;
            return NextParam(param);
        }
        case Stage::TableParams: {
            const pkt::Status status = NextParamOfElement(param);
            if (status != pkt::EndOfData) return status;
            XmlElement element;
            if (const pkt::Status next = tokens_.Next(element)) return next;
            if (element.Kind != XmlKind::End) return pkt::NotAPacket;
            stage_ = Stage::MetadataDone;
            return pkt::EndOfData;
        }
        default: return pkt::EndOfData;
    }
}

// The element's unused attributes first, then its PARAM children.
pkt::Status XmlPacketReader::NextParamOfElement(Param& param) {
    if (!attributesDone_) {
        auto& attributes = tokens_.Attributes();
        while (nextAttribute_ < attributes.size()) {
            const XmlAttribute& attribute = attributes[nextAttribute_++];
            if (attribute.Used) continue;
            // An attribute without a name is no parameter: the writer could not
            // write it back.
            const std::string_view name = ParamName(attribute.Name);
            if (name.empty()) continue;
            MakeParam(name, KnownParamType(name).value_or(coltype::String1), attribute.Value, true, param);
            return pkt::Ok;
        }
        attributesDone_ = true;
    }
    if (!paramChildren_) return pkt::EndOfData;
    XmlElement element;
    if (const pkt::Status status = tokens_.Next(element)) return status;
    if (element.Kind == XmlKind::End) {
        paramChildren_ = false;
        return pkt::EndOfData;
    }
    if (element.Name != "PARAM") return pkt::NotAPacket;
    return ReadParamElement(element, param);
}

pkt::Status XmlPacketReader::ReadParamElement(const XmlElement& element, Param& param) {
    const XmlAttribute* name = tokens_.Find("Name");
    const XmlAttribute* value = tokens_.Find("Value", 1);
    if (!name || !value) return pkt::NotAPacket;
    ColumnType type = coltype::String1;
    if (const XmlAttribute* typeName = tokens_.Find("Type", 2)) {
        const ColumnType named = ColumnTypeFromName(typeName->Value);
        if (IsWritableParamType(named)) type = named;
    }
    if (tokens_.Find("Roundtrip", 3)) type |= coltype::Roundtrip;
    std::string decodedName;
    AppendDecoded(decodedName, name->Value, utf8_);
    if (ParamName(decodedName).empty()) return pkt::NotAPacket;
    MakeParam(ParamName(decodedName), type, value->Value, false, param);
    if (element.Kind == XmlKind::Start) {
        XmlElement end;
        if (const pkt::Status status = tokens_.Next(end)) return status;
        if (end.Kind != XmlKind::End) return pkt::NotAPacket;
    }
    return pkt::Ok;
}

void XmlPacketReader::MakeParam(std::string_view name, ColumnType type, std::string_view raw, bool keepText,
                                Param& param) {
    param.Name.assign(name);
    param.Null = false;
    param.Value.clear();
    ColumnType plain = coltype::Plain(type);
    if (!coltype::IsVarying(plain)) {
        if (AppendValueFromText(param.Value, plain, raw, utf8_)) {
            param.Type = type;
            return;
        }
        param.Null = true;
        if (!keepText) {
            param.Value.assign(coltype::Size(plain), '\0');
            param.Type = type;
            return;
        }
        type = coltype::String1;
        plain = coltype::String1;
    }
    scratch_.clear();
    AppendValueFromText(scratch_, plain, raw, utf8_);
    type = WithRoomFor(type, scratch_.size());
    valuelayout::AppendParamValue(param.Value, type, scratch_);
    param.Type = type;
}

pkt::Status XmlPacketReader::SkipToRows() {
    pkt::Status status = pkt::Ok;
    if (stage_ == Stage::Fields || stage_ == Stage::FieldParams) {
        ColumnDesc skipped;
        while ((status = NextColumn(skipped)) == pkt::Ok) {
        }
        if (status != pkt::EndOfData) return status;
    }
    if (stage_ == Stage::FieldsDone || stage_ == Stage::TableParams) {
        Param skipped;
        while ((status = NextParam(skipped)) == pkt::Ok) {
        }
        if (status != pkt::EndOfData) return status;
    }
    if (stage_ == Stage::MetadataDone) {
        XmlElement element;
        if ((status = tokens_.Next(element))) return status;
        if (element.Name != "ROWDATA" || (element.Kind != XmlKind::Start && element.Kind != XmlKind::Empty))
            return pkt::NotAPacket;
        stage_ = element.Kind == XmlKind::Start ? Stage::Rows : Stage::RowsDone;
        plainRows_ = RowsMayBePlain();
    }
    return pkt::Ok;
}

pkt::Status XmlPacketReader::RowCut(std::size_t minimum, std::size_t& cut) {
    cut = 0;
    const std::size_t size = tokens_.WholeText().size();
    if (size == 0) return pkt::Ok;
    // A failed step may leave the tokenizer anywhere, so its fault must not be
    // dropped: reading on from there could accept a packet it refuses.
    if (const pkt::Status status = SkipToRows()) return status;
    if (stage_ != Stage::Rows) return pkt::Ok;
    const std::size_t from = tokens_.Offset();
    if (size - from < minimum) return pkt::Ok;
    const std::size_t found = tokens_.FindTagOpening("ROW", from + (size - from) / 2);
    if (found != std::string_view::npos) cut = found;
    return pkt::Ok;
}

std::unique_ptr<XmlPacketReader> XmlPacketReader::RowsFrom(std::size_t offset) const {
    return std::unique_ptr<XmlPacketReader>(new XmlPacketReader(*this, offset));
}

pkt::Status XmlPacketReader::NextRow(std::uint8_t& status, std::vector<PacketValueView>& values) {
    if (const pkt::Status code = SkipToRows()) return code;
    if (stage_ != Stage::Rows) return pkt::EndOfData;
    // The rows as they are written are read without the general element's steps.
    std::string_view list;
    std::size_t after = 0;
    if (plainRows_ && tokens_.PeekEmpty("ROW", list, after) && ReadPlainRow(list)) {
        tokens_.SkipTo(after);
        status = 0;
        HandOut(values);
        return pkt::Ok;
    }
    XmlElement element;
    if (const pkt::Status code = tokens_.Next(element)) return code;
    if (element.Kind == XmlKind::End) {
        // What follows the rows, "</DATAPACKET>" included, is not read.
        stage_ = Stage::RowsDone;
        return pkt::EndOfData;
    }
    if (element.Name.substr(0, 3) != "ROW") return pkt::NotAPacket;
    if (const pkt::Status code = ReadRow(element, status)) return code;
    HandOut(values);
    return pkt::Ok;
}

void XmlPacketReader::HandOut(std::vector<PacketValueView>& values) const {
    values.resize(slots_.size());
    for (std::size_t i = 0; i < slots_.size(); ++i) {
        const Slot& slot = slots_[i];
        values[i].Null = slot.Null;
        values[i].Bytes = slot.Null       ? std::string_view()
                          : slot.InScratch ? std::string_view(scratch_).substr(slot.Offset, slot.Length)
                                           : slot.Direct;
    }
}

// A plain row reads as ReadRow would read it: with the columns' names all
// different and none of them "RowState", the attributes, met in the columns'
// order and each naming a column, are exactly the ones ReadRow finds. An
// attribute as the writer writes it (name="value") is matched against the
// columns' openings whole; any other form is read by NextAttribute.
bool XmlPacketReader::ReadPlainRow(std::string_view list) {
    scratch_.clear();
    const std::size_t columns = xmlColumns_.size();
    slots_.resize(columns);
    std::size_t next = 0;
    // Every slot is written once: the columns a row leaves out are null.
    const auto nullUpTo = [this, &next](std::size_t column) {
        for (; next < column; ++next) slots_[next] = Slot{};
    };
    const char* p = list.data();
    const char* const end = p + list.size();
    XmlAttribute attribute;
    for (;;) {
        while (p < end && xmlsyntax::IsBlank(*p)) ++p;
        std::size_t column = next;
        const char* open = nullptr;
        while (column < columns && !(open = xmlColumns_[column].Opening.ValueAfter(p, end))) ++column;
        if (open) {
            bool special = false;
            const char* const close = xmlsyntax::ScanValue(open, end, special);
            if (close == end) break;  // a list that breaks off is read up to there, as NextAttribute reads it
            attribute.Value = std::string_view(open, static_cast<std::size_t>(close - open));
            attribute.MayNeedDecoding = special;
            p = close + 1;
        } else {
            if (!xmlsyntax::NextAttribute(p, end, attribute)) break;
            column = next;
            while (column < columns && !xmlsyntax::SameName(xmlColumns_[column].LookupName, attribute.Name)) ++column;
            if (column == columns) return false;
        }
        nullUpTo(column);
        Convert(xmlColumns_[column], attribute.Value, attribute.MayNeedDecoding, slots_[column]);
        ++next;
    }
    nullUpTo(columns);
    return true;
}

bool XmlPacketReader::RowsMayBePlain() const {
    for (std::size_t i = 0; i < xmlColumns_.size(); ++i) {
        const std::string& name = xmlColumns_[i].LookupName;
        if (xmlColumns_[i].Tagged || name == "RowState") return false;
        // An attribute's name ends before its first "=" and its last blanks:
        // only then is a column's opening what NextAttribute reads.
        if (name.find('=') != std::string::npos || (!name.empty() && xmlsyntax::IsBlank(name.back()))) return false;
        for (std::size_t j = 0; j < i; ++j)
            if (xmlColumns_[j].LookupName == xmlColumns_[i].LookupName) return false;
    }
    return true;
}

void XmlPacketReader::LeaveUnread(const std::vector<bool>& columns) {
    for (std::size_t i = 0; i < xmlColumns_.size() && i < columns.size(); ++i) xmlColumns_[i].Unread = columns[i];
}

void XmlPacketReader::Convert(const Column& column, std::string_view raw, bool mayNeedDecoding, Slot& slot) {
    if (column.Unread) {
        slot = {};
        return;
    }
    const ColumnType type = column.Type;
    if (coltype::TypeCode(type) == coltype::cString && (!mayNeedDecoding || IsPlainText(raw, utf8_))) {
        slot = {false, false, 0, 0, raw};
        return;
    }
    const std::size_t offset = scratch_.size();
    std::int64_t value;
    if (type == coltype::Int32 && ReadPlainDigits(raw, value)) {
        // Keys and disc numbers read as the general path reads them.
        byteorder::Append(scratch_, static_cast<std::uint32_t>(value));
        slot = {false, true, offset, sizeof(std::uint32_t), {}};
        return;
    }
    if (AppendValueFromText(scratch_, type, raw, utf8_)) slot = {false, true, offset, scratch_.size() - offset, {}};
    else slot = {};
}

pkt::Status XmlPacketReader::ReadRow(const XmlElement& row, std::uint8_t& status) {
    scratch_.clear();
    slots_.assign(xmlColumns_.size(), Slot{});
    status = 0;
    std::size_t hint = 0;
    if (XmlAttribute* state = tokens_.Find("RowState")) {
        std::int64_t value;
        // A number beyond a status byte is as unreadable as a text without digits.
        if (ReadIntegerText(state->Value, value) && value >= 0 && value <= 0xFF) status = static_cast<std::uint8_t>(value);
        hint = static_cast<std::size_t>(state - tokens_.Attributes().data()) + 1;
    }
    bool tagged = false;
    for (std::size_t i = 0; i < xmlColumns_.size(); ++i) {
        const Column& column = xmlColumns_[i];
        tagged |= column.Tagged;
        if (column.Tagged) continue;
        if (XmlAttribute* attribute = tokens_.Find(column.LookupName, hint)) {
            hint = static_cast<std::size_t>(attribute - tokens_.Attributes().data()) + 1;
            Convert(column, attribute->Value, attribute->MayNeedDecoding, slots_[i]);
        }
    }
    if (row.Kind != XmlKind::Start) return pkt::Ok;
    if (tagged) {
        for (std::size_t i = 0; i < xmlColumns_.size(); ++i)
            if (xmlColumns_[i].Tagged)
                if (const pkt::Status code = ReadTaggedValue(xmlColumns_[i], slots_[i])) return code;
    }
    KeepValues();
    XmlElement end;
    if (const pkt::Status code = tokens_.Next(end)) return code;
    return end.Kind == XmlKind::End ? pkt::Ok : pkt::NotAPacket;
}

void XmlPacketReader::KeepValues() {
    for (Slot& slot : slots_) {
        if (slot.Null || slot.InScratch) continue;
        const std::size_t offset = scratch_.size();
        scratch_.append(slot.Direct);
        slot = {false, true, offset, slot.Direct.size(), {}};
    }
}

// The next child of ROW must carry the column's name; its text is the value.
pkt::Status XmlPacketReader::ReadTaggedValue(const Column& column, Slot& slot) {
    KeepValues();
    XmlElement element;
    if (const pkt::Status code = tokens_.Next(element)) return code;
    if (element.Kind == XmlKind::End || element.Name != column.LookupName) return pkt::NotAPacket;
    if (element.Kind == XmlKind::Start) {
        XmlElement end;
        if (const pkt::Status code = tokens_.Next(end)) return code;
        if (end.Kind != XmlKind::End) return pkt::NotAPacket;
    }
    Convert(column, element.Text, true, slot);
    return pkt::Ok;
}
