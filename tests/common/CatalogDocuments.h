#pragma once
// The exact bytes the program writes for its catalogue, shared by the tests of
// every layer that produces or reads them.
#include <string>

#include "tests/common/CatalogLayout.h"

namespace catalog_documents {

inline const std::string kHeader = "<?xml version=\"1.0\" standalone=\"yes\"?>  ";

// K as written by a table the program created; once loaded, K is read-only.
inline const std::string kKField = "<FIELD attrname=\"K\" fieldtype=\"i4\" SUBTYPE=\"Autoinc\"/>";
inline const std::string kKFieldReloaded =
    "<FIELD attrname=\"K\" fieldtype=\"i4\" readonly=\"true\" SUBTYPE=\"Autoinc\"/>";

// The seven film fields S1 to S7.
inline const std::string kFilmFields = [] {
    std::string fields;
    for (const catalog_layout::FilmField& field : catalog_layout::kFilmFields) {
        fields += std::string("<FIELD attrname=\"") + field.Name + "\" fieldtype=\"" +
                  (field.IsText() ? "string\" WIDTH=\"" + std::to_string(field.Width) + "\"/>" : "i4\"/>");
    }
    return fields;
}();

// The two ROW elements of the example catalogue ("Tichý přístav", "Dlouhá cesta").
inline const std::string kTwoRows =
    "<ROW K=\"1\" S1=\"Quiet Harbour\" S2=\"Tich&#253; p&#248;&#237;stav\" S3=\"12\" S4=\"EN\" S5=\"CZ\" S6=\"1\" "
    "S7=\"Director&apos;s cut &amp; extras\"/>"
    "<ROW K=\"2\" S1=\"The Long Road\" S2=\"Dlouh&#225; cesta\" S3=\"12\" S4=\"CZ\" S6=\"2\"/>";

// A catalogue as "Nový" writes it: no films, counter at 1.
inline std::string EmptyCatalog() {
    return kHeader + "<DATAPACKET Version=\"2.0\"><METADATA><FIELDS>" + kKField + kFilmFields +
           "</FIELDS><PARAMS AUTOINCVALUE=\"1\"/></METADATA><ROWDATA></ROWDATA></DATAPACKET>";
}

// The example catalogue with two films added in one run; `reloaded` gives the
// bytes written again after the file has been loaded.
inline std::string TwoRecordCatalog(bool reloaded) {
    return kHeader + "<DATAPACKET Version=\"2.0\"><METADATA><FIELDS>" + (reloaded ? kKFieldReloaded : kKField) +
           kFilmFields + "</FIELDS><PARAMS AUTOINCVALUE=\"3\"/></METADATA><ROWDATA>" + kTwoRows +
           "</ROWDATA></DATAPACKET>";
}

}  // namespace catalog_documents
