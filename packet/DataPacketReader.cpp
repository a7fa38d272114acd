#include "packet/DataPacketReader.h"

#include "packet/BinaryPacketReader.h"
#include "packet/BinaryPacketWriter.h"
#include "packet/ByteOrder.h"
#include "packet/PacketSource.h"
#include "packet/XmlPacketReader.h"

#include <new>

namespace {

enum class Form { Binary, Swapped, Xml };

Form FormOf(std::string_view block) {
    if (block.size() < 4) return Form::Xml;
    const auto magic = byteorder::Load<std::uint32_t>(block.data());
    if (magic == binarypacket::kSwappedMagic) return Form::Swapped;
    if (magic == binarypacket::kMagic && block.size() >= 8 && byteorder::Load<std::uint16_t>(block.data() + 4) <= 3 &&
        byteorder::Load<std::uint16_t>(block.data() + 6) <= 3)
        return Form::Binary;
    return Form::Xml;
}

template <class Step>
std::uint16_t Guarded(Step step) {
    try {
        return step();
    } catch (const std::bad_alloc&) {
        return pkt::NoMemory;
    }
}

}  // namespace

TDATAPACKET_READ::TDATAPACKET_READ() = default;
TDATAPACKET_READ::~TDATAPACKET_READ() = default;

std::uint16_t TDATAPACKET_READ::Start(std::string_view block) {
    return Guarded([&]() -> std::uint16_t {
        source_.reset();
        xmlFlags_ = 0;
        if (block.empty()) return pkt::NotAllowed;
        switch (FormOf(block)) {
            case Form::Swapped:
                // The byte-swapped form of other machines is not read.
                return pkt::NotAPacket;
            case Form::Binary: {
                auto binary = std::make_unique<BinaryPacketReader>(block);
                if (const std::uint16_t status = binary->Start()) return status;
                source_ = std::move(binary);
                return pkt::Ok;
            }
            case Form::Xml: {
                auto xml = std::make_unique<XmlPacketReader>(block);
                if (const std::uint16_t status = xml->Start()) return status;
                xmlFlags_ = xmlflag::Xml | xmlflag::Metadata | (xml->IsUtf8() ? xmlflag::Utf8 : 0);
                source_ = std::move(xml);
                return pkt::Ok;
            }
        }
        return pkt::NotAPacket;
    });
}

std::uint16_t TDATAPACKET_READ::NextColumn(ColumnDesc& column) {
    if (!source_) return pkt::NotAllowed;
    return Guarded([&] { return source_->NextColumn(column); });
}

std::uint16_t TDATAPACKET_READ::NextParam(Param& param) {
    if (!source_) return pkt::NotAllowed;
    return Guarded([&] { return source_->NextParam(param); });
}

std::uint16_t TDATAPACKET_READ::NextRow(std::uint8_t& status, std::vector<ValueView>& values) {
    if (!source_) return pkt::NotAllowed;
    return Guarded([&] { return source_->NextRow(status, values); });
}

std::uint16_t TDATAPACKET_READ::NextRow(std::uint8_t& status, std::vector<Value>& values) {
    return Guarded([&]() -> std::uint16_t {
        if (const std::uint16_t code = NextRow(status, rowViews_)) return code;
        values.resize(rowViews_.size());
        for (std::size_t i = 0; i < rowViews_.size(); ++i) {
            values[i].Null = rowViews_[i].Null;
            values[i].Bytes.assign(rowViews_[i].Bytes);
        }
        return pkt::Ok;
    });
}

const std::vector<ColumnDesc>& TDATAPACKET_READ::Columns() const {
    static const std::vector<ColumnDesc> kNone;
    return source_ ? source_->Columns() : kNone;
}
