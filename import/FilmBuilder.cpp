#include "import/FilmBuilder.h"

#include <algorithm>
#include <charconv>

#include "import/LanguageCodes.h"
#include "layout/CatalogLayout.h"
#include "text/Cp1250.h"

namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

// Characters, not bytes: a UTF-8 continuation byte does not start one.
std::size_t CharacterCount(std::string_view utf8) {
    return static_cast<std::size_t>(
        std::count_if(utf8.begin(), utf8.end(), [](char c) { return (static_cast<unsigned char>(c) & 0xC0) != 0x80; }));
}

std::string FirstCharacters(std::string_view utf8, std::size_t count) {
    std::size_t end = 0, seen = 0;
    while (end < utf8.size()) {
        if ((static_cast<unsigned char>(utf8[end]) & 0xC0) != 0x80 && seen++ == count) break;
        ++end;
    }
    std::string cut(utf8.substr(0, end));
    while (!cut.empty() && cut.back() == ' ') cut.pop_back();
    return cut;
}

// Values that stand for "nothing" in the peers' files.
bool CarriesValue(std::string_view value) {
    const std::string text = CollapsedBlanks(value);
    return !text.empty() && text != "0" && text != "-1" && text != "none" && text != "False" && text != "false";
}

std::string Joined(const std::vector<std::string>& parts, std::string_view separator) {
    std::string text;
    for (const std::string& part : parts) text += (text.empty() ? "" : std::string(separator)) + part;
    return text;
}

}  // namespace

std::string CollapsedBlanks(std::string_view text) {
    std::string collapsed;
    bool blank = false;
    for (char c : text) {
        if (IsBlank(c)) {
            blank = !collapsed.empty();
            continue;
        }
        if (blank) collapsed += ' ';
        blank = false;
        collapsed += c;
    }
    return collapsed;
}

std::string CutWarning(std::string_view filmTitle, std::size_t field, std::size_t length) {
    return "„" + std::string(filmTitle) + "“: " + std::string(kFilmLayout[field].Title) + " (" +
           std::string(kFilmLayout[field].Name) + ") zkráceno z " + std::to_string(length) + " na " +
           std::to_string(kFilmLayout[field].Size) + " znaků";
}

std::optional<std::string> CdNumberOf(std::string_view label) {
    std::string text = CollapsedBlanks(label);
    std::string_view rest = text;
    for (std::string_view prefix : {"disk", "disc", "dvd", "cd", "no.", "#", "č.", "Č."}) {
        if (rest.size() < prefix.size()) continue;
        const bool same = std::equal(prefix.begin(), prefix.end(), rest.begin(), [](char p, char r) {
            return p == (r >= 'A' && r <= 'Z' ? static_cast<char>(r - 'A' + 'a') : r);
        });
        if (!same) continue;
        rest.remove_prefix(prefix.size());
        if (!rest.empty() && (rest.front() == ' ' || rest.front() == '-' || rest.front() == '.')) rest.remove_prefix(1);
        break;
    }
    if (rest.empty() || rest.size() > 5 || !std::all_of(rest.begin(), rest.end(), [](char c) { return c >= '0' && c <= '9'; })) {
        return std::nullopt;
    }
    int number = 0;
    std::from_chars(rest.data(), rest.data() + rest.size(), number);
    return std::to_string(number);
}

void FilmBuilder::Begin(FilePlace place) {
    film_ = ImportedFilm{{}, place};
    for (std::string& field : fields_) field.clear();
    fragments_.clear();
    countedFields_.clear();
}

void FilmBuilder::OriginalTitle(std::string_view value) { fields_[kEnglishTitle] = CollapsedBlanks(value); }

void FilmBuilder::LocalTitle(std::string_view value) { fields_[kCzechTitle] = CollapsedBlanks(value); }

void FilmBuilder::DiscLabel(std::string_view value, std::string_view noteLabel) {
    const std::optional<std::string> number = CdNumberOf(value);
    if (number && fields_[kCdNumber].empty()) {
        fields_[kCdNumber] = *number;
    } else {
        NoteFragment(noteLabel, value);
    }
}

void FilmBuilder::AudioLanguages(const std::vector<std::string>& names) {
    if (names.empty()) return;
    const auto known = std::find_if(names.begin(), names.end(), [](const std::string& name) { return LanguageCode(name); });
    fields_[kLanguage] = known != names.end() ? *LanguageCode(*known) : CollapsedBlanks(names.front());
    if (names.size() > 1) NoteFragment("Znění", Joined(names, ", "));
}

void FilmBuilder::Subtitles(const std::vector<std::string>& names) {
    std::string codes;
    bool allFit = true;
    for (const std::string& name : names) {
        const std::string code = LanguageCode(name).value_or(CollapsedBlanks(name));
        const std::string longer = codes.empty() ? code : codes + "," + code;
        if (CharacterCount(longer) > static_cast<std::size_t>(kFilmLayout[kSubtitles].Size)) {
            allFit = false;
            continue;
        }
        codes = longer;
    }
    fields_[kSubtitles] = codes;
    if (!allFit) NoteFragment("Titulky", Joined(names, ", "));
}

void FilmBuilder::DiscCount(std::string_view value) {
    const std::string text = CollapsedBlanks(value);
    int count = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), count);
    if (error == std::errc() && end == text.data() + text.size() && count > 0) fields_[kDiscCount] = std::to_string(count);
}

void FilmBuilder::Comments(std::string_view value) { fields_[kNote] = CollapsedBlanks(value); }

void FilmBuilder::NoteFragment(std::string_view label, std::string_view value) {
    const std::string text = CollapsedBlanks(value);
    if (!text.empty()) fragments_.push_back(std::string(label) + ": " + text);
}

void FilmBuilder::LeftOut(std::string_view field, std::string_view value) {
    if (!CarriesValue(value)) return;
    if (std::find(countedFields_.begin(), countedFields_.end(), field) != countedFields_.end()) return;
    countedFields_.emplace_back(field);
    films_.CountLeftOut(field);
}

void FilmBuilder::End() {
    if (fields_[kEnglishTitle].empty()) fields_[kEnglishTitle] = fields_[kCzechTitle];
    if (fields_[kCzechTitle].empty()) fields_[kCzechTitle] = fields_[kEnglishTitle];
    if (fields_[kDiscCount].empty()) fields_[kDiscCount] = kFilmLayout[kDiscCount].AddValue;
    if (!fragments_.empty()) fields_[kNote] = Joined(fragments_, "; ").insert(0, fields_[kNote].empty() ? "" : fields_[kNote] + "; ");
    const std::string& named = fields_[fields_[kEnglishTitle].empty() ? kCzechTitle : kEnglishTitle];
    const std::string title = "„" + named + "“: ";
    bool charactersLost = false;
    for (std::size_t f = 0; f < kFilmLayout.size(); ++f) {
        std::string& value = fields_[f];
        if (f == kCdNumber && value.empty()) continue;  // no CD number: left null
        if (!kFilmLayout[f].Number) {
            const std::size_t width = static_cast<std::size_t>(kFilmLayout[f].Size);
            if (const std::size_t length = CharacterCount(value); length > width) {
                value = FirstCharacters(value, width);
                films_.Warnings.push_back({film_.Place, CutWarning(named, f, length)});
            }
        }
        charactersLost = charactersLost || cp1250::LosesCharacters(value);
        film_.Fields[f] = cp1250::FromUtf8(value);
    }
    if (charactersLost) {
        films_.Warnings.push_back({film_.Place, title + "znaky, které Windows-1250 nemá, jsou uloženy jako \"?\""});
    }
    films_.Films.push_back(std::move(film_));
}
