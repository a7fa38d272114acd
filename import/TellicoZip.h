#pragma once
// Tellico's ".tc" file: a zip archive holding the document "tellico.xml"
// ("bookcase.xml" in old files), read with libzip from memory. Nothing is ever
// unpacked to disk; an archive whose member names are absolute or climb out
// ("../") is refused all the same, and the document is read up to a cap (and
// refused beyond it, whatever the archive says its size is), so a zip bomb ends
// as an error.
#include <string>
#include <string_view>

bool IsZip(std::string_view bytes);

// The document's bytes; ImportError when the archive cannot be read or holds no
// Tellico document.
std::string TellicoDocument(std::string_view bytes);
