#pragma once
// The readers of the XML film files, one per program (each in its own file), and
// the films of a parsed document. Each takes the document whose root element it
// was chosen by (FilmFile.cpp) and refuses, naming the type, a collection of
// something other than films.
#include "import/FilmBuilder.h"
#include "import/ImportedFilms.h"
#include "import/XmlSource.h"

// <AntMovieCatalog>: Ant Movie Catalog's XML (AmcXmlReader.cpp).
ImportedFilms ReadAmcXml(XmlSource& source);
// <collection type="GCfilms">: GCstar (GcstarReader.cpp).
ImportedFilms ReadGcstar(XmlSource& source);
// <tellico> or <bookcase>: Tellico, from its zip or plain (TellicoReader.cpp).
ImportedFilms ReadTellico(XmlSource& source);
// <root> of <movie>s: Griffith's XML export (GriffithReader.cpp).
ImportedFilms ReadGriffith(XmlSource& source);
// <data-crow-objects>: Data Crow's XML export (DataCrowReader.cpp).
ImportedFilms ReadDataCrow(XmlSource& source);
