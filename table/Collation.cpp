#include "table/Collation.h"

#include <cstdlib>
#include <mutex>
#include <new>
#include <stdexcept>
#include <string>
#include <utility>

#include "text/Cp1250.h"
#include "text/IcuLibrary.h"

namespace {

std::mutex overrideMutex;
std::optional<std::string> overrideLocale;

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
    const int32_t length = Icu().uloc_getLocaleForLCID(localeId, buffer, sizeof buffer - 1, &status);
    if (U_FAILURE(status) || length <= 0) return Collation::UserDefaultLocale();
    return std::string(buffer, static_cast<std::size_t>(length));
}

}  // namespace

struct Collation::Collator {
    UCollator* handle = nullptr;
    ~Collator() {
        if (handle) Icu().ucol_close(handle);
    }
};

Collation::Collation(std::uint32_t localeId, bool caseInsensitive)
    : localeName_(LocaleNameForId(localeId)), collator_(std::make_unique<Collator>()) {
    UErrorCode status = U_ZERO_ERROR;
    collator_->handle = Icu().ucol_open(localeName_.c_str(), &status);
    if (U_FAILURE(status)) {
        status = U_ZERO_ERROR;
        localeName_ = "root";
        collator_->handle = Icu().ucol_open("root", &status);
    }
    if (U_FAILURE(status)) throw std::runtime_error("no collator available");
    // Secondary strength drops case differences and keeps diacritics.
    Icu().ucol_setStrength(collator_->handle, caseInsensitive ? UCOL_SECONDARY : UCOL_TERTIARY);
}

Collation::Collation(std::string localeName, std::unique_ptr<Collator> collator)
    : localeName_(std::move(localeName)), collator_(std::move(collator)) {}

Collation::~Collation() = default;

std::unique_ptr<Collation> Collation::Clone() const {
    auto collator = std::make_unique<Collator>();
    UErrorCode status = U_ZERO_ERROR;
    collator->handle = Icu().ucol_clone(collator_->handle, &status);
    // Copying an open collator can only run out of memory.
    if (U_FAILURE(status)) throw std::bad_alloc();
    return std::unique_ptr<Collation>(new Collation(localeName_, std::move(collator)));
}

namespace {

int Ordering(UCollationResult result) { return result == UCOL_LESS ? -1 : (result == UCOL_GREATER ? 1 : 0); }

// Windows-1250 text widened into a buffer that lives as long as the call needs it.
class WideText {
public:
    explicit WideText(std::string_view text) : size_(static_cast<int32_t>(text.size())) {
        UChar* out = inline_;
        if (text.size() > kInline) {
            long_.resize(text.size());
            out = long_.data();
        }
        cp1250::Widen(text, out);
        data_ = out;
    }
    const UChar* Data() const { return data_; }
    int32_t Size() const { return size_; }

private:
    static constexpr std::size_t kInline = 256;
    UChar inline_[kInline];
    std::u16string long_;
    const UChar* data_;
    int32_t size_;
};

}  // namespace

int Collation::Compare(std::string_view a, std::string_view b) const {
    if (a == b) return 0;
    // Widened even where the text is plain ASCII: the collator's UTF-16 path
    // is several times quicker than its UTF-8 one.
    const WideText wideA(a);
    const WideText wideB(b);
    return Ordering(Icu().ucol_strcoll(collator_->handle, wideA.Data(), wideA.Size(), wideB.Data(), wideB.Size()));
}

void Collation::AppendSortKey(std::string_view text, memory::Vector<char>& out) const {
    const WideText wide(text);
    const std::size_t start = out.size();
    std::size_t room = 16 + 4 * text.size();
    while (true) {
        out.resize(start + room);
        const int32_t length = Icu().ucol_getSortKey(collator_->handle, wide.Data(), wide.Size(),
                                               reinterpret_cast<uint8_t*>(&out[start]), static_cast<int32_t>(room));
        if (length > 0 && static_cast<std::size_t>(length) <= room) {
            out.resize(start + static_cast<std::size_t>(length));
            return;
        }
        room = length > 0 ? static_cast<std::size_t>(length) : 2 * room;
    }
}

bool Collation::SurelyUnequal(std::string_view a, std::string_view b) {
    std::string lettersA, lettersB;
    for (const auto& [text, letters] : {std::pair{a, &lettersA}, std::pair{b, &lettersB}}) {
        for (const char c : text) {
            if (c < ' ' || c > '~' || (c >= '0' && c <= '9')) return false;
            if ((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z')) letters->push_back(c);
        }
    }
    return lettersA != lettersB;
}

bool Collation::IsInstalledLocale(std::uint32_t localeId) {
    if (localeId == 0 || localeId > 0xFFFFFFu) return false;
    char buffer[ULOC_FULLNAME_CAPACITY] = {};
    UErrorCode status = U_ZERO_ERROR;
    const int32_t length = Icu().uloc_getLocaleForLCID(localeId, buffer, sizeof buffer - 1, &status);
    // An identifier that maps to a locale only by its language part names none.
    return U_SUCCESS(status) && length > 0 && Icu().uloc_getLCID(buffer) == localeId;
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
