#pragma once
// SHA-256 (FIPS 180-4), for the hashes a page's Content-Security-Policy names
// its own inline script and style by.
#include <array>
#include <cstdint>
#include <string_view>

std::array<std::uint8_t, 32> Sha256(std::string_view bytes);
