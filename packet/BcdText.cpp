#include "packet/BcdText.h"

#include <algorithm>

namespace {

constexpr std::size_t kMaxPlaces = 63;

int DigitAt(std::string_view bcd, std::size_t index) {
    const unsigned char byte = static_cast<unsigned char>(bcd[2 + index / 2]);
    const int digit = index % 2 ? byte & 0x0F : byte >> 4;
    return digit <= 9 ? digit : 0;
}

}  // namespace

void AppendBcdText(PacketBuffer& out, std::string_view bcd) {
    if (bcd.size() < 2) {
        out.push_back('0');
        return;
    }
    const std::size_t precision = std::min<std::size_t>(static_cast<unsigned char>(bcd[0]), (bcd.size() - 2) * 2);
    const bool negative = static_cast<unsigned char>(bcd[1]) & 0x80;
    const std::size_t places = static_cast<unsigned char>(bcd[1]) & 0x3F;

    std::string digits(places > precision ? places - precision : 0, '0');
    for (std::size_t i = 0; i < precision; ++i) digits.push_back(static_cast<char>('0' + DigitAt(bcd, i)));
    std::string_view whole(digits.data(), digits.size() - places);
    std::string_view fraction = std::string_view(digits).substr(whole.size());
    while (!whole.empty() && whole.front() == '0') whole.remove_prefix(1);
    while (!fraction.empty() && fraction.back() == '0') fraction.remove_suffix(1);

    if (negative && (!whole.empty() || !fraction.empty())) out.push_back('-');
    if (whole.empty()) out.push_back('0');
    else out.append(whole);
    if (!fraction.empty()) {
        out.push_back('.');
        out.append(fraction);
    }
}

bool AppendBcdFromText(std::string& out, std::string_view text, std::size_t size) {
    if (size < 2) return false;
    std::size_t i = 0;
    while (i < text.size() && text[i] >= 1 && text[i] <= 32) ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '-' || text[i] == '+')) negative = text[i++] == '-';
    auto digitsFrom = [&](std::size_t& at) {
        const std::size_t start = at;
        while (at < text.size() && text[at] >= '0' && text[at] <= '9') ++at;
        return text.substr(start, at - start);
    };
    std::string_view whole = digitsFrom(i);
    std::string_view fraction;
    if (i < text.size() && (text[i] == '.' || text[i] == ',')) fraction = digitsFrom(++i);
    if (whole.empty() && fraction.empty()) return false;
    while (!whole.empty() && whole.front() == '0') whole.remove_prefix(1);

    const std::size_t capacity = std::min<std::size_t>((size - 2) * 2, 255);
    if (whole.size() > capacity) return false;
    fraction = fraction.substr(0, std::min({fraction.size(), capacity - whole.size(), kMaxPlaces}));
    std::string digits(whole);
    digits.append(fraction);
    if (digits.empty()) digits.push_back('0');

    const std::size_t start = out.size();
    out.resize(start + size, '\0');
    out[start] = static_cast<char>(digits.size());
    out[start + 1] = static_cast<char>((negative ? 0x80 : 0) | fraction.size());
    for (std::size_t d = 0; d < digits.size(); ++d) {
        char& byte = out[start + 2 + d / 2];
        const int digit = digits[d] - '0';
        byte = static_cast<char>(d % 2 ? (byte & 0xF0) | digit : digit << 4);
    }
    return true;
}
