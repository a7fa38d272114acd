#pragma once
// Lines of the catalogue's Windows-1250 text on standard output.
#include <string>
#include <string_view>
#include <vector>

// As UTF-8, each line ended by "\n"; with raw, the Windows-1250 bytes themselves,
// each line ended by CR LF, which is what the list window saves as a text file.
void WriteLines(const std::vector<std::string>& lines, bool raw);

// Bytes to standard output as they are.
void WriteOut(std::string_view bytes);
