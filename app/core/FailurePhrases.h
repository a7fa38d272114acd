#pragma once
// The fixed Czech phrases of the program's failure messages (UTF-8), each in one
// place for the windows and kinovka-cli alike. A file phrase is followed by the
// file's name and "." (and the reason, where there is one, on the next line).
#include <string_view>

inline constexpr std::string_view kCreateFailedPhrase = "Nepodařilo se vytvořit soubor: ";
inline constexpr std::string_view kOpenFailedPhrase = "Nepodařilo se otevřít vstupní soubor: ";
inline constexpr std::string_view kSaveFailedPhrase = "Nepodařilo se uložit soubor: ";
inline constexpr std::string_view kVersionsUnreadablePhrase = "Nepodařilo se přečíst složku verzí: ";
// A film the table refused, and a delete it refused: the catalogue's name follows.
inline constexpr std::string_view kInsertRefusedPhrase = "Tyto položky nelze vložit do databáze ";
inline constexpr std::string_view kDeleteRefusedPhrase = "Tyto položky nelze smazat z databáze ";
// A find that matched no film.
inline constexpr std::string_view kNothingFoundText = "Nebyl nalezen žádný záznam.";
