#include "packet/BinaryPacketReader.h"

#include "packet/BinaryPacketWriter.h"
#include "packet/ByteOrder.h"
#include "packet/PacketStatus.h"
#include "packet/ValueLayout.h"

namespace {

bool IsReadableType(ColumnType type) {
    switch (coltype::TypeCode(type)) {
        case 0:
        case coltype::cStruct:
        case coltype::cArrayColumn:
        case coltype::cNested:
        case coltype::cReference: return false;
        default: return coltype::TypeCode(type) <= coltype::MaxCode && valuelayout::IsSupported(type);
    }
}

}  // namespace

BinaryPacketReader::BinaryPacketReader(std::string_view block) : block_(block) {}

bool BinaryPacketReader::Take(std::size_t count, std::string_view& bytes) {
    if (count > block_.size() - pos_) return false;
    bytes = block_.substr(pos_, count);
    pos_ += count;
    return true;
}

template <class T>
bool BinaryPacketReader::TakeNumber(T& value) {
    std::string_view bytes;
    if (!Take(sizeof(T), bytes)) return false;
    value = byteorder::Load<T>(bytes.data());
    return true;
}

pkt::Status BinaryPacketReader::Start() {
    if (block_.size() < binarypacket::kHeaderSize) return pkt::NotAPacket;
    const auto first = byteorder::Load<std::uint32_t>(block_.data() + 8);
    if (first < binarypacket::kHeaderSize || first > block_.size()) return pkt::NotAPacket;
    columnCount_ = byteorder::Load<std::uint16_t>(block_.data() + 12);
    rowCount_ = byteorder::Load<std::uint32_t>(block_.data() + 14);
    pos_ = first;
    return pkt::Ok;
}

pkt::Status BinaryPacketReader::NextColumn(ColumnDesc& column) {
    if (stage_ == Stage::FieldParams) {
        PacketParam skipped;
        pkt::Status status;
        while ((status = NextParam(skipped)) == pkt::Ok) {
        }
        if (status != pkt::EndOfData) return status;
    }
    if (stage_ != Stage::Columns) return pkt::EndOfData;
    if (columns_.size() == columnCount_) {
        stage_ = Stage::TableParams;
        return pkt::EndOfData;
    }
    std::uint8_t nameLength;
    std::string_view name;
    ColumnDesc desc;
    if (!TakeNumber(nameLength) || !Take(nameLength, name) || !TakeNumber(desc.Type) ||
        !TakeNumber(desc.Attributes) || !TakeNumber(paramsLeft_))
        return pkt::NotAPacket;
    // A name that does not fit the descriptor is refused rather than cut.
    if (!desc.SetName(name)) return pkt::NotAPacket;
    if (!IsReadableType(desc.Type)) return pkt::InvalidKeyType;
    columns_.push_back(desc);
    types_.push_back(desc.Type);
    column = desc;
    stage_ = Stage::FieldParams;
    return pkt::Ok;
}

pkt::Status BinaryPacketReader::ReadParam(PacketParam& param) {
    std::uint8_t nameLength;
    std::string_view name, whole, payload;
    ColumnType type;
    if (!TakeNumber(nameLength) || !Take(nameLength, name) || !TakeNumber(type)) return pkt::NotAPacket;
    if (!IsReadableType(coltype::Plain(type)) ||
        !valuelayout::TakeParamValue(type, block_.substr(pos_), whole, payload))
        return pkt::NotAPacket;
    // A name ends at a zero byte, as it does when it is written, and a nameless
    // parameter could not be written back at all.
    name = name.substr(0, name.find('\0'));
    if (name.empty()) return pkt::NotAPacket;
    pos_ += whole.size();
    --paramsLeft_;
    param.Name.assign(name);
    param.Type = type;
    param.Value.assign(whole);
    param.Null = false;
    return pkt::Ok;
}

pkt::Status BinaryPacketReader::NextParam(PacketParam& param) {
    switch (stage_) {
        case Stage::FieldParams:
            if (paramsLeft_ == 0) {
                stage_ = Stage::Columns;
                return pkt::EndOfData;
            }
            return ReadParam(param);
        case Stage::TableParams:
            if (!tableParamsCounted_) {
                if (!TakeNumber(paramsLeft_)) return pkt::NotAPacket;
                tableParamsCounted_ = true;
            }
            if (paramsLeft_ == 0) {
                stage_ = Stage::Rows;
                return pkt::EndOfData;
            }
            return ReadParam(param);
        default: return pkt::EndOfData;
    }
}

pkt::Status BinaryPacketReader::NextRow(std::uint8_t& status, std::vector<PacketValueView>& values) {
    pkt::Status code = pkt::Ok;
    if (stage_ == Stage::Columns || stage_ == Stage::FieldParams) {
        ColumnDesc skipped;
        while ((code = NextColumn(skipped)) == pkt::Ok) {
        }
        if (code != pkt::EndOfData) return code;
    }
    if (stage_ == Stage::TableParams) {
        PacketParam skipped;
        while ((code = NextParam(skipped)) == pkt::Ok) {
        }
        if (code != pkt::EndOfData) return code;
    }
    if (stage_ != Stage::Rows) return pkt::EndOfData;
    if (rowsRead_ == rowCount_) {
        stage_ = Stage::Done;
        return pkt::EndOfData;
    }
    std::string_view flags;
    if (!TakeNumber(status) || !Take((types_.size() + 3) / 4, flags)) return pkt::NotAPacket;
    values.resize(types_.size());
    for (std::size_t j = 0; j < types_.size(); ++j) {
        const unsigned bits = static_cast<unsigned char>(flags[j / 4]) >> (2 * (j % 4));
        values[j] = {};
        // An unchanged value (change sets only) carries no bytes either.
        if (bits & 3) continue;
        std::string_view whole, payload;
        if (!valuelayout::TakeParamValue(types_[j], block_.substr(pos_), whole, payload)) return pkt::NotAPacket;
        pos_ += whole.size();
        values[j] = {false, payload};
    }
    ++rowsRead_;
    return pkt::Ok;
}
