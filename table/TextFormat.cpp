#include "table/TextFormat.h"

#include <optional>
#include <string_view>

namespace {

// One left-to-right pass over the pattern, so that a "%d" inside the inserted
// text (a field name, say) is never expanded.
std::string Expand(std::string_view pattern, const std::string& text, std::optional<int> number) {
    std::string result;
    bool textUsed = false, numberUsed = false;
    for (std::size_t i = 0; i < pattern.size(); ++i) {
        if (pattern[i] == '%' && i + 1 < pattern.size()) {
            if (pattern[i + 1] == 's' && !textUsed) {
                result += text;
                textUsed = true;
                ++i;
                continue;
            }
            if (pattern[i + 1] == 'd' && number && !numberUsed) {
                result += std::to_string(*number);
                numberUsed = true;
                ++i;
                continue;
            }
        }
        result += pattern[i];
    }
    return result;
}

}  // namespace

std::string FormatText(const char* pattern, const std::string& text) { return Expand(pattern, text, std::nullopt); }

std::string FormatText(const char* pattern, const std::string& text, int number) {
    return Expand(pattern, text, number);
}
