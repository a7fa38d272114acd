#include "import/XmlSource.h"

#include <algorithm>
#include <optional>

#include "import/SourceEncoding.h"
#include "text/Cp1250.h"

namespace {

constexpr std::string_view kUtf8Mark = "\xEF\xBB\xBF";

std::string SmallLetters(std::string_view text) {
    std::string small(text);
    for (char& c : small) {
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    }
    return small;
}

// The encoding named in the "<?xml ...?>" declaration, in small letters; empty when none.
std::string DeclaredEncoding(std::string_view text) {
    if (!text.starts_with("<?xml")) return {};
    const std::string_view declaration = text.substr(0, text.find("?>"));
    const std::size_t name = declaration.find("encoding");
    if (name == std::string_view::npos) return {};
    const std::size_t quote = declaration.find_first_of("\"'", name);
    if (quote == std::string_view::npos) return {};
    const std::size_t end = declaration.find(declaration[quote], quote + 1);
    if (end == std::string_view::npos) return {};
    return SmallLetters(declaration.substr(quote + 1, end - quote - 1));
}

std::string Utf8Text(std::string_view bytes) {
    if (bytes.starts_with(kUtf8Mark)) return std::string(bytes.substr(kUtf8Mark.size()));
    if (bytes.starts_with("\xFF\xFE") || bytes.starts_with("\xFE\xFF")) {
        throw ImportError({FilePlace::Unit::Line, 1}, "soubor je v kódování UTF-16; uložte ho v UTF-8");
    }
    const std::string encoding = DeclaredEncoding(bytes);
    std::optional<SingleByteCodePage> declared;
    if (encoding == "windows-1250" || encoding == "cp1250" || encoding == "x-cp1250") {
        declared = SingleByteCodePage::Windows1250;
    } else if (encoding == "windows-1252" || encoding == "iso-8859-1" || encoding == "latin1" || encoding == "cp1252") {
        declared = SingleByteCodePage::Windows1252;
    } else if (encoding == "iso-8859-2" || encoding == "latin2") {
        declared = SingleByteCodePage::Iso8859_2;
    } else if (!encoding.empty() && encoding != "utf-8" && encoding != "utf8" && encoding != "us-ascii") {
        throw ImportError({FilePlace::Unit::Line, 1}, "neznámé kódování \"" + cp1250::ToUtf8(encoding) + "\"");
    }
    if (!declared && cp1250::IsValidUtf8(bytes)) return std::string(bytes);
    return SingleByteToUtf8(bytes, GuessCodePage(bytes, declared));
}

}  // namespace

XmlSource::XmlSource(std::string_view bytes) : text_(Utf8Text(bytes)) {
    std::erase_if(text_, [](char c) { return static_cast<unsigned char>(c) < 0x20 && c != '\t' && c != '\r' && c != '\n'; });
    const auto lineAt = [this](std::size_t offset) {
        const auto end = text_.begin() + static_cast<std::ptrdiff_t>(std::min(offset, text_.size()));
        return FilePlace{FilePlace::Unit::Line, 1 + static_cast<std::size_t>(std::count(text_.begin(), end, '\n'))};
    };
    if (const std::size_t entity = text_.find("<!ENTITY"); entity != std::string::npos) {
        throw ImportError(lineAt(entity), "soubor deklaruje entity (<!ENTITY>); takový soubor se nečte");
    }
    const pugi::xml_parse_result parsed =
        document_.load_buffer(text_.data(), text_.size(), pugi::parse_default, pugi::encoding_utf8);
    if (!parsed) {
        throw ImportError(lineAt(static_cast<std::size_t>(std::max<std::ptrdiff_t>(parsed.offset, 0))),
                          std::string("chybné XML: ") + parsed.description());
    }
    if (!Root()) throw ImportError({FilePlace::Unit::Line, 1}, "v souboru není žádný prvek XML");
}

FilePlace XmlSource::PlaceOf(const pugi::xml_node& node) {
    const std::ptrdiff_t offset = node ? node.offset_debug() : 0;
    const std::size_t to = std::min(text_.size(), static_cast<std::size_t>(std::max<std::ptrdiff_t>(offset, 0)));
    if (to > countedTo_) {
        line_ += static_cast<std::size_t>(std::count(text_.begin() + static_cast<std::ptrdiff_t>(countedTo_),
                                                     text_.begin() + static_cast<std::ptrdiff_t>(to), '\n'));
        countedTo_ = to;
    }
    return {FilePlace::Unit::Line, line_};
}

std::string_view LocalName(const pugi::xml_node& node) {
    const std::string_view name = node.name();
    const std::size_t colon = name.find(':');
    return colon == std::string_view::npos ? name : name.substr(colon + 1);
}

pugi::xml_node ChildNamed(const pugi::xml_node& node, std::string_view name) {
    for (pugi::xml_node child = node.first_child(); child; child = child.next_sibling()) {
        if (child.type() == pugi::node_element && LocalName(child) == name) return child;
    }
    return {};
}

bool LooksLikeXml(std::string_view bytes) {
    if (bytes.starts_with(kUtf8Mark)) bytes.remove_prefix(kUtf8Mark.size());
    const std::size_t first = bytes.find_first_not_of(" \t\r\n");
    return first != std::string_view::npos && bytes.substr(first).starts_with("<");
}

std::string AllText(const pugi::xml_node& node) {
    // pugixml's walk keeps its own stack, so a deeply nested file cannot exhaust ours.
    struct TextCollector : pugi::xml_tree_walker {
        std::string text;
        bool for_each(pugi::xml_node& visited) override {
            if (visited.type() == pugi::node_pcdata || visited.type() == pugi::node_cdata) {
                text += (text.empty() ? "" : " ") + std::string(visited.value());
            }
            return true;
        }
    } collector;
    pugi::xml_node walked = node;
    walked.traverse(collector);
    return collector.text;
}
