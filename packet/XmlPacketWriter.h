#pragma once
// The XML document form of the data packet, written in one pass into one buffer.
//
// Elements are written as the calls come; a start tag whose element has gained a
// PARAM child stays open for further known parameters, which are inserted at the
// end of its attributes ("late attributes", two spaces before the name).
#include "packet/PacketBuffer.h"
#include "packet/PacketEmitter.h"
#include "packet/PacketStatus.h"

#include <cstddef>
#include <string>
#include <vector>

class XmlPacketWriter final : public PacketEmitter {
public:
    explicit XmlPacketWriter(std::uint32_t xmlFlags);

    pkt::Status Begin(std::uint32_t columnCount) override;
    pkt::Status AddColumn(const ColumnDesc& column) override;
    pkt::Status AddFieldParam(std::string_view name, ColumnType type, std::string_view value) override;
    pkt::Status AddTableParam(std::string_view name, ColumnType type, std::string_view value) override;
    void EndParams() override;
    void BeginRow(std::uint8_t status) override;
    pkt::Status PutColumn(std::size_t index, int status, std::string_view value) override;
    void EndRow() override;
    std::string_view Finish() override;
    // Once the rows have begun nothing earlier changes any more.
    std::string_view Settled() const override { return rowsBegun_ ? out_.view() : std::string_view(); }
    void Release() override {
        if (rowsBegun_) out_.clear();
    }
    std::unique_ptr<PacketEmitter> RowsApart() const override;

private:
    // An element whose start tag may still take attributes.
    struct OpenTag {
        bool open = false;
        bool hasChildren = false;     // the start tag is closed with ">", children follow
        std::size_t attributesEnd = 0;  // where a late attribute goes
    };
    struct Column {
        ColumnType Type = 0;
        std::string AttributeStart;  // ` name="`, the row attribute up to its value
    };

    pkt::Status AddParam(OpenTag& tag, std::string_view name, ColumnType type, std::string_view value);
    pkt::Status AppendParamText(PacketBuffer& out, ColumnType type, std::string_view value) const;
    void CloseTag(OpenTag& tag, std::string_view endTag);
    void CloseFields();

    PacketBuffer out_;
    PacketBuffer scratch_{256};
    std::vector<Column> columns_;
    OpenTag field_;
    OpenTag params_;
    bool metadata_;
    bool utf8_;
    bool fieldsClosed_ = false;
    bool rowsBegun_ = false;
};
