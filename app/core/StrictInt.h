#pragma once
// The strict integer conversion used for the number boxes of the edit dialog and
// by the command-line program: optional leading blanks, an optional sign, then
// decimal digits, or a hexadecimal number introduced by "$", "x" or "0x" (either
// case). The value must fit in 32 signed bits. Anything else (letters, inner or
// trailing blanks, a lone sign, an empty text) is refused.
#include <cstdint>
#include <optional>
#include <string_view>

std::optional<std::int32_t> StrictStrToInt(std::string_view text);
