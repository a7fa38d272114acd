#pragma once
// The XML document form of the data packet, read on demand: METADATA with its
// FIELD and PARAMS elements, then the ROW elements of ROWDATA.
#include "packet/PacketSource.h"
#include "packet/PacketStatus.h"
#include "packet/XmlTokenizer.h"

#include <memory>
#include <string>
#include <string_view>
#include <vector>

class XmlPacketReader final : public PacketSource {
public:
    explicit XmlPacketReader(std::string_view block);
    // A packet in pieces; `first` holds the bytes already taken from the input.
    XmlPacketReader(PacketInput& input, std::string_view first);

    // Reads the header and the opening elements up to FIELDS.
    pkt::Status Start();
    bool IsUtf8() const { return utf8_; }

    pkt::Status NextColumn(ColumnDesc& column) override;
    pkt::Status NextParam(PacketParam& param) override;
    pkt::Status NextRow(std::uint8_t& status, std::vector<PacketValueView>& values) override;
    std::size_t Offset() const override { return tokens_.Offset(); }
    void LeaveUnread(const std::vector<bool>& columns) override;

    // Splitting the rows of a whole packet between two readers (see
    // TDATAPACKET_READ::SplitRows): where to cut, 0 for nowhere, and a reader
    // of the rows from there on. Finding the cut reads on to the rows; a fault
    // on the way is returned, as the next row's read would return it.
    pkt::Status RowCut(std::size_t minimum, std::size_t& cut);
    std::unique_ptr<XmlPacketReader> RowsFrom(std::size_t offset) const;

private:
    XmlPacketReader(const XmlPacketReader& from, std::size_t offset);

    enum class Stage { Fields, FieldParams, FieldsDone, TableParams, MetadataDone, Rows, RowsDone };

    struct Column {
        std::string LookupName;  // raw "attrname" or "tagname" text
        xmlsyntax::AttributeOpening Opening{LookupName};  // set again with LookupName
        bool Tagged = false;          // values are child elements of ROW
        ColumnType Type = 0;
        bool Unread = false;          // its values are handed out null, unconverted
    };
    // Where one row value ended up: in the block, or in scratch_ (which may still grow).
    struct Slot {
        bool Null = true;
        bool InScratch = false;
        std::size_t Offset = 0, Length = 0;
        std::string_view Direct;
    };

    pkt::Status ReadColumn(bool hasChildren, ColumnDesc& column);
    void BeginParams(bool hasChildren);
    pkt::Status NextParamOfElement(PacketParam& param);
    pkt::Status ReadParamElement(const XmlElement& element, PacketParam& param);
    // `keepText`: an unreadable value is handed out as its text (see PacketParam).
    void MakeParam(std::string_view name, ColumnType type, std::string_view raw, bool keepText,
                   PacketParam& param);
    pkt::Status SkipToRows();
    pkt::Status ReadRow(const XmlElement& row, std::uint8_t& status);
    // A row written as the writer writes it, from its attribute list; false
    // (with nothing taken) for any other, which ReadRow then reads.
    bool ReadPlainRow(std::string_view list);
    // Whether the columns let ReadPlainRow stand in for ReadRow.
    bool RowsMayBePlain() const;
    // The values of the row read last.
    void HandOut(std::vector<PacketValueView>& values) const;
    pkt::Status ReadTaggedValue(const Column& column, Slot& slot);
    // Copies the row's values that still point into the tokenizer's text, which
    // the next element may move.
    void KeepValues();
    // The value of raw text in the column's type; mayNeedDecoding false says
    // the text is already its own value (XmlAttribute::MayNeedDecoding).
    void Convert(const Column& column, std::string_view raw, bool mayNeedDecoding, Slot& slot);

    XmlTokenizer tokens_;
    bool utf8_ = false;
    Stage stage_ = Stage::Fields;
    bool plainRows_ = false;
    std::size_t nextAttribute_ = 0;
    bool attributesDone_ = false;
    bool paramChildren_ = false;
    std::vector<Column> xmlColumns_;
    std::string scratch_;
    std::vector<Slot> slots_;
};
