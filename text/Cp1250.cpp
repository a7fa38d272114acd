#include "text/Cp1250.h"

#include <algorithm>
#include <array>
#ifdef __SSE2__
#include <emmintrin.h>
#endif

#include "text/IcuLibrary.h"

namespace cp1250 {
namespace {

// Code points of the bytes 0x80 to 0xFF.
constexpr std::array<char16_t, 128> kHighHalf = {
0x20AC, 0x0081, 0x201A, 0x0083, 0x201E, 0x2026, 0x2020, 0x2021,
0x0088, 0x2030, 0x0160, 0x2039, 0x015A, 0x0164, 0x017D, 0x0179,
0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
0x0098, 0x2122, 0x0161, 0x203A, 0x015B, 0x0165, 0x017E, 0x017A,
0x00A0, 0x02C7, 0x02D8, 0x0141, 0x00A4, 0x0104, 0x00A6, 0x00A7,
0x00A8, 0x00A9, 0x015E, 0x00AB, 0x00AC, 0x00AD, 0x00AE, 0x017B,
0x00B0, 0x00B1, 0x02DB, 0x0142, 0x00B4, 0x00B5, 0x00B6, 0x00B7,
0x00B8, 0x0105, 0x015F, 0x00BB, 0x013D, 0x02DD, 0x013E, 0x017C,
0x0154, 0x00C1, 0x00C2, 0x0102, 0x00C4, 0x0139, 0x0106, 0x00C7,
0x010C, 0x00C9, 0x0118, 0x00CB, 0x011A, 0x00CD, 0x00CE, 0x010E,
0x0110, 0x0143, 0x0147, 0x00D3, 0x00D4, 0x0150, 0x00D6, 0x00D7,
0x0158, 0x016E, 0x00DA, 0x0170, 0x00DC, 0x00DD, 0x0162, 0x00DF,
0x0155, 0x00E1, 0x00E2, 0x0103, 0x00E4, 0x013A, 0x0107, 0x00E7,
0x010D, 0x00E9, 0x0119, 0x00EB, 0x011B, 0x00ED, 0x00EE, 0x010F,
0x0111, 0x0144, 0x0148, 0x00F3, 0x00F4, 0x0151, 0x00F6, 0x00F7,
0x0159, 0x016F, 0x00FA, 0x0171, 0x00FC, 0x00FD, 0x0163, 0x02D9
};

// Reverse lookup for the high half, built once.
struct ReverseTable {
    std::array<std::pair<char16_t, unsigned char>, 128> entries{};
    ReverseTable() {
        for (int i = 0; i < 128; ++i) entries[i] = {kHighHalf[i], static_cast<unsigned char>(0x80 + i)};
    }
    std::optional<unsigned char> find(char32_t cp) const {
        for (const auto& [code, byte] : entries)
            if (code == cp) return byte;
        return std::nullopt;
    }
};

const ReverseTable& reverse() {
    static const ReverseTable table;
    return table;
}

// Upper-case map of all 256 bytes, built once from ICU's simple case mapping.
struct UpperTable {
    std::array<unsigned char, 256> map{};
    UpperTable() {
        for (int b = 0; b < 256; ++b) {
            const auto upper = FromUnicode(static_cast<char32_t>(Icu().u_toupper(static_cast<UChar32>(ToUnicode(static_cast<unsigned char>(b))))));
            map[b] = upper ? *upper : static_cast<unsigned char>(b);
        }
    }
};

const UpperTable& upperTable() {
    static const UpperTable table;
    return table;
}

void appendUtf8(std::string& out, char32_t cp) {
    if (cp < 0x80) {
        out += static_cast<char>(cp);
    } else if (cp < 0x800) {
        out += static_cast<char>(0xC0 | (cp >> 6));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else {
        out += static_cast<char>(0xE0 | (cp >> 12));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    }
}

// Decodes one UTF-8 sequence at `pos`; returns nothing for a malformed one and
// always advances `pos` by at least one byte.
std::optional<char32_t> nextCodePoint(std::string_view s, size_t& pos) {
    const auto lead = static_cast<unsigned char>(s[pos++]);
    if (lead < 0x80) return lead;
    int extra;
    char32_t cp;
    if ((lead & 0xE0) == 0xC0) { extra = 1; cp = lead & 0x1F; }
    else if ((lead & 0xF0) == 0xE0) { extra = 2; cp = lead & 0x0F; }
    else if ((lead & 0xF8) == 0xF0) { extra = 3; cp = lead & 0x07; }
    else return std::nullopt;
    for (int i = 0; i < extra; ++i) {
        if (pos >= s.size() || (static_cast<unsigned char>(s[pos]) & 0xC0) != 0x80) return std::nullopt;
        cp = (cp << 6) | (static_cast<unsigned char>(s[pos++]) & 0x3F);
    }
    static constexpr char32_t kMinimum[] = {0, 0x80, 0x800, 0x10000};
    if (cp < kMinimum[extra] || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) return std::nullopt;
    return cp;
}

}  // namespace

char32_t ToUnicode(unsigned char byte) {
    return byte < 0x80 ? byte : kHighHalf[byte - 0x80];
}

// A byte below 0x80 is its own unit, so sixteen bytes at a time are only
// zero-extended and the few others are then looked up; a text of sixteen bytes
// or more ends with a block that overlaps the one before it, which writes the
// same units again.
void Widen(std::string_view text, char16_t* out) {
#ifdef __SSE2__
    if (text.size() >= 16) {
        const __m128i zero = _mm_setzero_si128();
        const std::size_t last = text.size() - 16;
        for (std::size_t block = 0;; block = std::min(block + 16, last)) {
            const __m128i bytes = _mm_loadu_si128(reinterpret_cast<const __m128i*>(text.data() + block));
            _mm_storeu_si128(reinterpret_cast<__m128i*>(out + block), _mm_unpacklo_epi8(bytes, zero));
            _mm_storeu_si128(reinterpret_cast<__m128i*>(out + block + 8), _mm_unpackhi_epi8(bytes, zero));
            for (auto high = static_cast<unsigned>(_mm_movemask_epi8(bytes)); high != 0; high &= high - 1) {
                const std::size_t at = block + static_cast<std::size_t>(__builtin_ctz(high));
                out[at] = kHighHalf[static_cast<unsigned char>(text[at]) - 0x80];
            }
            if (block == last) return;
        }
    }
#endif
    for (std::size_t i = 0; i < text.size(); ++i) out[i] = static_cast<char16_t>(ToUnicode(static_cast<unsigned char>(text[i])));
}

std::optional<unsigned char> FromUnicode(char32_t codePoint) {
    if (codePoint < 0x80) return static_cast<unsigned char>(codePoint);
    return reverse().find(codePoint);
}

std::string ToUtf8(std::string_view bytes) {
    std::string out;
    out.reserve(bytes.size() * 2);
    for (char c : bytes) appendUtf8(out, ToUnicode(static_cast<unsigned char>(c)));
    return out;
}

std::string FromUtf8(std::string_view utf8) {
    std::string out;
    out.reserve(utf8.size());
    for (size_t pos = 0; pos < utf8.size();) {
        const auto cp = nextCodePoint(utf8, pos);
        const auto byte = cp ? FromUnicode(*cp) : std::nullopt;
        out += byte ? static_cast<char>(*byte) : '?';
    }
    return out;
}

bool IsValidUtf8(std::string_view bytes) {
    for (size_t pos = 0; pos < bytes.size();) {
        if (!nextCodePoint(bytes, pos)) return false;
    }
    return true;
}

bool LosesCharacters(std::string_view utf8) {
    for (size_t pos = 0; pos < utf8.size();) {
        const auto cp = nextCodePoint(utf8, pos);
        if (!cp || !FromUnicode(*cp)) return true;
    }
    return false;
}

unsigned char ToUpper(unsigned char byte) {
    return upperTable().map[byte];
}

std::string ToUpper(std::string_view bytes) {
    std::string out(bytes);
    for (char& c : out) c = static_cast<char>(ToUpper(static_cast<unsigned char>(c)));
    return out;
}

}  // namespace cp1250
