#pragma once
// The XML of a film file, decoded and parsed, and where its elements stand.
//
// The text becomes UTF-8 first: a UTF-8 byte order mark or a valid UTF-8 text is
// taken as it is; otherwise the declared code page (Windows-1250, Windows-1252,
// ISO-8859-1 or ISO-8859-2) is followed where the bytes agree with it
// (SourceEncoding.h). Control characters other than tab and line breaks, which
// some writers leave in values, are removed. A document that declares entities
// is refused; a DOCTYPE is passed over and nothing it names is ever fetched,
// and a reference to an unknown entity stays as written.
#include <pugixml.hpp>
#include <string>
#include <string_view>

#include "import/ImportedFilms.h"

class XmlSource {
public:
    // ImportError when the bytes are not a well-formed document.
    explicit XmlSource(std::string_view bytes);

    const pugi::xml_node Root() const { return document_.document_element(); }
    // The line on which a node begins; nodes must be asked about in document order.
    FilePlace PlaceOf(const pugi::xml_node& node);

private:
    std::string text_;
    pugi::xml_document document_;
    std::size_t countedTo_ = 0;
    std::size_t line_ = 1;
};

// The element's name without a namespace prefix.
std::string_view LocalName(const pugi::xml_node& node);
// The first child element with that local name (an empty node when none).
pugi::xml_node ChildNamed(const pugi::xml_node& node, std::string_view name);
// Every text inside the element, joined by blanks.
std::string AllText(const pugi::xml_node& node);
// Whether the file's first bytes (after a UTF-8 byte order mark) open an XML document.
bool LooksLikeXml(std::string_view bytes);
