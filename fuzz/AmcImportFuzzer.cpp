// Fuzz target: the Ant Movie Catalog binary reader. The first byte picks one of
// the versions' headers and the rest follows it, so every input reaches the
// owner's block, the custom fields and the films. Whatever the bytes, the reader
// hands back films or refuses the file with ImportError; nothing else may
// escape, and nothing may be read outside the input.
#include <cstddef>
#include <cstdint>
#include <string>

#include "import/FilmFile.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const char* const kHeaders[] = {
        " AMC_3.1 Ant Movie Catalog 3.1.x   www.buypin.com  www.ant.be.tf ",
        " AMC_3.3 Ant Movie Catalog 3.3.x   www.buypin.com  www.ant.be.tf ",
        " AMC_3.5 Ant Movie Catalog 3.5.x   www.buypin.com    www.antp.be ",
        " AMC_4.0 Ant Movie Catalog 4.0.x   antp/soulsnake    www.antp.be ",
        " AMC_4.1 Ant Movie Catalog 4.1.x   antp/soulsnake    www.antp.be ",
        " AMC_4.2 Ant Movie Catalog 4.2.x   antp/soulsnake    www.antp.be ",
    };
    if (size == 0) return 0;
    std::string bytes = kHeaders[data[0] % std::size(kHeaders)];
    bytes.append(reinterpret_cast<const char*>(data + 1), size - 1);
    try {
        ReadFilmFile(bytes);
    } catch (const ImportError&) {
    }
    return 0;
}
