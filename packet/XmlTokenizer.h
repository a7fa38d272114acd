#pragma once
// The lexical layer of the XML packet reader: elements and their attributes,
// read one at a time from a block held in memory. Every view it hands out points
// into the block; nothing is read outside it.
//
// Whitespace is any byte from 1 to 32. Comments ("<!" up to "-->") and
// processing instructions ("<?" up to "?>") between elements are passed over.
// An attribute list opens only with a space right after the tag name and runs to
// the first ">". At most 63 elements may be open at once.
#include <array>
#include <cstdint>
#include <string_view>
#include <vector>

struct XmlAttribute {
    std::string_view Name;
    std::string_view Value;  // the raw text between the double quotes
    bool Used = false;
};

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

    explicit XmlTokenizer(std::string_view block);

    // Checks that the first non-blank byte is "<" and reads the "<?...?>" header
    // when there is one; utf8 is set when it declares encoding="UTF-8".
    std::uint16_t ReadHeader(bool& utf8);

    // The next element; its attributes replace those of the previous one.
    std::uint16_t Next(XmlElement& element);

    std::vector<XmlAttribute>& Attributes() { return attributes_; }

    // The attribute with exactly this name; the search starts at `hint` and wraps
    // around, so that attributes in the expected order are found at once.
    XmlAttribute* Find(std::string_view name, std::size_t hint = 0);

private:
    void SkipBlanks();
    bool Skip(std::string_view closing);
    std::string_view ReadName();
    std::uint16_t ReadEndTag(XmlElement& element);
    void ReadAttributes(std::string_view list);

    std::string_view block_;
    std::size_t pos_ = 0;
    std::array<std::string_view, kMaxOpen> open_{};
    std::size_t depth_ = 0;
    std::vector<XmlAttribute> attributes_;
};
