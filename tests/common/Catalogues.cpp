#include "tests/common/Catalogues.h"

#include <stdexcept>

#include "tests/common/Scratch.h"

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
