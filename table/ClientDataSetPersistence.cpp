// TClientDataSet: loading and saving the whole table as one data packet.
#include <istream>
#include <iterator>
#include <ostream>

#include "fileio/FileIO.h"
#include "fileio/FileReader.h"
#include "fileio/FileReplacement.h"
#include "packet/DataPacketWriter.h"
#include "packet/PacketInput.h"
#include "packet/PacketOutput.h"
#include "table/ClientDataSet.h"
#include "table/ClientDataSetImpl.h"
#include "table/LoadTable.h"
#include "table/StreamTable.h"

namespace {

bool EndsInXml(const std::string& fileName) {
    const auto slash = fileName.find_last_of("/\\");
    const auto dot = fileName.rfind('.');
    if (dot == std::string::npos || (slash != std::string::npos && dot < slash)) return false;
    std::string extension = fileName.substr(dot);
    for (char& c : extension)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    return extension == ".xml";
}

// A loaded base opens on its default order, and the definitions are read anew.
void OpenLoaded(TClientDataSet::Impl& d, std::unique_ptr<RecordStore> base) {
    d.indexName.clear();
    d.indexDefsStale = true;
    DSIDX& order = base->DefaultOrder();
    d.Open(std::move(base), order);
}

// Everything of a save but the finishing: the flags and the table's walk.
void WritePacket(const RecordStore& store, TDataPacketFormat format, TDATAPACKET_WRITE& writer) {
    // A table that lacks some values would lose them.
    for (int fieldNo = 1; fieldNo <= store.FieldCount(); ++fieldNo)
        if (store.Field(fieldNo).Unread) TClientDataSet::Impl::Check(dberr::NotAllowed);
    TClientDataSet::Impl::Check(writer.SetXmlFlags(XmlFlagsForSaveFormat(format)));
    TClientDataSet::Impl::Check(StreamTable(store, writer));
}

// A file as the packet writer fills it, in pieces.
class FileOutput : public PacketOutput {
public:
    explicit FileOutput(fileio::FileReplacement& file) : file_(file) {}
    void Write(std::string_view bytes) override { file_.Write(bytes); }

private:
    fileio::FileReplacement& file_;
};

// A file as the packet reader takes it, in pieces.
class FileInput : public PacketInput {
public:
    explicit FileInput(fileio::FileReader& file) : file_(file) {}
    std::size_t Read(char* into, std::size_t room) override {
        const std::size_t got = file_.Read(into, room);
        empty_ = empty_ && got == 0;
        return got;
    }
    // Nothing was read: the file holds no packet at all.
    bool Empty() const { return empty_; }

private:
    fileio::FileReader& file_;
    bool empty_ = true;
};

}  // namespace

std::string TClientDataSet::SaveToBytes(TDataPacketFormat format) {
    Impl& d = *impl_;
    if (!d.Active()) return {};
    d.CheckBrowseMode();
    TDATAPACKET_WRITE writer;
    std::string packet;
    WritePacket(*d.store, format, writer);
    Impl::Check(writer.FinishPacket(packet));
    return packet;
}

void TClientDataSet::SaveToStream(std::ostream& stream, TDataPacketFormat format) {
    if (!impl_->Active()) return;
    const std::string packet = SaveToBytes(format);
    stream.write(packet.data(), static_cast<std::streamsize>(packet.size()));
    if (!stream) throw EFileError("Stream write error");
}

// The packet goes to the file while it is written, so that a large table is
// never held twice, as records and as a document.
void TClientDataSet::SaveToFile(const std::string& fileName, TDataPacketFormat format) {
    Impl& d = *impl_;
    if (!d.Active()) return;
    if (format == dfBinary && EndsInXml(fileName)) format = dfXML;
    d.CheckBrowseMode();
    try {
        fileio::FileReplacement file(fileName);
        FileOutput output(file);
        TDATAPACKET_WRITE writer;
        Impl::Check(writer.SetOutput(output));
        WritePacket(*d.store, format, writer);
        std::string_view rest;
        Impl::Check(writer.FinishPacket(rest));
        file.Write(rest);
        file.Commit();
    } catch (const fileio::FileError& error) {
        throw EFileError(error.what(), error.ErrorNumber());
    }
}

void TClientDataSet::LoadFromBytes(std::string_view packet) {
    Impl& d = *impl_;
    Close();
    if (packet.empty()) throw EDatabaseError(dbtext::MissingPacket);
    std::unique_ptr<RecordStore> base;
    Impl::Check(LoadTable(packet, base, kTwoThreadsFrom, d.loadOnly));
    OpenLoaded(d, std::move(base));
}

void TClientDataSet::LoadFromStream(std::istream& stream) {
    Close();
    const std::string packet{std::istreambuf_iterator<char>(stream), std::istreambuf_iterator<char>()};
    LoadFromBytes(packet);
}

void TClientDataSet::LoadFromFile(const std::string& fileName) {
    Impl& d = *impl_;
    Close();
    try {
        fileio::FileReader file(fileName);
        FileInput input(file);
        std::unique_ptr<RecordStore> base;
        const pkt::Status code = LoadTable(input, file.Size(), base, d.loadOnly);
        if (code && input.Empty()) throw EDatabaseError(dbtext::MissingPacket);
        Impl::Check(code);
        OpenLoaded(d, std::move(base));
    } catch (const fileio::FileError& error) {
        throw EFileError(error.what(), error.ErrorNumber());
    }
}

void TClientDataSet::LoadOnly(std::vector<std::string> fieldNames) { impl_->loadOnly = std::move(fieldNames); }

void TClientDataSet::TakeOverBase(TClientDataSet& source) {
    source.impl_->CheckActive();
    if (&source == this) return;
    Close();
    OpenLoaded(*impl_, source.impl_->Release());
}
