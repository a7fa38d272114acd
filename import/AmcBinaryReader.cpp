#include "import/AmcBinaryReader.h"

#include <array>
#include <cstdint>
#include <optional>

#include "import/AmcMovie.h"
#include "import/SourceEncoding.h"

namespace {

constexpr std::size_t kHeaderSize = 65;
constexpr std::int32_t kTextCap = 1 << 20;
constexpr std::int32_t kPictureCap = 16 << 20;

// The versions read, as major * 10 + minor, with the exact header of each.
constexpr std::array<std::pair<int, std::string_view>, 6> kHeaders{{
    {31, " AMC_3.1 Ant Movie Catalog 3.1.x   www.buypin.com  www.ant.be.tf "},
    {33, " AMC_3.3 Ant Movie Catalog 3.3.x   www.buypin.com  www.ant.be.tf "},
    {35, " AMC_3.5 Ant Movie Catalog 3.5.x   www.buypin.com    www.antp.be "},
    {40, " AMC_4.0 Ant Movie Catalog 4.0.x   antp/soulsnake    www.antp.be "},
    {41, " AMC_4.1 Ant Movie Catalog 4.1.x   antp/soulsnake    www.antp.be "},
    {42, " AMC_4.2 Ant Movie Catalog 4.2.x   antp/soulsnake    www.antp.be "},
}};

// A value read from a film: a text's raw bytes, or a number already as text.
struct RawValue {
    std::string_view Name;
    std::string_view Bytes;
    std::optional<std::int32_t> Number;
};

struct RawMovie {
    std::size_t Offset;
    std::vector<RawValue> Values;
};

class AmcReader {
public:
    AmcReader(std::string_view bytes, int version) : bytes_(bytes), version_(version), pos_(kHeaderSize) {}

    std::vector<RawMovie> Movies() {
        SkipOwner();
        if (version_ >= 40) ReadCustomFieldNames();
        std::vector<RawMovie> movies;
        while (pos_ < bytes_.size()) movies.push_back(Movie());
        return movies;
    }

private:
    [[noreturn]] void Fail(std::size_t at, const std::string& reason) const {
        throw ImportError({FilePlace::Unit::Byte, at}, reason);
    }

    std::int32_t Int() {
        if (bytes_.size() - pos_ < 4) Fail(pos_, "soubor končí uprostřed čísla");
        std::uint32_t value = 0;
        for (int i = 3; i >= 0; --i) value = value << 8 | static_cast<unsigned char>(bytes_[pos_ + static_cast<std::size_t>(i)]);
        pos_ += 4;
        return static_cast<std::int32_t>(value);
    }

    bool Bool() {
        if (pos_ >= bytes_.size()) Fail(pos_, "soubor končí uprostřed záznamu");
        return bytes_[pos_++] != 0;
    }

    std::string_view Bytes(std::int32_t cap, const char* what) {
        const std::size_t at = pos_;
        const std::int32_t length = Int();
        if (length < 0 || length > cap) Fail(at, std::string("nepřípustná délka ") + what + ": " + std::to_string(length));
        if (static_cast<std::size_t>(length) > bytes_.size() - pos_) {
            Fail(at, std::string("délka ") + what + " (" + std::to_string(length) + ") přesahuje konec souboru");
        }
        const std::string_view taken = bytes_.substr(pos_, static_cast<std::size_t>(length));
        pos_ += static_cast<std::size_t>(length);
        return taken;
    }

    std::string_view Text() { return Bytes(kTextCap, "textu"); }

    // A picture: its name (or external path) and the image's bytes; true when it holds one.
    bool Picture() {
        const bool named = !Text().empty();
        return !Bytes(kPictureCap, "obrázku").empty() || named;
    }

    void SkipOwner() {
        for (int i = version_ <= 33 ? 5 : 4; i > 0; --i) Text();
    }

    void ReadCustomFieldNames() {
        Text();  // column settings
        Text();  // window properties
        const std::size_t at = pos_;
        const std::int32_t count = Int();
        if (count < 0 || count > 10000) Fail(at, "nepřípustný počet vlastních polí: " + std::to_string(count));
        for (std::int32_t i = 0; i < count; ++i) {
            Text();  // tag
            customNames_.push_back(std::string(Text()));
            if (version_ >= 41) Text();  // extension
            const std::string_view type = Text();
            Text();  // default value
            if (version_ >= 41) Text();  // media info
            Bool();  // multiple values
            if (version_ >= 41) {
                Int();  // the separator, one character in an int's width
                Bool();
                Bool();
            }
            Bool();  // excluded in scripts
            Text();  // window properties
            if (type == "ftList") {
                const std::size_t listAt = pos_;
                const std::int32_t items = Int();
                if (items < 0 || items > kTextCap) Fail(listAt, "nepřípustný počet položek seznamu: " + std::to_string(items));
                for (std::int32_t item = 0; item < items; ++item) Text();
                if (version_ >= 41) {
                    for (int flag = 0; flag < 4; ++flag) Bool();
                }
            }
        }
    }

    void Number(RawMovie& movie, std::string_view name) {
        const std::int32_t value = Int();
        if (value != -1) movie.Values.push_back({name, {}, value});
    }

    // Only texts that hold something are kept: most of a film's are empty, and
    // a film's values are held until the whole file is read.
    void KeepText(RawMovie& movie, std::string_view name) {
        if (const std::string_view text = Text(); !text.empty()) movie.Values.push_back({name, text, {}});
    }

    void Texts(RawMovie& movie, std::initializer_list<std::string_view> names) {
        for (std::string_view name : names) KeepText(movie, name);
    }

    RawMovie Movie() {
        RawMovie movie{pos_, {}};
        Int();  // Number: the catalogue's own
        Int();  // date added
        if (version_ >= 42) {
            Number(movie, "DateWatched");
            Number(movie, "UserRating");
        }
        for (std::string_view name : {"Rating", "Year", "Length", "VideoBitrate", "AudioBitrate", "Disks"}) {
            Number(movie, name);
        }
        if (version_ >= 41) Int();  // colour tag
        Bool();                     // checked
        Texts(movie, {"MediaLabel"});
        if (version_ >= 33) Texts(movie, {"MediaType", "Source"});
        Texts(movie, {"Borrower", "OriginalTitle", "TranslatedTitle", "Director", "Producer"});
        if (version_ >= 42) Texts(movie, {"Writer", "Composer"});
        Texts(movie, {"Country", "Category"});
        if (version_ >= 42) Texts(movie, {"Certification"});
        Texts(movie, {"Actors", "URL", "Description", "Comments"});
        if (version_ >= 42) Texts(movie, {"FilePath"});
        Texts(movie, {"VideoFormat", "AudioFormat", "Resolution", "Framerate", "Languages", "Subtitles", "Size"});
        if (Picture()) movie.Values.push_back({"Picture", {}, 1});
        for (const std::string& name : customNames_) KeepText(movie, name);
        if (version_ >= 42) {
            const std::size_t at = pos_;
            const std::int32_t extras = Int();
            if (extras < 0 || static_cast<std::size_t>(extras) > bytes_.size() - pos_) {
                Fail(at, "nepřípustný počet doplňků: " + std::to_string(extras));
            }
            for (std::int32_t i = 0; i < extras; ++i) {
                Bool();
                for (int text = 0; text < 7; ++text) Text();
                Picture();
            }
            if (extras > 0) movie.Values.push_back({"Extras", {}, extras});
        }
        return movie;
    }

    std::string_view bytes_;
    int version_;
    std::size_t pos_;
    std::vector<std::string> customNames_;
};

int Version(std::string_view bytes) {
    for (const auto& [version, header] : kHeaders) {
        if (bytes.starts_with(header)) return version;
    }
    if (bytes.size() >= 8 && bytes[6] == '.' && (bytes.starts_with(" AMC_1.") || bytes.starts_with(" AMC_2.") ||
                                                 bytes.starts_with(" AMC_3.0"))) {
        throw ImportError({FilePlace::Unit::Byte, 0},
                          "katalog Ant Movie Catalog verze " + std::string(bytes.substr(5, 3)) +
                              " se nečte; uložte ho v Ant Movie Catalog 3.5 nebo novějším");
    }
    throw ImportError({FilePlace::Unit::Byte, 0}, "neznámá hlavička katalogu Ant Movie Catalog");
}

}  // namespace

bool IsAmcBinary(std::string_view bytes) { return bytes.starts_with(" AMC_"); }

ImportedFilms ReadAmcBinary(std::string_view bytes) {
    AmcReader reader(bytes, Version(bytes));
    const std::vector<RawMovie> movies = reader.Movies();

    // One code page for the whole file, judged by all its texts together.
    std::string texts;
    for (const RawMovie& movie : movies) {
        for (const RawValue& value : movie.Values) texts += value.Bytes;
    }
    const SingleByteCodePage codePage = GuessCodePage(texts, std::nullopt);

    ImportedFilms films{"Ant Movie Catalog", {}, {}, {}};
    films.Films.reserve(movies.size());
    FilmBuilder film(films);
    std::vector<AmcValue> values;
    for (const RawMovie& movie : movies) {
        values.clear();
        for (const RawValue& value : movie.Values) {
            values.push_back({value.Name, value.Number ? std::to_string(*value.Number)
                                                       : SingleByteToUtf8(value.Bytes, codePage)});
        }
        film.Begin({FilePlace::Unit::Byte, movie.Offset});
        MapAmcMovie(film, values);
        film.End();
    }
    return films;
}
