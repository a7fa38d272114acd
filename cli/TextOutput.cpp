#include "cli/TextOutput.h"

#include <cstdio>

#include "text/Cp1250.h"

void WriteLines(const std::vector<std::string>& lines, bool raw) {
    std::string out;
    for (const std::string& line : lines) {
        out += raw ? line : cp1250::ToUtf8(line);
        out += raw ? "\r\n" : "\n";
    }
    WriteOut(out);
}

void WriteOut(std::string_view bytes) { std::fwrite(bytes.data(), 1, bytes.size(), stdout); }
