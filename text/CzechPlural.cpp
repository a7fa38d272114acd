#include "text/CzechPlural.h"

std::string_view CzechForm(std::size_t count, const CzechNoun& noun) {
    return count == 1 ? noun.One : count >= 2 && count <= 4 ? noun.Few : noun.Many;
}

std::string CzechCount(std::size_t count, const CzechNoun& noun) {
    return std::to_string(count) + " " + std::string(CzechForm(count, noun));
}
