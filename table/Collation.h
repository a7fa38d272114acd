#pragma once
// Collation: the locale-sensitive comparison of two Windows-1250 texts that string
// index keys and index names use.
//
// A collation is made for a table's locale identifier (a Windows-style numeric
// locale id; 0 means the user's default locale) and is either case-sensitive or
// case-insensitive. Compare gives -1, 0 or 1; callers never see the collator
// behind it. Case-sensitive comparison still orders "a" before "A"; the
// case-insensitive one only keeps apart texts that differ in more than case
// (diacritics still count).
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "memory/LargeBlocks.h"

class Collation {
public:
    Collation(std::uint32_t localeId, bool caseInsensitive);
    ~Collation();
    Collation(const Collation&) = delete;
    Collation& operator=(const Collation&) = delete;

    // An equal collation of its own, for another thread: one collation is used
    // by one thread at a time.
    std::unique_ptr<Collation> Clone() const;

    int Compare(std::string_view a, std::string_view b) const;

    // Appends the text's sort key, a zero-terminated byte string: two texts' keys
    // compare byte by byte exactly as Compare compares the texts.
    void AppendSortKey(std::string_view text, memory::Vector<char>& out) const;

    // The name of the locale this collation follows ("" is the root order).
    const std::string& LocaleName() const { return localeName_; }

    // True when no locale's collation at the strengths used here can find the two
    // texts equal, known without a collator: both are printable ASCII without
    // digits, and their letters, read in order, differ (by case too). Letters
    // differ in the first level or in case in the third, in every locale; the
    // rest may be ignorable. Digits are left to the collator, since a numeric
    // ordering finds "01" and "1" equal.
    static bool SurelyUnequal(std::string_view a, std::string_view b);

    // True when the locale identifier names a locale this system can collate by.
    static bool IsInstalledLocale(std::uint32_t localeId);

    // The user's default locale: the process-wide override when one is set, else
    // the first of LC_ALL, LC_COLLATE and LANG that is set ("C" and "POSIX" give
    // the root order). Tests pin it with OverrideUserDefaultLocale("cs_CZ");
    // nothing resets it but a call with std::nullopt.
    static std::string UserDefaultLocale();
    static void OverrideUserDefaultLocale(std::optional<std::string> localeName);

private:
    struct Collator;
    Collation(std::string localeName, std::unique_ptr<Collator> collator);
    std::string localeName_;
    std::unique_ptr<Collator> collator_;
};
