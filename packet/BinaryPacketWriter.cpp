#include "packet/BinaryPacketWriter.h"

#include "packet/ByteOrder.h"
#include "packet/PacketStatus.h"
#include "packet/ValueLayout.h"

using namespace binarypacket;

BinaryPacketWriter::BinaryPacketWriter() = default;

pkt::Status BinaryPacketWriter::Begin(std::uint32_t columnCount) {
    if (columnCount > 0xFFFF) return pkt::NotAllowed;
    types_.reserve(columnCount);
    byteorder::Append(out_, kMagic);
    byteorder::Append<std::uint16_t>(out_, 1);
    byteorder::Append<std::uint16_t>(out_, 0);
    byteorder::Append<std::uint32_t>(out_, kHeaderSize);
    byteorder::Append<std::uint16_t>(out_, 0);
    byteorder::Append<std::uint32_t>(out_, 0);
    byteorder::Append<std::uint32_t>(out_, kBegunWithCount);
    byteorder::Append<std::uint16_t>(out_, 0);
    return pkt::Ok;
}

pkt::Status BinaryPacketWriter::AddColumn(const ColumnDesc& column) {
    const std::string_view name = column.NameView();
    types_.push_back(column.Type);
    byteorder::Store(out_.data() + 12, static_cast<std::uint16_t>(types_.size()));
    out_.push_back(static_cast<char>(name.size()));
    out_.append(name);
    byteorder::Append(out_, column.Type);
    byteorder::Append(out_, column.Attributes);
    fieldParamCountAt_ = out_.size();
    byteorder::Append<std::uint16_t>(out_, 0);
    return pkt::Ok;
}

void BinaryPacketWriter::Raise16(std::size_t at) {
    byteorder::Store(out_.data() + at, static_cast<std::uint16_t>(byteorder::Load<std::uint16_t>(out_.data() + at) + 1));
}

pkt::Status BinaryPacketWriter::AppendParam(std::size_t countAt, std::string_view name, ColumnType type,
                                            std::string_view value) {
    if (name.size() > 0xFF || byteorder::Load<std::uint16_t>(out_.data() + countAt) == 0xFFFF) return pkt::NotAllowed;
    Raise16(countAt);
    out_.push_back(static_cast<char>(name.size()));
    out_.append(name);
    byteorder::Append(out_, type);
    out_.append(value);
    return pkt::Ok;
}

pkt::Status BinaryPacketWriter::AddFieldParam(std::string_view name, ColumnType type, std::string_view value) {
    return AppendParam(fieldParamCountAt_, name, type, value);
}

void BinaryPacketWriter::StartTableParams() {
    if (tableParamCountAt_) return;
    tableParamCountAt_ = out_.size();
    byteorder::Append<std::uint16_t>(out_, 0);
}

pkt::Status BinaryPacketWriter::AddTableParam(std::string_view name, ColumnType type, std::string_view value) {
    StartTableParams();
    return AppendParam(tableParamCountAt_, name, type, value);
}

void BinaryPacketWriter::EndParams() { StartTableParams(); }

void BinaryPacketWriter::MarkRowOffset() {
    if (out_.size() > 0xFFFF) return;
    byteorder::Store(out_.data() + 22, static_cast<std::uint16_t>(out_.size()));
    byteorder::Store(out_.data() + 18, kBegunWithCount | kRowOffsetValid);
}

void BinaryPacketWriter::BeginRow(std::uint8_t status) {
    if (rows_ == 0) MarkRowOffset();
    out_.push_back(static_cast<char>(status));
    flagsAt_ = out_.size();
    out_.append((types_.size() + 3) / 4, '\0');
}

pkt::Status BinaryPacketWriter::PutColumn(std::size_t index, int status, std::string_view value) {
    if (status != 0) {
        const int bit = 2 * static_cast<int>(index % 4) + (status == 1 ? 0 : 1);
        out_[flagsAt_ + index / 4] = static_cast<char>(out_[flagsAt_ + index / 4] | (1 << bit));
        return pkt::Ok;
    }
    const ColumnType type = types_[index];
    if (coltype::IsVarying(type) && !valuelayout::FitsPrefix(type, value.size())) return pkt::NotAllowed;
    valuelayout::AppendParamValue(out_, type, value);
    return pkt::Ok;
}

void BinaryPacketWriter::EndRow() {
    ++rows_;
    byteorder::Store(out_.data() + 14, rows_);
}

std::string_view BinaryPacketWriter::Finish() {
    if (rows_ == 0) MarkRowOffset();
    return out_.view();
}
