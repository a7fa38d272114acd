#pragma once
// Counted nouns in Czech: the form after a number depends on the number
// ("1 buňka", "4 buňky", "5 buněk", "0 buněk").
#include <cstddef>
#include <string>
#include <string_view>

struct CzechNoun {
    std::string_view One;   // after 1
    std::string_view Few;   // after 2, 3 and 4
    std::string_view Many;  // after 0 and 5 or more
};

// The noun's form after the number.
std::string_view CzechForm(std::size_t count, const CzechNoun& noun);

// The number followed by a blank and the noun's form for it.
std::string CzechCount(std::size_t count, const CzechNoun& noun);
