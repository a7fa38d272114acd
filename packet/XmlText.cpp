#include "packet/XmlText.h"

#include "text/Cp1250.h"

#include <algorithm>
#include <array>
#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace {

// 0: copied as it is; 1: escaped or dropped; 2: a high byte.
constexpr std::array<unsigned char, 256> MakeByteClasses() {
    std::array<unsigned char, 256> classes{};
    for (const unsigned char c : {'<', '>', '&', '\'', '"', '\r', '\n', '\t', '\\', '\0'}) classes[c] = 1;
    for (int b = 128; b < 256; ++b) classes[b] = 2;
    return classes;
}
constexpr auto kByteClass = MakeByteClasses();

// The helpers below write at `to` and return the end of what they wrote: the
// callers make room for the longest form first (kMostPerByte, kMostPerUnit).

// "&#" decimal ";" with at least three digits: at most eight bytes below 65 536.
char* WriteReference(char* to, unsigned value) {
    if (value < 1000) {  // every byte of a code page: three digits exactly
        const char reference[6] = {'&', '#', static_cast<char>('0' + value / 100),
                                   static_cast<char>('0' + value / 10 % 10), static_cast<char>('0' + value % 10), ';'};
        std::memcpy(to, reference, sizeof reference);
        return to + sizeof reference;
    }
    char digits[12];
    int n = 0;
    do {
        digits[n++] = static_cast<char>('0' + value % 10);
        value /= 10;
    } while (value);
    *to++ = '&';
    *to++ = '#';
    while (n) *to++ = digits[--n];
    *to++ = ';';
    return to;
}

char* WriteText(char* to, std::string_view text) {
    std::memcpy(to, text.data(), text.size());
    return to + text.size();
}

char* WriteEscapedAscii(char* to, unsigned char c) {
    switch (c) {
        case '<': return WriteText(to, "&lt;");
        case '>': return WriteText(to, "&gt;");
        case '&': return WriteText(to, "&amp;");
        case '\'': return WriteText(to, "&apos;");
        case '"': return WriteText(to, "&quot;");
        case '\r': return WriteText(to, "&#013;");
        case '\n': return WriteText(to, "&#010;");
        case '\t': return WriteText(to, "&#009;");
        case '\\': return WriteText(to, "&#092;");
        case '\0': return to;
        default: *to++ = static_cast<char>(c); return to;
    }
}

char* WriteUtf8(char* to, unsigned codePoint) {
    if (codePoint < 0x80) {
        *to++ = static_cast<char>(codePoint);
    } else if (codePoint < 0x800) {
        *to++ = static_cast<char>(0xC0 | (codePoint >> 6));
        *to++ = static_cast<char>(0x80 | (codePoint & 0x3F));
    } else {
        *to++ = static_cast<char>(0xE0 | (codePoint >> 12));
        *to++ = static_cast<char>(0x80 | ((codePoint >> 6) & 0x3F));
        *to++ = static_cast<char>(0x80 | (codePoint & 0x3F));
    }
    return to;
}

// The longest form of one byte ("&quot;", "&#232;") and of one 16-bit unit ("&#65535;").
constexpr std::size_t kMostPerByte = 6;
constexpr std::size_t kMostPerUnit = 8;

// A byte as AppendEscaped writes it: its form (at most kMostPerByte bytes)
// and, in the last byte, the form's length, so that every byte is written
// with one store and no branch.
using EscapedByte = std::array<char, 8>;
static_assert(kMostPerByte < sizeof(EscapedByte));
using EscapeTable = std::array<EscapedByte, 256>;

EscapeTable MakeEscapeTable(HighBytes high) {
    EscapeTable table{};
    for (unsigned c = 0; c < 256; ++c) {
        char* const form = table[c].data();
        char* end = form;
        const unsigned char cls = kByteClass[c];
        if (cls == 0 || (cls == 2 && high == HighBytes::Raw)) *end++ = static_cast<char>(c);
        else if (c < 128) end = WriteEscapedAscii(end, static_cast<unsigned char>(c));
        else if (high == HighBytes::Utf8) end = WriteUtf8(end, c);
        else end = WriteReference(end, c);
        table[c].back() = static_cast<char>(end - form);
    }
    return table;
}

const EscapeTable& EscapesFor(HighBytes high) {
    static const EscapeTable references = MakeEscapeTable(HighBytes::Reference);
    static const EscapeTable utf8 = MakeEscapeTable(HighBytes::Utf8);
    static const EscapeTable raw = MakeEscapeTable(HighBytes::Raw);
    switch (high) {
        case HighBytes::Utf8: return utf8;
        case HighBytes::Raw: return raw;
        default: return references;
    }
}

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

int DigitValue(char c, bool hex) {
    if (IsDigit(c)) return c - '0';
    if (!hex) return -1;
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

// Reads the item of attribute text at raw[i] and reports what it stands for:
// onByte for a byte taken literally (and the single byte of an entity),
// onCodePoint for a numeric reference or a UTF-8 sequence. Returns the index
// after the item. Every read is bounded by the text's own length.
template <bool kUtf8, class OnByte, class OnCodePoint>
std::size_t DecodeItem(std::string_view raw, std::size_t i, OnByte onByte, OnCodePoint onCodePoint) {
    const std::size_t n = raw.size();
    const unsigned char c = static_cast<unsigned char>(raw[i]);
    if (c == '&') {
        const char next = i + 1 < n ? raw[i + 1] : '\0';
        if (next == '#') {
            // The writer's own form, "&#", three digits and ";", is read at once.
            if (n - i >= 6 && IsDigit(raw[i + 2]) && IsDigit(raw[i + 3]) && IsDigit(raw[i + 4]) && raw[i + 5] == ';') {
                onCodePoint(
                    static_cast<unsigned>((raw[i + 2] - '0') * 100 + (raw[i + 3] - '0') * 10 + (raw[i + 4] - '0')));
                return i + 6;
            }
            std::size_t j = i + 2;
            const bool hex = j < n && raw[j] == 'x';  // "&#X" is no reference
            if (hex) ++j;
            const std::size_t firstDigit = j;
            unsigned value = 0;
            for (int d; j < n && (d = DigitValue(raw[j], hex)) >= 0; ++j)
                value = value > 0x10FFFF ? value : value * (hex ? 16 : 10) + static_cast<unsigned>(d);
            if (j == firstDigit) {
                onByte('&');
                return i + 1;
            }
            if (j < n && raw[j] == ';') ++j;
            onCodePoint(value);
            return j;
        }
        // Only the letters that tell the entities apart are looked at.
        char byte = '&';
        std::size_t length = 1;
        switch (next) {
            case 'a':
                if (i + 2 < n && raw[i + 2] == 'p') byte = '\'', length = 6;
                else length = 5;
                break;
            case 'g': byte = '>', length = 4; break;
            case 'l': byte = '<', length = 4; break;
            case 'q': byte = '"', length = 6; break;
            default: break;
        }
        onByte(byte);
        return i + std::min(length, n - i);
    }
    if (kUtf8 && c >= 0xC0) {
        const std::size_t length = c >= 0xF0 ? 4 : c >= 0xE0 ? 3 : 2;
        if (length > n - i) {
            // A sequence cut off by the end of the value stands for no character.
            onByte('?');
            return n;
        }
        unsigned value = c & (length == 2 ? 0x1F : length == 3 ? 0x0F : 0x07);
        for (std::size_t k = 1; k < length; ++k) value = (value << 6) | (static_cast<unsigned char>(raw[i + k]) & 0x3F);
        onCodePoint(value);
        return i + length;
    }
    onByte(static_cast<char>(c));
    return i + 1;
}

template <bool kUtf8, class OnByte, class OnCodePoint>
void Decode(std::string_view raw, OnByte onByte, OnCodePoint onCodePoint) {
    for (std::size_t i = 0; i < raw.size();) i = DecodeItem<kUtf8>(raw, i, onByte, onCodePoint);
}

template <class OnByte, class OnCodePoint>
void Decode(std::string_view raw, bool utf8, OnByte onByte, OnCodePoint onCodePoint) {
    if (utf8) Decode<true>(raw, onByte, onCodePoint);
    else Decode<false>(raw, onByte, onCodePoint);
}

// Where the processor allows, the bytes before raw[i] that DecodeItem would copy
// one at a time go sixteen at a time: a block is stored whole at `to` and only
// its bytes before the first "&" (or UTF-8 lead byte) count. `to` never runs
// ahead of i, as decoding never lengthens a text, so the whole block fits in
// the room made for the text. Returns the index of the first byte left.
template <bool kUtf8>
std::size_t CopyPlainRun(std::string_view raw, std::size_t i, char*& to) {
#if defined(__SSE2__)
    const __m128i ampersand = _mm_set1_epi8('&');
    const __m128i leadBits = _mm_set1_epi8(static_cast<char>(0xC0));
    while (raw.size() - i >= 16) {
        const __m128i bytes = _mm_loadu_si128(reinterpret_cast<const __m128i*>(raw.data() + i));
        __m128i marked = _mm_cmpeq_epi8(bytes, ampersand);
        if (kUtf8) marked = _mm_or_si128(marked, _mm_cmpeq_epi8(_mm_and_si128(bytes, leadBits), leadBits));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(to), bytes);
        const unsigned marks = static_cast<unsigned>(_mm_movemask_epi8(marked));
        const std::size_t plain = marks ? static_cast<std::size_t>(__builtin_ctz(marks)) : 16;
        to += plain;
        i += plain;
        if (marks) break;
    }
#else
    (void)raw;
    (void)to;
#endif
    return i;
}

template <bool kUtf8>
char* DecodeNarrow(std::string_view raw, char* to) {
    const auto onByte = [&to](char byte) { *to++ = byte; };
    const auto onCodePoint = [&to](unsigned codePoint) {
        if (codePoint < 256) {
            *to++ = static_cast<char>(codePoint);
            return;
        }
        const auto byte = cp1250::FromUnicode(static_cast<char32_t>(codePoint));
        *to++ = byte ? static_cast<char>(*byte) : '?';
    };
    std::size_t i = CopyPlainRun<kUtf8>(raw, 0, to);
    while (i < raw.size()) i = CopyPlainRun<kUtf8>(raw, DecodeItem<kUtf8>(raw, i, onByte, onCodePoint), to);
    return to;
}

void AppendUnit(std::string& out, unsigned unit) {
    out.push_back(static_cast<char>(unit & 0xFF));
    out.push_back(static_cast<char>((unit >> 8) & 0xFF));
}

}  // namespace

void AppendEscaped(PacketBuffer& out, std::string_view bytes, HighBytes high) {
    const EscapeTable& escapes = EscapesFor(high);
    const std::size_t start = out.size();
    // Each byte is stored as eight bytes of which its form keeps the first few:
    // the last byte's store reaches past its own room by the difference.
    char* const room = out.AppendRoom(kMostPerByte * bytes.size() + (sizeof(EscapedByte) - kMostPerByte));
    char* to = room;
    for (const char byte : bytes) {
        const EscapedByte& escaped = escapes[static_cast<unsigned char>(byte)];
        std::memcpy(to, escaped.data(), escaped.size());
        to += escaped.back();
    }
    out.TruncateTo(start + static_cast<std::size_t>(to - room));
}

void AppendEscapedWide(PacketBuffer& out, const char* data, std::size_t units, bool utf8) {
    const std::size_t start = out.size();
    char* const room = out.AppendRoom(kMostPerUnit * units);
    char* to = room;
    for (std::size_t i = 0; i < units; ++i) {
        const unsigned unit = static_cast<unsigned char>(data[2 * i]) |
                              static_cast<unsigned>(static_cast<unsigned char>(data[2 * i + 1])) << 8;
        if (unit < 128) to = WriteEscapedAscii(to, static_cast<unsigned char>(unit));
        else if (utf8) to = WriteUtf8(to, unit);
        else to = WriteReference(to, unit);
    }
    out.TruncateTo(start + static_cast<std::size_t>(to - room));
}

bool IsPlainText(std::string_view raw, bool utf8) {
    // A text that needs decoding mostly shows it within its first letters.
    return std::none_of(raw.begin(), raw.end(),
                        [utf8](char c) { return c == '&' || (utf8 && static_cast<unsigned char>(c) >= 0xC0); });
}

void AppendDecoded(std::string& out, std::string_view raw, bool utf8) {
    // Decoding never lengthens a text (each reference, entity or sequence gives
    // one byte), so the room is made once and what is left over cut off after.
    const std::size_t start = out.size();
    out.resize(start + raw.size());
    char* const begin = out.data() + start;
    char* const end = utf8 ? DecodeNarrow<true>(raw, begin) : DecodeNarrow<false>(raw, begin);
    out.resize(start + static_cast<std::size_t>(end - begin));
}

void AppendDecodedWide(std::string& out, std::string_view raw, bool utf8) {
    Decode(
        raw, utf8,
        [&](char byte) { AppendUnit(out, cp1250::ToUnicode(static_cast<unsigned char>(byte))); },
        [&](unsigned codePoint) {
            if (codePoint < 0x10000) {
                AppendUnit(out, codePoint);
            } else if (codePoint <= 0x10FFFF) {
                AppendUnit(out, 0xD800 + ((codePoint - 0x10000) >> 10));
                AppendUnit(out, 0xDC00 + ((codePoint - 0x10000) & 0x3FF));
            } else {
                AppendUnit(out, '?');
            }
        });
}
