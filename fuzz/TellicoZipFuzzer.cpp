// Fuzz target: Tellico's zip archive and the XML inside it, read through libzip
// from memory. Whatever the bytes (damaged directories, lying sizes, members
// that climb out, bombs), the reader hands back films or refuses the file with
// ImportError; nothing else may escape, and nothing is written anywhere.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "import/FilmFile.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    try {
        ReadFilmFile(std::string_view(reinterpret_cast<const char*>(data), size));
    } catch (const ImportError&) {
    }
    return 0;
}
