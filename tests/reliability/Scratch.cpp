#include "tests/reliability/Scratch.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <stdexcept>
#include <unistd.h>

namespace fs = std::filesystem;

ScratchDir::ScratchDir() {
    std::string pattern = (fs::temp_directory_path() / "kinovka-reliability-XXXXXX").string();
    if (!::mkdtemp(pattern.data())) throw std::runtime_error("mkdtemp failed");
    path_ = pattern;
}

ScratchDir::~ScratchDir() {
    std::error_code ignored;
    fs::permissions(path_, fs::perms::owner_all, fs::perm_options::add, ignored);
    fs::remove_all(path_, ignored);
}

std::string ScratchDir::File(std::string_view name) const { return path_ + "/" + std::string(name); }

std::vector<std::string> ScratchDir::Names() const {
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(path_)) names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

std::string ReadBytes(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    std::ostringstream bytes;
    bytes << file.rdbuf();
    return bytes.str();
}

void WriteBytes(const std::string& path, std::string_view bytes) {
    std::ofstream file(path, std::ios::binary | std::ios::trunc);
    file.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    if (!file) throw std::runtime_error("cannot write " + path);
}

std::string SampleCatalogue() {
    const std::string bytes = ReadBytes(KINOVKA_SAMPLE_CATALOGUE);
    if (bytes.empty()) throw std::runtime_error("no sample catalogue at " KINOVKA_SAMPLE_CATALOGUE);
    return bytes;
}

std::string CatalogueOf(const std::vector<Film>& films, TDataPacketFormat format) {
    TClientDataSet table;
    MakeFilmTable(table, films);
    return table.SaveToBytes(format);
}

std::vector<Film> TwoFilms() {
    return {{"Kolya", "Kolja", 2, "CZ", "EN", 1, "Oscar, \"1997\" <&>"},
            {"Pelíšky", "Pelíšky", -2147483647 - 1, "CZ", "", 2147483647, "česká komedie"}};
}

std::vector<Film> ManyFilms(int count) {
    std::vector<Film> films;
    for (int i = 0; i < count; ++i) {
        const std::string n = std::to_string(i);
        films.push_back({"Film " + n, "Film číslo " + n, i, "EN", "CZ", 1, "poznámka k filmu " + n});
    }
    return films;
}

int FilmsInFile(const std::string& path) {
    try {
        TClientDataSet table;
        table.LoadFromFile(path);
        return table.CountRecords();
    } catch (const std::exception&) {
        return -1;
    }
}
