#include "import/SourceEncoding.h"

#include <algorithm>

namespace {

bool HasAnyOf(std::string_view bytes, std::initializer_list<unsigned char> wanted) {
    return std::any_of(bytes.begin(), bytes.end(), [&](char c) {
        return std::find(wanted.begin(), wanted.end(), static_cast<unsigned char>(c)) != wanted.end();
    });
}

bool HasControlRange(std::string_view bytes) {
    return std::any_of(bytes.begin(), bytes.end(), [](char c) {
        const auto byte = static_cast<unsigned char>(c);
        return byte >= 0x80 && byte <= 0x9F;
    });
}

}  // namespace

SingleByteCodePage GuessCodePage(std::string_view bytes, std::optional<SingleByteCodePage> declared) {
    using enum SingleByteCodePage;
    if (HasAnyOf(bytes, {0x8D, 0x9D})) return Windows1250;
    const bool controlRange = HasControlRange(bytes);
    if (declared == Windows1252) return HasAnyOf(bytes, {0xEC, 0xF8, 0xCC, 0xD8}) ? Windows1250 : Windows1252;
    if (declared == Iso8859_2) return controlRange ? Windows1250 : Iso8859_2;
    if (declared == Windows1250 || controlRange) return Windows1250;
    return HasAnyOf(bytes, {0xB9, 0xBE, 0xBB, 0xA9, 0xAE, 0xAB}) ? Iso8859_2 : Windows1250;
}
