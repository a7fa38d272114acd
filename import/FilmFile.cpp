#include "import/FilmFile.h"

#include "import/AmcBinaryReader.h"
#include "import/CsvFilms.h"
#include "import/TellicoZip.h"
#include "import/XmlFilmReaders.h"

namespace {

ImportedFilms ReadXmlFilms(std::string_view bytes) {
    XmlSource source(bytes);
    const std::string_view root = LocalName(source.Root());
    if (root == "AntMovieCatalog") return ReadAmcXml(source);
    if (root == "collection" && source.Root().attribute("type")) return ReadGcstar(source);
    if (root == "tellico" || root == "bookcase") return ReadTellico(source);
    if (root == "root" && source.Root().child("movie")) return ReadGriffith(source);
    if (root == "data-crow-objects") return ReadDataCrow(source);
    throw ImportError(source.PlaceOf(source.Root()),
                      "neznámý druh souboru XML (kořenový prvek <" + std::string(root) + ">)");
}

}  // namespace

ImportedFilms ReadFilmFile(std::string_view bytes) {
    if (IsAmcBinary(bytes)) return ReadAmcBinary(bytes);
    if (IsZip(bytes)) {
        const std::string document = TellicoDocument(bytes);
        XmlSource source(document);
        const std::string_view root = LocalName(source.Root());
        if (root != "tellico" && root != "bookcase") {
            throw ImportError(source.PlaceOf(source.Root()), "tellico.xml v archivu není dokument Tellico");
        }
        ImportedFilms films = ReadTellico(source);
        films.FormatName = "Tellico (zip)";
        return films;
    }
    if (LooksLikeXml(bytes)) return ReadXmlFilms(bytes);
    return ReadCsvFilms(bytes);
}
