#include "tests/common/Catalogs.h"

#include <stdexcept>

#include "tests/common/Scratch.h"

std::string SampleCatalog() {
    const std::string bytes = ReadBytes(KINOVKA_SAMPLE_CATALOG);
    if (bytes.empty()) throw std::runtime_error("no sample catalogue at " KINOVKA_SAMPLE_CATALOG);
    return bytes;
}

std::string CatalogOf(const std::vector<Film>& films, TDataPacketFormat format) {
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
