#include "text/SingleByteCodePages.h"

#include <array>
#include <unicode/utf8.h>

#include "text/Cp1250.h"
#include "text/IcuLibrary.h"

namespace {

// The code point of every byte, asked of ICU's converter once per code page.
struct ByteTable {
    std::array<char32_t, 256> codePoint{};

    explicit ByteTable(const char* converterName) {
        UErrorCode status = U_ZERO_ERROR;
        UConverter* converter = Icu().ucnv_open(converterName, &status);
        for (int b = 0; b < 256; ++b) {
            codePoint[b] = 0xFFFD;
            if (U_FAILURE(status)) continue;
            const char byte = static_cast<char>(b);
            UChar unit[2];
            UErrorCode one = U_ZERO_ERROR;
            Icu().ucnv_reset(converter);
            Icu().ucnv_setToUCallBack(converter, Icu().UCNV_TO_U_CALLBACK_STOP, nullptr, nullptr, nullptr, &one);
            const int32_t length = Icu().ucnv_toUChars(converter, unit, 2, &byte, 1, &one);
            if (U_SUCCESS(one) && length == 1) codePoint[b] = unit[0];
        }
        if (converter) Icu().ucnv_close(converter);
    }
};

const ByteTable& TableOf(SingleByteCodePage codePage) {
    static const ByteTable windows1252("windows-1252");
    static const ByteTable iso8859_2("ISO-8859-2");
    return codePage == SingleByteCodePage::Windows1252 ? windows1252 : iso8859_2;
}

}  // namespace

std::string SingleByteToUtf8(std::string_view bytes, SingleByteCodePage codePage) {
    if (codePage == SingleByteCodePage::Windows1250) return cp1250::ToUtf8(bytes);
    const ByteTable& table = TableOf(codePage);
    std::string utf8;
    utf8.reserve(bytes.size() + bytes.size() / 4);
    for (const char c : bytes) {
        const char32_t codePoint = table.codePoint[static_cast<unsigned char>(c)];
        char buffer[U8_MAX_LENGTH];
        int32_t length = 0;
        U8_APPEND_UNSAFE(buffer, length, static_cast<UChar32>(codePoint));
        utf8.append(buffer, static_cast<std::size_t>(length));
    }
    return utf8;
}
