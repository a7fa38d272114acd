#include "table/Collation.h"

#include <array>
#include <cstdlib>
#include <mutex>
#include <stdexcept>
#include <string>
#include <unicode/ucol.h>
#include <unicode/uloc.h>

#include "text/Cp1250.h"

namespace {

std::mutex overrideMutex;
std::optional<std::string> overrideLocale;

// Windows-1250 bytes widen to UTF-16 one unit per byte.
const std::array<UChar, 256>& WideningTable() {
    static const std::array<UChar, 256> table = [] {
        std::array<UChar, 256> t{};
        for (int b = 0; b < 256; ++b) t[b] = static_cast<UChar>(cp1250::ToUnicode(static_cast<unsigned char>(b)));
        return t;
    }();
    return table;
}

// A POSIX locale name such as "cs_CZ.UTF-8@euro" reduced to what the collator needs.
std::string CollatorLocaleFromPosix(std::string name) {
    const auto cut = name.find_first_of(".@");
    if (cut != std::string::npos) name.erase(cut);
    if (name.empty() || name == "C" || name == "POSIX") return "root";
    return name;
}

std::string LocaleNameForId(std::uint32_t localeId) {
    if (localeId == 0) return Collation::UserDefaultLocale();
    char buffer[ULOC_FULLNAME_CAPACITY] = {};
    UErrorCode status = U_ZERO_ERROR;
    const int32_t length = uloc_getLocaleForLCID(localeId, buffer, sizeof buffer - 1, &status);
    if (U_FAILURE(status) || length <= 0) return Collation::UserDefaultLocale();
    return std::string(buffer, static_cast<std::size_t>(length));
}

}  // namespace

struct Collation::Collator {
    UCollator* handle = nullptr;
    ~Collator() {
        if (handle) ucol_close(handle);
    }
};

Collation::Collation(std::uint32_t localeId, bool caseInsensitive)
    : localeName_(LocaleNameForId(localeId)), collator_(std::make_unique<Collator>()) {
    UErrorCode status = U_ZERO_ERROR;
    collator_->handle = ucol_open(localeName_.c_str(), &status);
    if (U_FAILURE(status)) {
        status = U_ZERO_ERROR;
        localeName_ = "root";
        collator_->handle = ucol_open("root", &status);
    }
    if (U_FAILURE(status)) throw std::runtime_error("no collator available");
    // Secondary strength drops case differences and keeps diacritics.
    ucol_setStrength(collator_->handle, caseInsensitive ? UCOL_SECONDARY : UCOL_TERTIARY);
}

Collation::~Collation() = default;

int Collation::Compare(std::string_view a, std::string_view b) const {
    const auto& widen = WideningTable();
    constexpr std::size_t kInline = 256;
    UChar inlineA[kInline];
    UChar inlineB[kInline];
    std::u16string longA, longB;
    auto toWide = [&](std::string_view text, UChar* inlineBuffer, std::u16string& longBuffer) -> const UChar* {
        UChar* out = inlineBuffer;
        if (text.size() > kInline) {
            longBuffer.resize(text.size());
            out = reinterpret_cast<UChar*>(longBuffer.data());
        }
        for (std::size_t i = 0; i < text.size(); ++i) out[i] = widen[static_cast<unsigned char>(text[i])];
        return out;
    };
    const UChar* wideA = toWide(a, inlineA, longA);
    const UChar* wideB = toWide(b, inlineB, longB);
    switch (ucol_strcoll(collator_->handle, wideA, static_cast<int32_t>(a.size()), wideB,
                         static_cast<int32_t>(b.size()))) {
        case UCOL_LESS: return -1;
        case UCOL_GREATER: return 1;
        default: return 0;
    }
}

bool Collation::IsInstalledLocale(std::uint32_t localeId) {
    if (localeId == 0 || localeId > 0xFFFFFFu) return false;
    char buffer[ULOC_FULLNAME_CAPACITY] = {};
    UErrorCode status = U_ZERO_ERROR;
    const int32_t length = uloc_getLocaleForLCID(localeId, buffer, sizeof buffer - 1, &status);
    // An identifier that maps to a locale only by its language part names none.
    return U_SUCCESS(status) && length > 0 && uloc_getLCID(buffer) == localeId;
}

std::string Collation::UserDefaultLocale() {
    {
        std::lock_guard lock(overrideMutex);
        if (overrideLocale) return CollatorLocaleFromPosix(*overrideLocale);
    }
    for (const char* variable : {"LC_ALL", "LC_COLLATE", "LANG"}) {
        const char* value = std::getenv(variable);
        if (value && *value) return CollatorLocaleFromPosix(value);
    }
    return "root";
}

void Collation::OverrideUserDefaultLocale(std::optional<std::string> localeName) {
    std::lock_guard lock(overrideMutex);
    overrideLocale = std::move(localeName);
}
