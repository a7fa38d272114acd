#include "packet/DataPacketReader.h"

#include "packet/BinaryPacketReader.h"
#include "packet/BinaryPacketWriter.h"
#include "packet/ByteOrder.h"
#include "packet/PacketInput.h"
#include "packet/PacketSource.h"
#include "packet/XmlPacketReader.h"

#include <new>

namespace {

enum class Form { Binary, Swapped, Xml };

// The form shows in the first eight bytes at most.
constexpr std::size_t kFormBytes = 8;

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
pkt::Status Guarded(Step step) {
    try {
        return step();
    } catch (const std::bad_alloc&) {
        return pkt::NoMemory;
    }
}

}  // namespace

TDATAPACKET_READ::TDATAPACKET_READ() = default;
TDATAPACKET_READ::TDATAPACKET_READ(std::unique_ptr<PacketSource> source) : source_(std::move(source)) {}
TDATAPACKET_READ::~TDATAPACKET_READ() = default;

pkt::Status TDATAPACKET_READ::Start(std::string_view block) {
    return Guarded([&] { return StartSource(block, nullptr); });
}

pkt::Status TDATAPACKET_READ::Start(PacketInput& input) {
    return Guarded([&]() -> pkt::Status {
        // Enough to tell the forms apart, unless the input ends first.
        std::string first(kFormBytes, '\0');
        std::size_t got = 0;
        while (got < kFormBytes)
            if (const std::size_t read = input.Read(first.data() + got, kFormBytes - got)) got += read;
            else break;
        first.resize(got);
        if (FormOf(first) != Form::Binary) return StartSource(first, &input);
        whole_ = std::move(first);
        char chunk[65536];
        while (const std::size_t read = input.Read(chunk, sizeof chunk)) whole_.append(chunk, read);
        return StartSource(whole_, nullptr);
    });
}

// `block` is the whole packet, or with an input the first bytes of it.
pkt::Status TDATAPACKET_READ::StartSource(std::string_view block, PacketInput* input) {
    source_.reset();
    xmlFlags_ = 0;
    if (block.empty()) return pkt::NotAllowed;
    switch (FormOf(block)) {
        case Form::Swapped:
            // The byte-swapped form of other machines is not read.
            return pkt::NotAPacket;
        case Form::Binary: {
            auto binary = std::make_unique<BinaryPacketReader>(block);
            if (const pkt::Status status = binary->Start()) return status;
            source_ = std::move(binary);
            return pkt::Ok;
        }
        case Form::Xml: {
            auto xml = input ? std::make_unique<XmlPacketReader>(*input, block) : std::make_unique<XmlPacketReader>(block);
            if (const pkt::Status status = xml->Start()) return status;
            xmlFlags_ = xmlflag::Xml | xmlflag::Metadata | (xml->IsUtf8() ? xmlflag::Utf8 : 0);
            source_ = std::move(xml);
            return pkt::Ok;
        }
    }
    return pkt::NotAPacket;
}

pkt::Status TDATAPACKET_READ::NextColumn(ColumnDesc& column) {
    if (!source_) return pkt::NotAllowed;
    return Guarded([&] { return source_->NextColumn(column); });
}

pkt::Status TDATAPACKET_READ::NextParam(Param& param) {
    if (!source_) return pkt::NotAllowed;
    return Guarded([&] { return source_->NextParam(param); });
}

pkt::Status TDATAPACKET_READ::NextRow(std::uint8_t& status, std::vector<ValueView>& values) {
    if (!source_) return pkt::NotAllowed;
    return Guarded([&] { return source_->NextRow(status, values); });
}

pkt::Status TDATAPACKET_READ::NextRow(std::uint8_t& status, std::vector<Value>& values) {
    return Guarded([&]() -> pkt::Status {
        if (const pkt::Status code = NextRow(status, rowViews_)) return code;
        values.resize(rowViews_.size());
        for (std::size_t i = 0; i < rowViews_.size(); ++i) {
            values[i].Null = rowViews_[i].Null;
            values[i].Bytes.assign(rowViews_[i].Bytes);
        }
        return pkt::Ok;
    });
}

pkt::Status TDATAPACKET_READ::SplitRows(std::size_t minimum, std::size_t& cut,
                                       std::unique_ptr<TDATAPACKET_READ>& second) {
    second.reset();
    cut = 0;
    auto* xml = dynamic_cast<XmlPacketReader*>(source_.get());
    if (!xml) return pkt::Ok;
    if (const pkt::Status status = Guarded([&] { return xml->RowCut(minimum, cut); })) return status;
    if (cut == 0) return pkt::Ok;
    try {
        second.reset(new TDATAPACKET_READ(xml->RowsFrom(cut)));
        second->xmlFlags_ = xmlFlags_;
    } catch (const std::bad_alloc&) {
        // Without room for a second reader this one reads every row.
        second.reset();
    }
    return pkt::Ok;
}

std::size_t TDATAPACKET_READ::Offset() const { return source_ ? source_->Offset() : 0; }

void TDATAPACKET_READ::LeaveUnread(const std::vector<bool>& columns) {
    if (source_) source_->LeaveUnread(columns);
}

const std::vector<ColumnDesc>& TDATAPACKET_READ::Columns() const {
    static const std::vector<ColumnDesc> kNone;
    return source_ ? source_->Columns() : kNone;
}
