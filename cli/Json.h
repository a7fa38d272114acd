#pragma once
// JSON text for the dump.
#include <string>
#include <string_view>

// A UTF-8 text as a JSON string, quotes included: the quote, the backslash and
// the control characters below U+0020 are escaped, everything else is kept.
std::string JsonString(std::string_view utf8);
