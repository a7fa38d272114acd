#include "import/LanguageCodes.h"

#include <array>

#include "text/Cp1250.h"

namespace {

struct Language {
    std::string_view Code;
    std::array<std::string_view, 9> Names;  // diacritics removed, small letters
};

constexpr Language kLanguages[] = {
    {"CZ", {"czech", "cesky", "cestina", "cesky dabing", "cz", "cs", "cze", "ces"}},
    {"EN", {"english", "anglicky", "anglictina", "en", "eng"}},
    {"SK", {"slovak", "slovensky", "slovencina", "sk", "slk", "slo"}},
    {"DE", {"german", "deutsch", "nemecky", "nemcina", "de", "ger", "deu"}},
    {"FR", {"french", "francais", "francouzsky", "francouzstina", "fr", "fre", "fra"}},
    {"IT", {"italian", "italiano", "italsky", "italstina", "it", "ita"}},
    {"ES", {"spanish", "espanol", "spanelsky", "spanelstina", "es", "spa"}},
    {"PL", {"polish", "polski", "polsky", "polstina", "pl", "pol"}},
    {"RU", {"russian", "rusky", "rustina", "ru", "rus"}},
    {"HU", {"hungarian", "magyar", "madarsky", "madarstina", "hu", "hun"}},
    {"JA", {"japanese", "japonsky", "japonstina", "ja", "jpn"}},
};

// The name in small letters without diacritics, as Windows-1250 bytes.
std::string Folded(std::string_view utf8) {
    static const std::string accented = cp1250::FromUtf8("ÁáČčĎďÉéĚěÍíŇňÓóŘřŠšŤťÚúŮůÝýŽžÄäÖöÜüÇçĽľĹĺŔŕ");
    static const std::string plain = "AaCcDdEeEeIiNnOoRrSsTtUuUuYyZzAaOoUuCcLlLlRr";
    std::string folded = cp1250::FromUtf8(utf8);
    for (char& c : folded) {
        if (const auto at = accented.find(c); at != std::string::npos) c = plain[at];
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    }
    return folded;
}

std::string_view Trimmed(std::string_view text) {
    const auto first = text.find_first_not_of(" \t\r\n");
    if (first == std::string_view::npos) return {};
    return text.substr(first, text.find_last_not_of(" \t\r\n") - first + 1);
}

}  // namespace

std::optional<std::string> LanguageCode(std::string_view name) {
    const std::string folded = Folded(Trimmed(name));
    for (const Language& language : kLanguages) {
        for (std::string_view alias : language.Names) {
            if (!alias.empty() && alias == folded) return std::string(language.Code);
        }
    }
    return std::nullopt;
}

std::vector<std::string> SplitNameList(std::string_view list) {
    std::vector<std::string> names;
    while (!list.empty()) {
        const std::size_t end = list.find_first_of(",;/|\r\n");
        const std::string_view name = Trimmed(list.substr(0, end));
        if (!name.empty()) names.emplace_back(name);
        if (end == std::string_view::npos) break;
        list.remove_prefix(end + 1);
    }
    return names;
}
