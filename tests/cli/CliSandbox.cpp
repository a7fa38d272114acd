#include "CliSandbox.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>

#include "text/Cp1250.h"

namespace {

// The C library's formatting of the list's directives; the test values are short.
std::string Format(const char* format, auto... values) {
    char text[1024];
    const int size = std::snprintf(text, sizeof text, format, values...);
    if (size < 0 || static_cast<std::size_t>(size) >= sizeof text) throw std::length_error("list line too long");
    return std::string(text, static_cast<std::size_t>(size));
}

// The Czech collation, whatever the locale of the test.
RunOptions InCzech(const std::string& workDir) {
    RunOptions options;
    options.WorkDir = workDir;
    options.Environment = {{"LC_ALL", "cs_CZ.UTF-8"}, {"LC_COLLATE", std::nullopt}, {"LANG", std::nullopt}};
    return options;
}

}  // namespace

RunResult CliSandbox::Run(const std::vector<std::string>& arguments, std::optional<rlim_t> fileSizeLimit) const {
    RunOptions options = InCzech(dir_.Path());
    options.FileSizeLimit = fileSizeLimit;
    return RunCli(arguments, dir_.Path(), options);
}

RunResult CliSandbox::RunProgram(const std::vector<std::string>& argv) const {
    return ::RunProgram(argv, InCzech(dir_.Path()));
}

std::string CliSandbox::Path(std::string_view name) const { return dir_.File(name); }

std::string CliSandbox::Read(std::string_view name) const { return ReadBytes(Path(name)); }

void CliSandbox::Write(std::string_view name, std::string_view bytes) const { WriteBytes(Path(name), bytes); }

bool CliSandbox::Exists(std::string_view name) const { return std::filesystem::exists(Path(name)); }

void CliSandbox::MakeCatalog(std::string_view name, const std::vector<std::vector<std::string>>& films) const {
    const RunResult created = Run({"new", std::string(name)});
    ASSERT_EQ(created.Status, 0) << created.Err;
    for (const std::vector<std::string>& film : films) {
        std::vector<std::string> arguments{"add", std::string(name)};
        arguments.insert(arguments.end(), film.begin(), film.end());
        const RunResult added = Run(arguments);
        ASSERT_EQ(added.Status, 0) << added.Err;
    }
}

std::string ListLine(std::string_view s1, std::string_view s2, int s3, std::string_view s4, std::string_view s5,
                     std::string_view s6, std::string_view s7) {
    const auto cp = [](std::string_view utf8) { return cp1250::FromUtf8(utf8); };
    return cp1250::ToUtf8(Format("%-50s %-50s %.4d %-2s %-11s %2s %-100s", cp(s1).c_str(), cp(s2).c_str(), s3,
                                 cp(s4).c_str(), cp(s5).c_str(), cp(s6).c_str(), cp(s7).c_str()));
}

std::string ListHeader() {
    const auto cp = [](std::string_view utf8) { return cp1250::FromUtf8(utf8); };
    return cp1250::ToUtf8(Format("%-50s %-50s %-4s %-2s %-11s %-2s %-100s", cp("Název anglicky").c_str(),
                                 cp("Název česky").c_str(), cp("č.CD").c_str(), "Zn", "Titulky", "ks",
                                 cp("Poznámka").c_str()));
}
