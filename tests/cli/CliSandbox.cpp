#include "CliSandbox.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>

#include "text/Cp1250.h"

extern char** environ;

namespace {

// The environment of the child: the caller's, with the collation locale pinned.
std::vector<std::string> ChildEnvironment() {
    std::vector<std::string> environment;
    for (char** entry = environ; *entry; ++entry) {
        const std::string_view text = *entry;
        if (text.starts_with("LC_ALL=") || text.starts_with("LC_COLLATE=") || text.starts_with("LANG=")) continue;
        environment.emplace_back(text);
    }
    environment.emplace_back("LC_ALL=cs_CZ.UTF-8");
    return environment;
}

std::vector<char*> Pointers(std::vector<std::string>& texts) {
    std::vector<char*> pointers;
    for (std::string& text : texts) pointers.push_back(text.data());
    pointers.push_back(nullptr);
    return pointers;
}

// The C library's formatting of the list's directives; the test values are short.
std::string Format(const char* format, auto... values) {
    char text[1024];
    const int size = std::snprintf(text, sizeof text, format, values...);
    if (size < 0 || static_cast<std::size_t>(size) >= sizeof text) throw std::length_error("list line too long");
    return std::string(text, static_cast<std::size_t>(size));
}

}  // namespace

CliResult CliSandbox::Run(const std::vector<std::string>& arguments) const {
    std::vector<std::string> argv{KINOVKA_CLI_PATH};
    argv.insert(argv.end(), arguments.begin(), arguments.end());
    return RunProgram(argv);
}

CliResult CliSandbox::RunProgram(const std::vector<std::string>& argv) const {
    std::vector<std::string> environment = ChildEnvironment();
    const std::string outPath = dir_.File(".stdout");
    const std::string errPath = dir_.File(".stderr");

    const pid_t child = fork();
    if (child == 0) {
        const int out = open(outPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        const int err = open(errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        const int in = open("/dev/null", O_RDONLY);
        if (out < 0 || err < 0 || in < 0 || chdir(dir_.Path().c_str()) != 0) _exit(127);
        dup2(in, 0);
        dup2(out, 1);
        dup2(err, 2);
        std::vector<std::string> arguments = argv;
        execve(arguments[0].c_str(), Pointers(arguments).data(), Pointers(environment).data());
        _exit(127);
    }
    CliResult result;
    int status = 0;
    if (child > 0 && waitpid(child, &status, 0) == child && WIFEXITED(status)) result.Status = WEXITSTATUS(status);
    result.Out = Read(".stdout");
    result.Err = Read(".stderr");
    std::filesystem::remove(outPath);
    std::filesystem::remove(errPath);
    return result;
}

std::string CliSandbox::Path(std::string_view name) const { return dir_.File(name); }

std::string CliSandbox::Read(std::string_view name) const { return ReadBytes(Path(name)); }

void CliSandbox::Write(std::string_view name, std::string_view bytes) const { WriteBytes(Path(name), bytes); }

bool CliSandbox::Exists(std::string_view name) const { return std::filesystem::exists(Path(name)); }

void CliSandbox::MakeCatalogue(std::string_view name, const std::vector<std::vector<std::string>>& films) const {
    const CliResult created = Run({"new", std::string(name)});
    ASSERT_EQ(created.Status, 0) << created.Err;
    for (const std::vector<std::string>& film : films) {
        std::vector<std::string> arguments{"add", std::string(name)};
        arguments.insert(arguments.end(), film.begin(), film.end());
        const CliResult added = Run(arguments);
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
