#include "packet/XmlTokenizer.h"

#include "packet/AsciiCase.h"
#include "packet/PacketStatus.h"

#include <cstring>

namespace {

bool IsBlank(char c) { return c >= 1 && c <= 32; }

}  // namespace

XmlTokenizer::XmlTokenizer(std::string_view block) : block_(block) { attributes_.reserve(16); }

void XmlTokenizer::SkipBlanks() {
    while (pos_ < block_.size() && IsBlank(block_[pos_])) ++pos_;
}

// Moves past the next occurrence of `closing`; false when there is none.
bool XmlTokenizer::Skip(std::string_view closing) {
    const std::size_t found = block_.find(closing, pos_);
    if (found == std::string_view::npos) return false;
    pos_ = found + closing.size();
    return true;
}

std::string_view XmlTokenizer::ReadName() {
    const std::size_t start = pos_;
    while (pos_ < block_.size()) {
        const char c = block_[pos_];
        if (static_cast<unsigned char>(c) < 33 || c == '/' || c == '>') break;
        ++pos_;
    }
    return block_.substr(start, pos_ - start);
}

void XmlTokenizer::ReadAttributes(std::string_view list) {
    attributes_.clear();
    std::size_t i = 0;
    while (true) {
        while (i < list.size() && IsBlank(list[i])) ++i;
        if (i >= list.size()) return;
        // Names and values are short: a plain scan beats a library search here.
        std::size_t equals = i;
        while (equals < list.size() && list[equals] != '=') ++equals;
        if (equals == list.size()) return;
        std::size_t nameEnd = equals;
        while (nameEnd > i && IsBlank(list[nameEnd - 1])) --nameEnd;
        std::size_t j = equals + 1;
        while (j < list.size() && IsBlank(list[j])) ++j;
        if (j >= list.size() || list[j] != '"') return;
        std::size_t close = j + 1;
        while (close < list.size() && list[close] != '"') ++close;
        if (close == list.size()) return;
        attributes_.push_back({list.substr(i, nameEnd - i), list.substr(j + 1, close - j - 1), false});
        i = close + 1;
    }
}

std::uint16_t XmlTokenizer::ReadHeader(bool& utf8) {
    utf8 = false;
    SkipBlanks();
    if (pos_ >= block_.size() || block_[pos_] != '<') return pkt::NotAPacket;
    if (block_.substr(pos_, 2) != "<?") return pkt::Ok;
    const std::size_t start = pos_ + 2;
    if (!Skip("?>")) return pkt::NotAPacket;
    std::string_view header = block_.substr(start, pos_ - 2 - start);
    std::size_t target = 0;
    while (target < header.size() && !IsBlank(header[target])) ++target;
    ReadAttributes(header.substr(target));
    for (const XmlAttribute& attribute : attributes_)
        if (SameIgnoringAsciiCase(attribute.Name, "encoding") && SameIgnoringAsciiCase(attribute.Value, "UTF-8")) utf8 = true;
    attributes_.clear();
    return pkt::Ok;
}

std::uint16_t XmlTokenizer::ReadEndTag(XmlElement& element) {
    SkipBlanks();
    element.Name = ReadName();
    SkipBlanks();
    if (pos_ >= block_.size() || block_[pos_] != '>') return pkt::NotAPacket;
    ++pos_;
    if (depth_ == 0 || open_[depth_ - 1] != element.Name) return pkt::NotAPacket;
    --depth_;
    return pkt::Ok;
}

std::uint16_t XmlTokenizer::Next(XmlElement& element) {
    element.Text = {};
    while (true) {
        SkipBlanks();
        if (pos_ >= block_.size() || block_[pos_] != '<') return pkt::NotAPacket;
        const std::string_view opening = block_.substr(pos_, 2);
        if (opening == "<?") {
            pos_ += 2;
            if (!Skip("?>")) return pkt::NotAPacket;
        } else if (opening == "<!") {
            pos_ += 2;
            if (!Skip("-->")) return pkt::NotAPacket;
        } else {
            break;
        }
    }
    ++pos_;
    if (pos_ < block_.size() && block_[pos_] == '/') {
        ++pos_;
        element.Kind = XmlKind::End;
        return ReadEndTag(element);
    }

    SkipBlanks();
    element.Name = ReadName();
    if (element.Name.empty() || pos_ >= block_.size()) return pkt::NotAPacket;
    attributes_.clear();
    bool empty = false;
    if (block_[pos_] == ' ') {
        const void* found = std::memchr(block_.data() + pos_, '>', block_.size() - pos_);
        if (!found) return pkt::NotAPacket;
        const std::size_t close = static_cast<std::size_t>(static_cast<const char*>(found) - block_.data());
        empty = block_[close - 1] == '/';
        ReadAttributes(block_.substr(pos_, close - pos_ - (empty ? 1 : 0)));
        pos_ = close + 1;
    } else {
        // Only a space opens the attribute list; after any other blank only the
        // end of the tag may follow.
        SkipBlanks();
        if (pos_ < block_.size() && block_[pos_] == '/') {
            empty = true;
            ++pos_;
        }
        if (pos_ >= block_.size() || block_[pos_] != '>') return pkt::NotAPacket;
        ++pos_;
    }
    if (empty) {
        element.Kind = XmlKind::Empty;
        return pkt::Ok;
    }
    if (depth_ == kMaxOpen) return pkt::NotAPacket;
    open_[depth_++] = element.Name;
    element.Kind = XmlKind::Start;

    std::size_t content = pos_;
    while (content < block_.size() && IsBlank(block_[content])) ++content;
    if (content >= block_.size() || block_[content] == '<') return pkt::Ok;
    // Text content runs to the next "<", which must open the matching end tag.
    const void* found = std::memchr(block_.data() + content, '<', block_.size() - content);
    if (!found) return pkt::NotAPacket;
    const std::size_t textEnd = static_cast<std::size_t>(static_cast<const char*>(found) - block_.data());
    element.Text = block_.substr(content, textEnd - content);
    element.Kind = XmlKind::Text;
    pos_ = textEnd + 1;
    if (pos_ >= block_.size() || block_[pos_] != '/') return pkt::NotAPacket;
    ++pos_;
    const std::string_view name = element.Name;
    const std::uint16_t status = ReadEndTag(element);
    element.Name = name;
    return status;
}

XmlAttribute* XmlTokenizer::Find(std::string_view name, std::size_t hint) {
    const std::size_t count = attributes_.size();
    if (count == 0) return nullptr;
    if (hint >= count) hint = 0;
    for (std::size_t k = 0, i = hint; k < count; ++k, i = i + 1 == count ? 0 : i + 1)
        if (attributes_[i].Name == name) return &attributes_[i];
    return nullptr;
}
