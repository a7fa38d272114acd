#include "packet/DataPacketWriter.h"

#include "packet/BinaryPacketWriter.h"
#include "packet/PacketOutput.h"
#include "packet/ValueLayout.h"
#include "packet/XmlPacketWriter.h"

#include <new>

namespace {

// The row status column is looked up under this name when the packet is read.
constexpr std::string_view kRowStateName = "RowState";

// With an output, the packet goes on in pieces of about this size.
constexpr std::size_t kOutputPiece = 256 * 1024;

}  // namespace

TDATAPACKET_WRITE::TDATAPACKET_WRITE() = default;
TDATAPACKET_WRITE::~TDATAPACKET_WRITE() = default;

// Runs one step; a failure is kept, and every later call reports it again.
template <class Step>
pkt::Status TDATAPACKET_WRITE::Guarded(Step step) {
    if (failure_) return failure_;
    pkt::Status status;
    try {
        status = step();
    } catch (const std::bad_alloc&) {
        status = pkt::NoMemory;
    }
    failure_ = status;
    return status;
}

pkt::Status TDATAPACKET_WRITE::CheckType(ColumnType type) const {
    if (coltype::TypeCode(type) > coltype::MaxCode) return pkt::NotAllowed;
    if (IsXml()) {
        std::string_view name;
        if (const pkt::Status status = FieldTypeName(type, name)) return status;
    }
    // Nested tables, structures, array columns and references are not laid out here.
    switch (coltype::TypeCode(type)) {
        case coltype::cStruct:
        case coltype::cArrayColumn:
        case coltype::cNested:
        case coltype::cReference: return pkt::NotAllowed;
        default: break;
    }
    return valuelayout::IsSupported(type) ? pkt::Ok : pkt::NotAllowed;
}

pkt::Status TDATAPACKET_WRITE::SetXmlFlags(std::uint32_t flags) {
    return Guarded([&]() -> pkt::Status {
        if (phase_ != Phase::Created) return pkt::NotAllowed;
        xmlFlags_ = flags;
        return pkt::Ok;
    });
}

pkt::Status TDATAPACKET_WRITE::SetOutput(PacketOutput& output) {
    return Guarded([&]() -> pkt::Status {
        if (phase_ != Phase::Created) return pkt::NotAllowed;
        output_ = &output;
        return pkt::Ok;
    });
}

pkt::Status TDATAPACKET_WRITE::BeginPacket(std::uint32_t version, std::uint32_t columnCount) {
    return Guarded([&]() -> pkt::Status {
        if (phase_ != Phase::Created) return pkt::NotAllowed;
        if (version > 3) return pkt::NotAPacket;
        if (IsXml()) emitter_ = std::make_unique<XmlPacketWriter>(xmlFlags_);
        else emitter_ = std::make_unique<BinaryPacketWriter>();
        announcedColumns_ = columnCount;
        columnTypes_.reserve(columnCount);
        phase_ = Phase::Columns;
        return emitter_->Begin(columnCount);
    });
}

pkt::Status TDATAPACKET_WRITE::AddColumn(const ColumnDesc& column) {
    return Guarded([&]() -> pkt::Status {
        if (phase_ != Phase::Columns || columnTypes_.size() >= announcedColumns_) return pkt::NotAllowed;
        if (column.NameView() == kRowStateName) return pkt::NotAllowed;
        if (coltype::Plain(column.Type) != column.Type) return pkt::NotAllowed;
        if (const pkt::Status status = CheckType(column.Type)) return status;
        columnTypes_.push_back(column.Type);
        return emitter_->AddColumn(column);
    });
}

void TDATAPACKET_WRITE::EndParams() {
    emitter_->EndParams();
    phase_ = Phase::Rows;
}

pkt::Status TDATAPACKET_WRITE::AddParam(int context, std::string_view name, ColumnType type,
                                        const void* value, std::uint32_t length) {
    return Guarded([&]() -> pkt::Status {
        const bool fieldParam = context == 0;
        if (context != 0 && context != 1) return pkt::NotAllowed;
        // A repeated end-of-parameters mark changes nothing.
        if (!fieldParam && name.empty() && phase_ == Phase::Rows) return pkt::Ok;
        if (fieldParam ? phase_ != Phase::Columns || columnTypes_.empty()
                       : phase_ != Phase::Columns && phase_ != Phase::TableParams)
            return pkt::NotAllowed;
        if (!fieldParam && name.empty()) {
            EndParams();
            return pkt::Ok;
        }
        if (name.empty()) return pkt::NotAllowed;
        if (const pkt::Status status = CheckType(coltype::Plain(type))) return status;
        if (length && !value) return pkt::BufferTooSmall;
        const std::string_view bytes(static_cast<const char*>(value), length);
        std::string_view whole, payload;
        if (!valuelayout::TakeParamValue(type, bytes, whole, payload)) return pkt::BufferTooSmall;
        if (fieldParam) return emitter_->AddFieldParam(name, type, whole);
        phase_ = Phase::TableParams;
        return emitter_->AddTableParam(name, type, whole);
    });
}

pkt::Status TDATAPACKET_WRITE::PutValue(int status, std::int32_t length, const void* value) {
    return Guarded([&]() -> pkt::Status {
        if (phase_ == Phase::Created || phase_ == Phase::Finished) return pkt::NotAllowed;
        if (length < 0) return pkt::NegativeLength;
        if (phase_ != Phase::Rows) EndParams();
        const std::string_view bytes(static_cast<const char*>(value), value ? static_cast<std::size_t>(length) : 0);
        if (!rowOpen_) {
            const std::uint8_t rowStatus = status == 0 && !bytes.empty() ? static_cast<std::uint8_t>(bytes[0]) : 0;
            emitter_->BeginRow(rowStatus);
            rowOpen_ = true;
            nextColumn_ = 0;
        } else {
            const std::size_t index = nextColumn_++;
            if (status == 0) {
                std::string_view complete;
                if (!valuelayout::TakeRowValue(columnTypes_[index], bytes, complete)) return pkt::BufferTooSmall;
                if (const pkt::Status code = emitter_->PutColumn(index, 0, complete)) return code;
            } else {
                // A null is only a flag: no emitter refuses it.
                pkt::Ignore(emitter_->PutColumn(index, status == 2 ? 2 : 1, {}));
            }
        }
        if (nextColumn_ == columnTypes_.size()) {
            emitter_->EndRow();
            rowOpen_ = false;
            if (output_ && emitter_->Settled().size() >= kOutputPiece) {
                output_->Write(emitter_->Settled());
                emitter_->Release();
            }
        }
        return pkt::Ok;
    });
}

std::unique_ptr<TDATAPACKET_WRITE> TDATAPACKET_WRITE::RowWriter() {
    if (!output_ || rowOpen_ || phase_ == Phase::Created || phase_ == Phase::Finished) return nullptr;
    if (Guarded([&] {
            if (phase_ != Phase::Rows) EndParams();
            return pkt::Ok;
        }))
        return nullptr;
    try {
        std::unique_ptr<PacketEmitter> emitter = emitter_->RowsApart();
        if (!emitter) return nullptr;
        auto rows = std::make_unique<TDATAPACKET_WRITE>();
        rows->emitter_ = std::move(emitter);
        rows->xmlFlags_ = xmlFlags_;
        rows->columnTypes_ = columnTypes_;
        rows->announcedColumns_ = announcedColumns_;
        rows->phase_ = Phase::Rows;
        return rows;
    } catch (const std::bad_alloc&) {
        return nullptr;
    }
}

pkt::Status TDATAPACKET_WRITE::AppendRows(TDATAPACKET_WRITE& rows) {
    return Guarded([&]() -> pkt::Status {
        if (rows.failure_) return rows.failure_;
        if (!output_ || phase_ != Phase::Rows || rowOpen_ || rows.rowOpen_ || rows.output_) return pkt::NotAllowed;
        output_->Write(emitter_->Settled());
        emitter_->Release();
        output_->Write(rows.emitter_->Settled());
        rows.emitter_->Release();
        return pkt::Ok;
    });
}

pkt::Status TDATAPACKET_WRITE::FinishPacket(std::string_view& packet) {
    return Guarded([&]() -> pkt::Status {
        if (phase_ == Phase::Created || phase_ == Phase::Finished || rowOpen_) return pkt::NotAllowed;
        if (phase_ != Phase::Rows) EndParams();
        packet = emitter_->Finish();
        phase_ = Phase::Finished;
        return pkt::Ok;
    });
}

pkt::Status TDATAPACKET_WRITE::FinishPacket(std::string& packet) {
    std::string_view bytes;
    if (const pkt::Status status = FinishPacket(bytes)) return status;
    return Guarded([&]() -> pkt::Status {
        packet.assign(bytes);
        return pkt::Ok;
    });
}
