#pragma once
// Language names as other programs store them ("English", "Česky", "deutsch",
// "cz") and the two-letter codes Kinovka's films carry ("EN", "CZ", "DE").
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// The code of a language name (UTF-8), matched without regard to case and
// diacritics; nothing for a name the table does not know.
std::optional<std::string> LanguageCode(std::string_view name);

// A list of names split on "," ";" "/" "|" and line breaks, each trimmed; empty
// names left out.
std::vector<std::string> SplitNameList(std::string_view list);
