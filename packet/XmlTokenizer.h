#pragma once
// The lexical layer of the XML packet reader: elements and their attributes,
// read one at a time. Every view it hands out points into the text it holds and
// stays valid until the next call to Next; nothing is read outside that text.
//
// The text is either a whole packet held by the caller, or a window onto a
// packet that arrives in pieces: the window moves on and is refilled between
// elements, and widens when one element does not fit into it, so that what an
// element says never depends on where the pieces were cut.
//
// Whitespace is any byte from 1 to 32. Comments ("<!" up to "-->") and
// processing instructions ("<?" up to "?>") between elements are passed over.
// An attribute list opens only with a space right after the tag name and runs to
// the first ">". At most 63 elements may be open at once.
#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "packet/PacketStatus.h"
#include "packet/XmlAttributeSyntax.h"

class PacketInput;

enum class XmlKind {
    Start,  // a start tag whose content is elements
    Empty,  // "<name .../>"
    End,    // "</name>"
    Text    // a start tag, its text content and the matching end tag
};

struct XmlElement {
    XmlKind Kind = XmlKind::Start;
    std::string_view Name;
    std::string_view Text;  // Text elements only
};

class XmlTokenizer {
public:
    static constexpr std::size_t kMaxOpen = 63;

    // A whole packet; it must outlive the tokenizer.
    explicit XmlTokenizer(std::string_view block);
    // A packet in pieces, which must outlive the tokenizer; `first` holds the
    // bytes already taken from the input.
    XmlTokenizer(PacketInput& input, std::string_view first);
    // A second tokenizer of the same whole packet that goes on from `offset`
    // with the same elements open, as this one would if it stood there.
    XmlTokenizer(const XmlTokenizer& from, std::size_t offset);
    ~XmlTokenizer();

    // The whole packet, or nothing when only a window of it is held.
    std::string_view WholeText() const { return input_ ? std::string_view() : block_; }
    // In the whole packet, the first "<" followed by `name` at or after `from`,
    // moved back over the blanks before it: where a reader would stand after the
    // element before it. A plain search, blind to comments and values; npos
    // when there is none.
    std::size_t FindTagOpening(std::string_view name, std::size_t from) const;

    // Checks that the first non-blank byte is "<" and reads the "<?...?>" header
    // when there is one; utf8 is set when it declares encoding="UTF-8".
    pkt::Status ReadHeader(bool& utf8);

    // The next element; its attributes replace those of the previous one.
    pkt::Status Next(XmlElement& element);

    std::vector<XmlAttribute>& Attributes() { return attributes_; }

    // When the next element, held whole, is an empty element that Next would
    // read as `name`: its attribute list and the offset after it, for SkipTo.
    // Nothing moves, and the attributes read last stay as they were.
    bool PeekEmpty(std::string_view name, std::string_view& list, std::size_t& after) const;
    void SkipTo(std::size_t after) { pos_ = after; }

    // Bytes of the packet before the next element: the end of the last one read.
    std::size_t Offset() const { return passed_ + pos_; }

    // The attribute with exactly this name; the search starts at `hint` and wraps
    // around, so that attributes in the expected order are found at once.
    XmlAttribute* Find(std::string_view name, std::size_t hint = 0) {
        if (hint < attributes_.size() && xmlsyntax::SameName(attributes_[hint].Name, name)) return &attributes_[hint];
        return FindElsewhere(name, hint);
    }

private:
    // What a step that ran into the end of the window asks for: more text.
    static constexpr pkt::Status kNeedMore = static_cast<pkt::Status>(0xFFFF);

    XmlAttribute* FindElsewhere(std::string_view name, std::size_t hint);
    pkt::Status TryReadHeader(bool& utf8);
    pkt::Status TryNext(XmlElement& element);
    // Reads more of the input, keeping the text from pos_ on; false at its end.
    bool More();
    bool AtEnd(std::size_t at) const { return at >= block_.size(); }
    // Where the text ends for a step: the end of the packet, or more is needed.
    pkt::Status Ended(pkt::Status failure) const { return finished_ ? failure : kNeedMore; }

    std::size_t SkipBlanks(std::size_t at) const;
    std::size_t ReadName(std::size_t at, std::string_view& name) const;
    pkt::Status ReadEndTag(std::size_t& at, std::string_view& name) const;
    void ReadAttributes(std::string_view list);

    std::string_view block_;  // the text held: the whole packet or the window
    std::size_t pos_ = 0;
    std::size_t passed_ = 0;  // bytes of the packet before block_
    PacketInput* input_ = nullptr;
    bool finished_ = true;    // block_ reaches the end of the packet
    std::unique_ptr<char[]> window_;
    std::size_t windowSize_ = 0;
    std::array<std::string, kMaxOpen> open_{};
    std::size_t depth_ = 0;
    std::vector<XmlAttribute> attributes_;
};
