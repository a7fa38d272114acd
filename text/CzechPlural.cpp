#include "text/CzechPlural.h"

std::string CzechCount(std::size_t count, const CzechNoun& noun) {
    const std::string_view form = count == 1 ? noun.One : count >= 2 && count <= 4 ? noun.Few : noun.Many;
    return std::to_string(count) + " " + std::string(form);
}
