#include "packet/XmlTokenizer.h"

#include "packet/AsciiCase.h"
#include "packet/PacketInput.h"
#include "packet/PacketStatus.h"
#include "packet/XmlAttributeSyntax.h"

#include <algorithm>
#include <cstring>

namespace {

using xmlsyntax::IsBlank;

// A window of this size holds thousands of rows; it widens for a larger element.
constexpr std::size_t kWindowSize = 256 * 1024;

}  // namespace

XmlTokenizer::XmlTokenizer(std::string_view block) : block_(block) { attributes_.reserve(16); }

XmlTokenizer::XmlTokenizer(PacketInput& input, std::string_view first)
    : input_(&input), finished_(false), window_(new char[std::max(kWindowSize, first.size())]),
      windowSize_(std::max(kWindowSize, first.size())) {
    attributes_.reserve(16);
    std::memcpy(window_.get(), first.data(), first.size());
    block_ = {window_.get(), first.size()};
}

XmlTokenizer::XmlTokenizer(const XmlTokenizer& from, std::size_t offset)
    : block_(from.WholeText()), pos_(std::min(offset, block_.size())), open_(from.open_), depth_(from.depth_) {
    attributes_.reserve(16);
}

XmlTokenizer::~XmlTokenizer() = default;

std::size_t XmlTokenizer::FindTagOpening(std::string_view name, std::size_t from) const {
    const std::string_view text = WholeText();
    for (std::size_t at = text.find('<', from); at != std::string_view::npos; at = text.find('<', at + 1)) {
        if (text.substr(at + 1, name.size()) != name) continue;
        while (at > from && IsBlank(text[at - 1])) --at;
        return at;
    }
    return std::string_view::npos;
}

// Every step reads only inside block_. When a step of a window that does not
// reach the end of the packet runs into the window's end, it changes nothing and
// asks for more; it is repeated from the same place once more text is held, and
// with the whole rest of the packet held it behaves as on a whole packet.
bool XmlTokenizer::More() {
    if (finished_) return false;
    const std::size_t kept = block_.size() - pos_;
    if (kept > windowSize_ / 2) {
        std::unique_ptr<char[]> wider(new char[2 * windowSize_]);
        std::memcpy(wider.get(), block_.data() + pos_, kept);
        window_ = std::move(wider);
        windowSize_ *= 2;
    } else {
        std::memmove(window_.get(), block_.data() + pos_, kept);
    }
    passed_ += pos_;
    pos_ = 0;
    block_ = {window_.get(), kept};
    // The window is filled up, however small the pieces the input gives, so that
    // a step that is repeated meets at least half a window of new text.
    std::size_t filled = kept;
    while (filled < windowSize_) {
        const std::size_t got = input_->Read(window_.get() + filled, windowSize_ - filled);
        if (got == 0) {
            finished_ = true;
            break;
        }
        filled += got;
        block_ = {window_.get(), filled};
    }
    return true;
}

std::size_t XmlTokenizer::SkipBlanks(std::size_t at) const {
    while (!AtEnd(at) && IsBlank(block_[at])) ++at;
    return at;
}

std::size_t XmlTokenizer::ReadName(std::size_t at, std::string_view& name) const {
    const std::size_t start = at;
    while (!AtEnd(at)) {
        const char c = block_[at];
        if (static_cast<unsigned char>(c) < 33 || c == '/' || c == '>') break;
        ++at;
    }
    name = block_.substr(start, at - start);
    return at;
}

void XmlTokenizer::ReadAttributes(std::string_view list) {
    attributes_.clear();
    const char* p = list.data();
    XmlAttribute attribute;
    while (xmlsyntax::NextAttribute(p, list.data() + list.size(), attribute)) attributes_.push_back(attribute);
}

bool XmlTokenizer::PeekEmpty(std::string_view name, std::string_view& list, std::size_t& after) const {
    // As Next reads it: the name right after "<", a space, and the list up to
    // the first ">", which must follow a "/".
    const std::size_t at = SkipBlanks(pos_);
    if (block_.size() - at < name.size() + 2 || block_[at] != '<' ||
        block_.compare(at + 1, name.size(), name) != 0 || block_[at + 1 + name.size()] != ' ')
        return false;
    const std::size_t start = at + 1 + name.size();
    const void* found = std::memchr(block_.data() + start, '>', block_.size() - start);
    if (!found) return false;
    const std::size_t close = static_cast<std::size_t>(static_cast<const char*>(found) - block_.data());
    if (block_[close - 1] != '/') return false;
    list = block_.substr(start, close - 1 - start);
    after = close + 1;
    return true;
}

pkt::Status XmlTokenizer::ReadHeader(bool& utf8) {
    pkt::Status status;
    while ((status = TryReadHeader(utf8)) == kNeedMore) More();
    return status;
}

pkt::Status XmlTokenizer::TryReadHeader(bool& utf8) {
    utf8 = false;
    const std::size_t at = SkipBlanks(pos_);
    if (AtEnd(at)) return Ended(pkt::NotAPacket);
    if (block_[at] != '<') return pkt::NotAPacket;
    if (AtEnd(at + 1) && !finished_) return kNeedMore;
    if (AtEnd(at + 1) || block_[at + 1] != '?') {
        pos_ = at;
        return pkt::Ok;
    }
    // The "?" of "<?" may also begin the closing "?>": "<?>" is an empty header.
    const std::size_t start = at + 2;
    const std::size_t close = block_.find("?>", at + 1);
    if (close == std::string_view::npos) return Ended(pkt::NotAPacket);
    std::string_view header = close >= start ? block_.substr(start, close - start) : std::string_view();
    std::size_t target = 0;
    while (target < header.size() && !IsBlank(header[target])) ++target;
    ReadAttributes(header.substr(target));
    for (const XmlAttribute& attribute : attributes_)
        if (SameIgnoringAsciiCase(attribute.Name, "encoding") && SameIgnoringAsciiCase(attribute.Value, "UTF-8")) utf8 = true;
    attributes_.clear();
    pos_ = close + 2;
    return pkt::Ok;
}

pkt::Status XmlTokenizer::ReadEndTag(std::size_t& at, std::string_view& name) const {
    at = ReadName(SkipBlanks(at), name);
    at = SkipBlanks(at);
    if (AtEnd(at)) return Ended(pkt::NotAPacket);
    if (block_[at] != '>') return pkt::NotAPacket;
    ++at;
    if (depth_ == 0 || open_[depth_ - 1] != name) return pkt::NotAPacket;
    return pkt::Ok;
}

pkt::Status XmlTokenizer::Next(XmlElement& element) {
    pkt::Status status;
    while ((status = TryNext(element)) == kNeedMore) More();
    return status;
}

pkt::Status XmlTokenizer::TryNext(XmlElement& element) {
    element.Text = {};
    std::size_t at = pos_;
    while (true) {
        at = SkipBlanks(at);
        if (AtEnd(at)) return Ended(pkt::NotAPacket);
        if (block_[at] != '<') return pkt::NotAPacket;
        if (AtEnd(at + 1)) {
            if (!finished_) return kNeedMore;
            break;
        }
        const char second = block_[at + 1];
        if (second != '?' && second != '!') break;
        const std::string_view closing = second == '?' ? "?>" : "-->";
        const std::size_t found = block_.find(closing, at + 2);
        if (found == std::string_view::npos) return Ended(pkt::NotAPacket);
        at = found + closing.size();
    }
    ++at;
    if (!AtEnd(at) && block_[at] == '/') {
        ++at;
        element.Kind = XmlKind::End;
        if (const pkt::Status status = ReadEndTag(at, element.Name)) return status;
        --depth_;
        pos_ = at;
        return pkt::Ok;
    }

    at = ReadName(SkipBlanks(at), element.Name);
    if (AtEnd(at)) return Ended(pkt::NotAPacket);
    if (element.Name.empty()) return pkt::NotAPacket;
    std::string_view list;
    bool empty = false;
    if (block_[at] == ' ') {
        const void* found = std::memchr(block_.data() + at, '>', block_.size() - at);
        if (!found) return Ended(pkt::NotAPacket);
        const std::size_t close = static_cast<std::size_t>(static_cast<const char*>(found) - block_.data());
        empty = block_[close - 1] == '/';
        list = block_.substr(at, close - at - (empty ? 1 : 0));
        at = close + 1;
    } else {
        // Only a space opens the attribute list; after any other blank only the
        // end of the tag may follow.
        at = SkipBlanks(at);
        if (!AtEnd(at) && block_[at] == '/') {
            empty = true;
            ++at;
        }
        if (AtEnd(at)) return Ended(pkt::NotAPacket);
        if (block_[at] != '>') return pkt::NotAPacket;
        ++at;
    }
    if (empty) {
        ReadAttributes(list);
        element.Kind = XmlKind::Empty;
        pos_ = at;
        return pkt::Ok;
    }
    if (depth_ == kMaxOpen) return pkt::NotAPacket;

    // Text content runs to the next "<", which must open the matching end tag.
    const std::size_t content = SkipBlanks(at);
    if (AtEnd(content) || block_[content] == '<') {
        if (AtEnd(content) && !finished_) return kNeedMore;
        ReadAttributes(list);
        open_[depth_++].assign(element.Name);
        element.Kind = XmlKind::Start;
        pos_ = at;
        return pkt::Ok;
    }
    const void* found = std::memchr(block_.data() + content, '<', block_.size() - content);
    if (!found) return Ended(pkt::NotAPacket);
    const std::size_t textEnd = static_cast<std::size_t>(static_cast<const char*>(found) - block_.data());
    at = textEnd + 1;
    if (AtEnd(at)) return Ended(pkt::NotAPacket);
    if (block_[at] != '/') return pkt::NotAPacket;
    ++at;
    // The end tag is matched against this element, as if it had been opened.
    open_[depth_++].assign(element.Name);
    std::string_view endName;
    const pkt::Status status = ReadEndTag(at, endName);
    --depth_;
    if (status) return status;
    ReadAttributes(list);
    element.Text = block_.substr(content, textEnd - content);
    element.Kind = XmlKind::Text;
    pos_ = at;
    return pkt::Ok;
}

XmlAttribute* XmlTokenizer::FindElsewhere(std::string_view name, std::size_t hint) {
    const std::size_t count = attributes_.size();
    if (hint >= count) hint = 0;
    for (std::size_t i = hint; i < count; ++i)
        if (xmlsyntax::SameName(attributes_[i].Name, name)) return &attributes_[i];
    for (std::size_t i = 0; i < hint; ++i)
        if (xmlsyntax::SameName(attributes_[i].Name, name)) return &attributes_[i];
    return nullptr;
}
