#pragma once
// The syntax of an attribute list (name="value" pairs between blanks), in one
// place for the tokenizer and for a reader that walks a list itself. Inline,
// as rows are read an attribute at a time.
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

struct XmlAttribute {
    std::string_view Name;
    std::string_view Value;  // the raw text between the double quotes
    bool Used = false;
    // False when Value holds no "&" and no byte from 128 up: its bytes are then
    // the value itself, in either encoding.
    bool MayNeedDecoding = true;
};

namespace xmlsyntax {

inline bool IsBlank(char c) { return c >= 1 && c <= 32; }

// Names are short: compared in place rather than through a library call.
inline bool SameName(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (a[i] != b[i]) return false;
    return true;
}

// How the writer opens an attribute's value: the name, "=" and the double
// quote. Where that fits in eight bytes it is matched as one word.
class AttributeOpening {
public:
    explicit AttributeOpening(std::string_view name) : text_(std::string(name) + "=\"") {
        if (text_.size() > sizeof word_) return;
        std::memcpy(&word_, text_.data(), text_.size());
        std::memset(&mask_, 0xFF, text_.size());
    }

    // Where the value starts when [p, end) begins with this opening, else nullptr.
    const char* ValueAfter(const char* p, const char* const end) const {
        const auto left = static_cast<std::size_t>(end - p);
        if (mask_ && left >= sizeof word_) {
            std::uint64_t bytes;
            std::memcpy(&bytes, p, sizeof bytes);
            return ((bytes ^ word_) & mask_) == 0 ? p + text_.size() : nullptr;
        }
        return left >= text_.size() && SameName(std::string_view(p, text_.size()), text_) ? p + text_.size() : nullptr;
    }

private:
    std::string text_;
    std::uint64_t word_ = 0, mask_ = 0;
};

// The first double quote in [p, end), or end; `special` is set when a "&" or a
// byte from 128 up comes before it. Where the processor allows, sixteen bytes
// are looked at together: of the marks of a block only those before its first
// quote count.
inline const char* ScanValue(const char* p, const char* const end, bool& special) {
#if defined(__SSE2__)
    const __m128i quote = _mm_set1_epi8('"');
    const __m128i ampersand = _mm_set1_epi8('&');
    while (end - p >= 16) {
        const __m128i bytes = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
        const unsigned quotes = static_cast<unsigned>(_mm_movemask_epi8(_mm_cmpeq_epi8(bytes, quote)));
        // A byte's own top bit marks it as 128 or more.
        const unsigned marks = static_cast<unsigned>(_mm_movemask_epi8(_mm_or_si128(_mm_cmpeq_epi8(bytes, ampersand), bytes)));
        const unsigned before = quotes ? (quotes & (~quotes + 1)) - 1 : 0xFFFFu;
        if (marks & before) special = true;
        if (quotes) return p + __builtin_ctz(quotes);
        p += 16;
    }
#endif
    for (; p < end && *p != '"'; ++p)
        if (*p == '&' || static_cast<unsigned char>(*p) >= 128) special = true;
    return p;
}

// The attribute at p in an attribute list that ends at `end`; p moves past it.
// False when the list ends there or breaks off: what follows is not read.
inline bool NextAttribute(const char*& p, const char* const end, XmlAttribute& attribute) {
    while (p < end && IsBlank(*p)) ++p;
    if (p >= end) return false;
    // Names are short: a plain scan beats a library call for them.
    const char* equals = p;
    while (equals < end && *equals != '=') ++equals;
    if (equals == end) return false;
    const char* nameEnd = equals;
    while (nameEnd > p && IsBlank(nameEnd[-1])) --nameEnd;
    const char* open = equals + 1;
    while (open < end && IsBlank(*open)) ++open;
    if (open >= end || *open != '"') return false;
    bool special = false;
    const char* const close = ScanValue(open + 1, end, special);
    if (close == end) return false;
    attribute = {std::string_view(p, static_cast<std::size_t>(nameEnd - p)),
                 std::string_view(open + 1, static_cast<std::size_t>(close - open - 1)), false, special};
    p = close + 1;
    return true;
}

}  // namespace xmlsyntax
