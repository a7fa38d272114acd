#include "packet/XmlPacketWriter.h"

#include "packet/PacketStatus.h"
#include "packet/ValueLayout.h"
#include "packet/ValueText.h"
#include "packet/XmlText.h"

namespace {

constexpr std::string_view kHeader = "<?xml version=\"1.0\" standalone=\"yes\"?>  ";
constexpr std::string_view kUtf8Header = "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>  ";

// Characters that cannot stand in an attribute name become "_"; the column's
// own name then travels in "fieldname".
std::string AttributeName(std::string_view name) {
    std::string result(name);
    for (char& c : result) {
        switch (c) {
            case ' ': case '!': case '#': case '$': case '%': case '(': case ')': case '*': case '?':
                c = '_';
                break;
            default: break;
        }
    }
    return result;
}

}  // namespace

XmlPacketWriter::XmlPacketWriter(std::uint32_t xmlFlags)
    : metadata_((xmlFlags & xmlflag::Metadata) != 0), utf8_((xmlFlags & xmlflag::Utf8) != 0) {}

pkt::Status XmlPacketWriter::Begin(std::uint32_t columnCount) {
    columns_.reserve(columnCount);
    out_ += utf8_ ? kUtf8Header : kHeader;
    out_ += "<DATAPACKET Version=\"2.0\">";
    if (metadata_) out_ += "<METADATA><FIELDS>";
    return pkt::Ok;
}

pkt::Status XmlPacketWriter::AddColumn(const ColumnDesc& column) {
    std::string_view typeName;
    if (const pkt::Status status = FieldTypeName(column.Type, typeName)) return status;
    const HighBytes high = utf8_ ? HighBytes::Utf8 : HighBytes::Reference;
    const std::string_view name = column.NameView();
    const std::string attributeName = AttributeName(name);

    scratch_.clear();
    scratch_ += ' ';
    AppendEscaped(scratch_, attributeName, high);
    scratch_ += "=\"";
    Column& added = columns_.emplace_back();
    added.Type = column.Type;
    added.AttributeStart = scratch_.view();
    if (!metadata_) return pkt::Ok;

    CloseTag(field_, "</FIELD>");
    out_ += "<FIELD";
    if (attributeName != name) {
        out_ += " fieldname=\"";
        AppendEscaped(out_, name, high);
        out_ += '"';
    }
    out_ += " attrname=\"";
    out_.append(std::string_view(added.AttributeStart).substr(1, added.AttributeStart.size() - 3));
    out_ += "\" fieldtype=\"";
    out_ += typeName;
    out_ += '"';
    static constexpr std::pair<std::uint16_t, std::string_view> kFlags[] = {
        {caReadOnly, " readonly=\"true\""}, {caRequired, " required=\"true\""},
        {caHidden, " hidden=\"true\""}, {caLink, " linkfield=\"true\""}};
    for (const auto& [bit, text] : kFlags)
        if (column.Attributes & bit) out_ += text;
    if (coltype::TypeCode(column.Type) == coltype::cBytes && !coltype::IsVarying(column.Type)) {
        out_ += " WIDTH=\"";
        out_ += std::to_string(coltype::Size(column.Type));
        out_ += '"';
    }
    field_ = {true, false, 0};
    return pkt::Ok;
}

pkt::Status XmlPacketWriter::AddFieldParam(std::string_view name, ColumnType type, std::string_view value) {
    if (!metadata_) return pkt::Ok;
    return AddParam(field_, name, type, value);
}

pkt::Status XmlPacketWriter::AddTableParam(std::string_view name, ColumnType type, std::string_view value) {
    if (!metadata_) return pkt::Ok;
    if (!params_.open) {
        CloseFields();
        out_ += "<PARAMS";
        params_ = {true, false, 0};
    }
    return AddParam(params_, name, type, value);
}

pkt::Status XmlPacketWriter::AppendParamText(PacketBuffer& out, ColumnType type, std::string_view value) const {
    std::string_view whole, payload;
    valuelayout::TakeParamValue(type, value, whole, payload);
    return AppendValueText(out, coltype::Plain(type), payload, utf8_);
}

pkt::Status XmlPacketWriter::AddParam(OpenTag& tag, std::string_view name, ColumnType type,
                                      std::string_view value) {
    std::string_view typeName;
    if (const pkt::Status status = FieldTypeName(type, typeName)) return status;
    const HighBytes high = utf8_ ? HighBytes::Utf8 : HighBytes::Reference;

    if (KnownParamType(name)) {
        // After a PARAM child the start tag is already closed: the attribute goes
        // in front of its ">", marked by a second space.
        PacketBuffer& text = tag.hasChildren ? scratch_ : out_;
        if (tag.hasChildren) {
            scratch_.clear();
            scratch_ += ' ';
        }
        text += ' ';
        AppendEscaped(text, name, high);
        text += "=\"";
        if (const pkt::Status status = AppendParamText(text, type, value)) return status;
        text += '"';
        if (tag.hasChildren) {
            out_.insert(tag.attributesEnd, scratch_.view());
            tag.attributesEnd += scratch_.size();
        }
        return pkt::Ok;
    }

    if (!tag.hasChildren) {
        tag.attributesEnd = out_.size();
        tag.hasChildren = true;
        out_ += '>';
    }
    out_ += "<PARAM Name=\"";
    AppendEscaped(out_, name, high);
    out_ += "\" Value=\"";
    if (const pkt::Status status = AppendParamText(out_, type, value)) return status;
    out_ += '"';
    if (coltype::TypeCode(type) != coltype::cString) {
        out_ += " Type=\"";
        out_ += typeName;
        out_ += '"';
    }
    if (type & coltype::Roundtrip) out_ += " Roundtrip=\"True\"";
    out_ += "/>";
    return pkt::Ok;
}

void XmlPacketWriter::CloseTag(OpenTag& tag, std::string_view endTag) {
    if (!tag.open) return;
    out_ += tag.hasChildren ? endTag : "/>";
    tag = {};
}

void XmlPacketWriter::CloseFields() {
    CloseTag(field_, "</FIELD>");
    if (fieldsClosed_) return;
    out_ += "</FIELDS>";
    fieldsClosed_ = true;
}

void XmlPacketWriter::EndParams() {
    if (metadata_) {
        CloseFields();
        if (params_.open) CloseTag(params_, "</PARAMS>");
        else out_ += "<PARAMS/>";
        out_ += "</METADATA>";
    }
    out_ += "<ROWDATA>";
    rowsBegun_ = true;
}

void XmlPacketWriter::BeginRow(std::uint8_t status) {
    out_ += "<ROW";
    if (status) {
        out_ += " RowState=\"";
        out_ += std::to_string(status);
        out_ += '"';
    }
}

pkt::Status XmlPacketWriter::PutColumn(std::size_t index, int status, std::string_view value) {
    if (status != 0) return pkt::Ok;
    const Column& column = columns_[index];
    out_ += column.AttributeStart;
    if (const pkt::Status code = AppendValueText(out_, column.Type, value, utf8_)) return code;
    out_ += '"';
    return pkt::Ok;
}

void XmlPacketWriter::EndRow() { out_ += "/>"; }

// A row's bytes depend only on the columns and the character set.
std::unique_ptr<PacketEmitter> XmlPacketWriter::RowsApart() const {
    auto rows = std::make_unique<XmlPacketWriter>(utf8_ ? xmlflag::Utf8 : 0);
    rows->columns_ = columns_;
    rows->rowsBegun_ = true;
    return rows;
}

std::string_view XmlPacketWriter::Finish() {
    out_ += "</ROWDATA></DATAPACKET>";
    return out_.view();
}
